#include "sandbox/Platform.h"
#include "sandbox/common/DataKeyText.h"
#include "sandbox/datastores/StoreCatalogue.h"

#include <EpDataStore.hh>
#include <EpFactory.hh>
#include <EpUser.hh>

#include "support/Failures.h"

#include <gtest/gtest.h>

#include <stdexcept>

using hvc_sandbox::DataKeyText;
using hvc_sandbox::StoreCatalogue;

namespace {

std::string refusal(const std::string& json) {
    return hvc_test::whatOf<std::runtime_error>([&] { StoreCatalogue::parse(json); });
}

std::string objectsOf(const std::string& objects) {
    return R"({"stores": [{"name": "S", "factoryType": "T", "objects": [)" + objects + "]}]}";
}

CosLifeCycle::Key key(std::initializer_list<std::pair<const char*, const char*>> parts) {
    CosLifeCycle::Key k;
    k.length(static_cast<CORBA::ULong>(parts.size()));
    CORBA::ULong i = 0;
    for (const auto& [id, kind] : parts) {
        k[i].id = id;
        k[i++].kind = kind;
    }
    return k;
}

} // namespace

TEST(DataStores, TheDataFileIsCheckedWhenItIsRead) {
    const auto stores = StoreCatalogue::builtIn();
    ASSERT_FALSE(stores.empty());
    EXPECT_EQ(stores[0].name, "Sandbox");
    EXPECT_EQ(stores[0].factoryType, "SandboxStore");

    EXPECT_EQ(refusal(objectsOf(R"({"project": "P", "localKey": "k", "dataType": "D"})")),
              "(no exception)");
    EXPECT_EQ(refusal(objectsOf(R"({"project": "P", "localKey": "k"})")),
              "data store S, object 1: \"dataType\" must be a string");
    EXPECT_EQ(refusal(objectsOf(R"({"project": "P", "localKey": "k", "dataType": "D"},
                                   {"project": "P", "localKey": "k", "dataType": "D"})")),
              "data store S, object 2: local key k is used twice in project P");
    EXPECT_EQ(refusal(R"({"stores": [{"name": "a|b", "factoryType": "T", "objects": []}]})"),
              "data store 1: \"name\" must be a non-empty name without '%', '/', '|' or control "
              "characters");
    EXPECT_EQ(refusal(R"({"stores": {}})"), "data stores: \"stores\" must be an array");
    EXPECT_NE(refusal("{not json").find("data stores: "), std::string::npos);
}

TEST(DataStores, KeyTextsCarryEveryPartThroughBothForms) {
    const std::string project = "North Sea/100%";
    const std::string local = "a|b\n";
    DataKeyText::Parts parts;
    const std::string current = DataKeyText::current("S", project, local);
    EXPECT_EQ(current, "hvc:S/North Sea%2F100%25/a%7Cb%0A");
    ASSERT_TRUE(DataKeyText::parseCurrent(current, parts));
    EXPECT_EQ(parts.projectName, project);
    EXPECT_EQ(parts.localKey, local);
    EXPECT_FALSE(DataKeyText::isOlder(current));

    const std::string older = DataKeyText::older("S", "T", project, local);
    EXPECT_EQ(older, "a%7Cb%0A|StoreKey|name=S|factoryType=T|project=North Sea%2F100%25");
    ASSERT_TRUE(DataKeyText::parseOlder(older, parts));
    EXPECT_EQ(parts.storeName, "S");
    EXPECT_EQ(parts.factoryType, "T");
    EXPECT_EQ(parts.projectName, project);
    EXPECT_EQ(parts.localKey, local);

    for (const char* bad : {"hvc:S/P", "hvc:/P/k", "hvc:S/P/100%", "hvc:S/P/%G1", "S/P/k"})
        EXPECT_FALSE(DataKeyText::parseCurrent(bad, parts)) << bad;
    EXPECT_FALSE(DataKeyText::parseOlder("k|StoreKey|name=S|project=P", parts));
}

TEST(DataStores, TheFactoryFinderMatchesEveryComponentInRegistrationOrder) {
    hvc_sandbox::Platform platform;
    CosLifeCycle::FactoryFinder_var finder = platform.factoryFinderRef();
    const char* store = EpDataStore::STORE_NAME;
    const char* type = EpFactory::FACTORY_TYPE;
    const char* iface = EpFactory::FACTORY_INTERFACE;

    CosLifeCycle::Factories_var both =
        finder->find_factories(key({{"Sandbox", store}, {"SandboxStore", type}}));
    ASSERT_EQ(both->length(), 2u);
    EXPECT_TRUE(both[0]->_is_a(EpDataStore::StoreFactory::_PD_repoId));
    EXPECT_TRUE(both[1]->_is_a(EpDataStore::ExistingDataFactory::_PD_repoId));
    CosLifeCycle::Factories_var one = finder->find_factories(
        key({{EpDataStore::ExistingDataFactory::_PD_repoId, iface}, {"Sandbox", store}}));
    ASSERT_EQ(one->length(), 1u);
    EXPECT_TRUE(one[0]->_is_a(EpDataStore::ExistingDataFactory::_PD_repoId));

    // Every component, and its kind, must match.
    EXPECT_THROW(finder->find_factories(key({{"Sandbox", type}})), CosLifeCycle::NoFactory);
    EXPECT_THROW(finder->find_factories(key({{"Sandbox", store}, {"Other", type}})),
                 CosLifeCycle::NoFactory);
    EXPECT_THROW(finder->find_factories(CosLifeCycle::Key()), CosLifeCycle::NoFactory);

    EpDataStore::StoreFactory_var storeFactory = EpDataStore::StoreFactory::_narrow(both[0]);
    EpDataStore::StoreKey_var storeKey = storeFactory->getStoreKey();
    EXPECT_STREQ(storeKey->storeName.in(), "Sandbox");
    EpDataStore::DataKey_var dataKey = storeFactory->stringToDataKey(
        "well-A1|StoreKey|name=Sandbox|factoryType=SandboxStore|project=Demo");
    CORBA::String_var current = storeFactory->dataKeyToString(dataKey.in());
    EXPECT_STREQ(current.in(), "hvc:Sandbox/Demo/well-A1");
    EXPECT_THROW(storeFactory->stringToDataKey("hvc:Other/Demo/well-A1"),
                 EpDataStore::StoreException);
    dataKey->localKey = "nothing";
    EXPECT_THROW(storeFactory->dataKeyToString(dataKey.in()), EpDataStore::StoreException);
}

TEST(DataStores, SessionsLeaveOlderKeysToTheirClients) {
    hvc_sandbox::Platform platform;
    CORBA::Object_var obj = platform.reference(hvc_util::ServiceCatalogue::Service::UserProfile);
    EpUser::UserProfile_var profile = EpUser::UserProfile::_narrow(obj.in());
    CORBA::Object_var managerObj = profile->getSessionManager();
    EpSession::SessionManager_var manager = EpSession::SessionManager::_narrow(managerObj.in());
    EpSession::Session_var session = manager->createSession("s", EpProject::ProjectSet::_nil());
    EXPECT_THROW(session->keyStringToObject("k|StoreKey|name=Sandbox"), CORBA::BAD_PARAM);
    CORBA::Object_var data = session->keyStringToObject("hvc:Sandbox/Demo/well-B7");
    EXPECT_TRUE(data->_is_a(EpDataStore::Data::_PD_repoId));
}
