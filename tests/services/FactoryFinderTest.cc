#include "hvc_util/FactoryFinder.h"

#include "session/RecordingSession.h"
#include "session/SessionPlatform.h"
#include "support/Failures.h"
#include "support/StderrCapture.h"

#include <EpFactory.hh>

#include <gtest/gtest.h>

using hvc_test::factoriesOf;
using hvc_test::reasonOf;
using hvc_test::RecordingSession;
using hvc_util::FactoryFinder;
using Strings = std::vector<std::string>;

namespace {

std::string keyText(const char* store, const char* type, const char* iface) {
    CosNaming::Name_var key = FactoryFinder::createFactoryKey(store, type, iface);
    return RecordingSession::text(key.in());
}

struct Finder {
    hvc_test::SessionPlatform platform;
    RecordingSession* recorder =
        new RecordingSession(platform.sessions(), CosLifeCycle::FactoryFinder::_nil());
    EpSession::Session_var session = RecordingSession::activate(recorder);
    CORBA::Object_var first =
        platform->reference(hvc_util::ServiceCatalogue::Service::AliasService);
    CORBA::Object_var second =
        platform->reference(hvc_util::ServiceCatalogue::Service::UserProfile);
};

} // namespace

TEST(FactoryFinder, KeysHoldTheGivenPartsInTheirOrder) {
    EXPECT_EQ(keyText("Store", "Type", "IDL:X:1.0"),
              "Store(StoreName) Type(FactoryType) IDL:X:1.0(FactoryInterface)");
    EXPECT_EQ(keyText(nullptr, "", "IDL:X:1.0"), "IDL:X:1.0(FactoryInterface)");
    EXPECT_EQ(keyText("", "Type", nullptr), "Type(FactoryType)");
    CosNaming::Name_var empty = FactoryFinder::createFactoryKey(nullptr, "", nullptr);
    EXPECT_EQ(empty->length(), 0u);
    EXPECT_STREQ(EpDataStore::STORE_NAME, "StoreName");
}

TEST(FactoryFinder, EachFormAsksTheSessionWithItsKeyAndTakesTheFirstFactory) {
    Finder f;
    f.recorder->answer = [&](const CosLifeCycle::Key&) {
        return factoriesOf({f.first.in(), f.second.in()});
    };
    EpDataStore::DataKey dataKey;
    dataKey.storeName = "S";
    dataKey.factoryType = "T";
    dataKey.projectName = "P";
    dataKey.dataType = "D";
    dataKey.localKey = "L";
    EpDataStore::StoreKey storeKey;
    storeKey.storeName = "S2";
    storeKey.factoryType = "T2";

    const CORBA::Object_ptr found[] = {
        FactoryFinder::findFactory(f.session, "T", "S"),
        FactoryFinder::findFactory(f.session, "T", "S", "I"),
        FactoryFinder::findFactory(f.session, "I"),
        FactoryFinder::findFactory(f.session, dataKey, "I"),
        FactoryFinder::findFactory(f.session, storeKey, "I"),
        FactoryFinder::findFactory(f.session, nullptr, ""),
    };
    for (CORBA::Object_ptr o : found) {
        EXPECT_TRUE(o->_is_equivalent(f.first));
        CORBA::release(o);
    }
    EXPECT_EQ(
        f.recorder->keys(),
        (Strings{"S(StoreName) T(FactoryType)", "S(StoreName) T(FactoryType) I(FactoryInterface)",
                 "I(FactoryInterface)", "S(StoreName) T(FactoryType) I(FactoryInterface)",
                 "S2(StoreName) T2(FactoryType) I(FactoryInterface)", ""}));
}

TEST(FactoryFinder, NoFactoryIsAFailureWhateverTheAnswerSays) {
    Finder f;
    auto reason = [&] {
        return reasonOf([&] { return FactoryFinder::findFactory(f.session, "I"); });
    };
    f.recorder->answer = [](const CosLifeCycle::Key& key) -> CosLifeCycle::Factories* {
        throw CosLifeCycle::NoFactory(key);
    };
    EXPECT_EQ(reason(), "No factories met the search criteria");
    f.recorder->answer = [](const CosLifeCycle::Key&) { return factoriesOf({}); };
    EXPECT_EQ(reason(), "Error trying to find factory");
    f.recorder->answer = [&](const CosLifeCycle::Key&) {
        return factoriesOf({CORBA::Object::_nil(), f.first.in()});
    };
    EXPECT_EQ(reason(), "Error trying to find factory");
    f.recorder->answer = [](const CosLifeCycle::Key&) -> CosLifeCycle::Factories* {
        throw CORBA::TRANSIENT(0, CORBA::COMPLETED_NO);
    };
    EXPECT_EQ(reason(), "Error trying to find factory");

    hvc_test::StderrCapture err;
    EXPECT_EQ(reasonOf([] { return FactoryFinder::findFactory(EpSession::Session::_nil(), "I"); }),
              "Error trying to find factory");
    EXPECT_EQ(err.text(), "Session object is_nil, can not find factories\n");
}
