#include "RecordingSession.h"
#include "SessionPlatform.h"

#include "hvc_util/Session.h"
#include "sandbox/datastores/DataStoresRoom.h"
#include "support/Failures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>

using hvc_test::factoriesOf;
using hvc_test::RecordingSession;
using hvc_util::Session;

namespace {

const char* const oldA1 = "well-A1|StoreKey|name=Sandbox|factoryType=SandboxStore|project=Demo";
const char* const oldA2 = "well-A2|StoreKey|name=Sandbox|factoryType=SandboxStore|project=Demo";
const std::string storeLookup = "Sandbox(StoreName) SandboxStore(FactoryType)";
const std::string dataFactoryLookup =
    storeLookup + " IDL:EpDataStore/ExistingDataFactory:1.0(FactoryInterface)";

// The exception a key conversion raises, as "code|reason|detail|key".
std::string failureOf(EpSession::Session_ptr session, const char* key) {
    try {
        EpDataStore::Data_var data = Session::dataKeyToObject(session, key);
        return CORBA::is_nil(data) ? "(nil)" : "(an object)";
    } catch (const EpTypes::KeyConversionException& e) {
        return std::to_string(e.code) + "|" + e.reason.in() + "|" + e.detail.in() + "|" +
               e.key.in();
    }
}

std::string keyTextOf(EpDataStore::Data_ptr data) {
    return CORBA::String_var(data->getKeyString()).in();
}

long count(const std::vector<std::string>& keys, const std::string& key) {
    return std::count(keys.begin(), keys.end(), key);
}

// A store factory of the Sandbox store whose first `failures` conversions
// fail in communication.
class FlakyStoreFactory : public POA_EpDataStore::StoreFactory {
public:
    FlakyStoreFactory(const hvc_sandbox::DataStore& s, int failures) : store(s), left(failures) {}
    EpDataStore::StoreKey* getStoreKey() override { return new EpDataStore::StoreKey; }
    EpDataStore::DataKey* stringToDataKey(const char* key) override {
        if (left-- > 0)
            throw CORBA::COMM_FAILURE(0, CORBA::COMPLETED_MAYBE);
        return store.dataKey(key);
    }
    char* dataKeyToString(const EpDataStore::DataKey& key) override {
        return CORBA::string_dup(store.keyText(key).c_str());
    }

private:
    const hvc_sandbox::DataStore& store;
    std::atomic<int> left;
};

class RefusingDataFactory : public POA_EpDataStore::ExistingDataFactory {
public:
    EpDataStore::Data_ptr createData(const EpDataStore::DataKey&, EpSession::Session_ptr) override {
        throw EpDataStore::StoreException("the store is closed");
    }
};

struct DataKeys : ::testing::Test {
    hvc_test::SessionPlatform platform;
    CosLifeCycle::FactoryFinder_var factories = platform->factoryFinderRef();
    EpSession::Session_var session = platform.sessions().createSession("work", nullptr);
    RecordingSession* recorder = new RecordingSession(platform.sessions(), factories.in());
    EpSession::Session_var recording = RecordingSession::activate(recorder);

    const hvc_sandbox::DataStore& sandboxStore() {
        return platform->room<hvc_sandbox::DataStoresRoom>().store("Sandbox");
    }
    CORBA::Object_ptr activate(PortableServer::ServantBase* servant) {
        PortableServer::Servant_var<PortableServer::ServantBase> held(servant);
        PortableServer::POA_var poa = recorder->_default_POA();
        return hvc_sandbox::Activation::activate(poa, servant);
    }
    // The recording session answers the lookup of `key` with `factory`, and
    // the others through the platform.
    void answer(const std::string& key, CORBA::Object_ptr factory) {
        CORBA::Object_var held = CORBA::Object::_duplicate(factory);
        recorder->answer = [this, held, key](const CosLifeCycle::Key& asked) {
            if (RecordingSession::text(asked) == key)
                return factoriesOf({held.in()});
            return factories->find_factories(asked);
        };
    }
};

} // namespace

TEST_F(DataKeys, CurrentAndOlderKeysGiveTheSameObject) {
    EpDataStore::Data_var current = Session::dataKeyToObject(session, "hvc:Sandbox/Demo/well-A1");
    ASSERT_FALSE(CORBA::is_nil(current));
    EpDataStore::Data_var older = Session::dataKeyToObject(session, oldA1);
    ASSERT_FALSE(CORBA::is_nil(older));
    EXPECT_TRUE(older->_is_equivalent(current));
    EXPECT_EQ(keyTextOf(older), "hvc:Sandbox/Demo/well-A1");
    EpDataStore::DataKey_var key = older->getDataKey();
    EXPECT_STREQ(key->projectName.in(), "Demo");
    EXPECT_STREQ(key->dataType.in(), "IDL:EpDataStore/Data:1.0");

    // Escaped parts in both forms.
    EpDataStore::Data_var survey = Session::dataKeyToObject(
        session, "survey%2F1997|StoreKey|name=Sandbox|factoryType=SandboxStore|project=North Sea");
    ASSERT_FALSE(CORBA::is_nil(survey));
    EXPECT_EQ(keyTextOf(survey), "hvc:Sandbox/North Sea/survey%2F1997");
}

TEST_F(DataKeys, OlderKeysOfOneStoreShareOneStoreFactoryLookup) {
    EpDataStore::Data_var a1 = Session::dataKeyToObject(recording, oldA1);
    EpDataStore::Data_var a2 = Session::dataKeyToObject(recording, oldA2);
    EXPECT_EQ(keyTextOf(a2), "hvc:Sandbox/Demo/well-A2");
    // A failed lookup for another store does not replace the remembered one.
    EXPECT_EQ(failureOf(recording, "x|StoreKey|factoryType=T|name=Other|name=Last||junk"),
              "5|Unknown Exception encountered while attempting to contact an Halvercast data "
              "server.|Caught ... in stringToDataKey()|x|StoreKey|factoryType=T|name=Other|"
              "name=Last||junk");
    EpDataStore::Data_var again = Session::dataKeyToObject(session, oldA1);
    EpDataStore::Data_var a1again = Session::dataKeyToObject(recording, oldA1);

    const auto keys = recorder->keys();
    EXPECT_EQ(count(keys, storeLookup), 1);
    EXPECT_EQ(count(keys, "Last(StoreName) T(FactoryType)"), 1);
    EXPECT_EQ(count(keys, dataFactoryLookup), 3);
}

TEST_F(DataKeys, AFactoryOfAnotherKindIsNeitherUsedNorRemembered) {
    // The store lookup finds a data factory, which is no store factory.
    CORBA::Object_var wrong = activate(new RefusingDataFactory);
    answer(storeLookup, wrong);
    EXPECT_EQ(failureOf(recording, oldA1), "(nil)");
    EXPECT_EQ(failureOf(recording, oldA1), "(nil)");
    EXPECT_EQ(count(recorder->keys(), storeLookup), 2);

    // The data-factory lookup finds a store factory, which is no data factory.
    CORBA::Object_var storeFactory = activate(new FlakyStoreFactory(sandboxStore(), 0));
    answer(dataFactoryLookup, storeFactory);
    EXPECT_EQ(failureOf(recording, oldA2),
              std::string("5|Unknown Exception encountered while attempting to contact an "
                          "Halvercast factory.|Caught ... in oldKeyStringToObject()|") +
                  oldA2);
}

TEST_F(DataKeys, ACommunicationFailureOfTheCachedStoreFactoryDropsIt) {
    CORBA::Object_var flaky = activate(new FlakyStoreFactory(sandboxStore(), 1));
    answer(storeLookup, flaky);
    EXPECT_EQ(failureOf(recording, oldA1),
              std::string("5|Communication error while converting Halvercast data key string.|"
                          "Caught CORBA::SystemException (2) in stringToDataKey()|") +
                  oldA1);
    EXPECT_EQ(failureOf(recording, oldA1), "(an object)");
    EXPECT_EQ(count(recorder->keys(), storeLookup), 2);
}

TEST_F(DataKeys, RefusalsCarryTheirCodesAndTexts) {
    // The session's own refusal of a current key passes without the older form.
    EXPECT_EQ(failureOf(recording, "hvc:Sandbox/Demo/nope"),
              "4|No data object for this key.|The data store Sandbox holds no object nope in "
              "project Demo|hvc:Sandbox/Demo/nope");
    EXPECT_EQ(failureOf(recording, nullptr), "4|No data object for this key.|not a data key|");
    EXPECT_TRUE(recorder->keys().empty());

    // The store's, through the older form.
    const char* unknown = "nope|StoreKey|name=Sandbox|factoryType=SandboxStore|project=Demo";
    EXPECT_EQ(failureOf(session, unknown),
              std::string("4|Error converting Halvercast data key string.|The data store Sandbox "
                          "holds no object nope in project Demo|") +
                  unknown);
    CORBA::Object_var refusing = activate(new RefusingDataFactory);
    answer(dataFactoryLookup, refusing);
    EXPECT_EQ(failureOf(recording, oldA1),
              std::string("4|Error while attempting to create data object for key.|the store is "
                          "closed|") +
                  oldA1);

    // A key without the marker names an unknown store.
    recorder->unreachable = true;
    EXPECT_EQ(failureOf(recording, "plain"),
              "5|Unknown Exception encountered while attempting to contact an Halvercast data "
              "server.|Caught ... in stringToDataKey()|plain");
    EXPECT_EQ(recorder->keys().back(), "unknown(StoreName) unknown(FactoryType)");
}

TEST_F(DataKeys, EveryKeyGetsItsElementAndEveryFailureItsError) {
    DosTypes::StringSeq keys;
    keys.length(3);
    keys[0] = oldA1;
    keys[1] = "hvc:Sandbox/Demo/nope";
    keys[2] = "hvc:Sandbox/Demo/well-B7";
    EpTypes::KeyConversionErrorSeq* raw = nullptr;
    EpDataStore::DataSeq_var objects = Session::dataKeysToObjects(session, keys, raw);
    EpTypes::KeyConversionErrorSeq_var errors = raw;
    ASSERT_EQ(objects->length(), 3u);
    EXPECT_EQ(keyTextOf(objects[0]), "hvc:Sandbox/Demo/well-A1");
    EXPECT_TRUE(CORBA::is_nil(objects[1]));
    EXPECT_EQ(keyTextOf(objects[2]), "hvc:Sandbox/Demo/well-B7");
    ASSERT_EQ(errors->length(), 1u);
    EXPECT_EQ(errors[0].code, 4);
    EXPECT_STREQ(errors[0].reason.in(), "No data object for this key.");
    EXPECT_STREQ(errors[0].key.in(), "hvc:Sandbox/Demo/nope");
}
