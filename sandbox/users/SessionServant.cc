#include "SessionServant.h"

#include "SessionManagerServant.h"

#include "bindings/Orb.h"
#include "sandbox/common/DataKeyText.h"

#include <EpDataStore.hh>
#include <EpFactory.hh>

namespace hvc_sandbox {

namespace {

// A reference as recorded in the platform's state: its text, or NULL for nil.
void bindReference(StateStore::Statement& statement, int index, CORBA::Object_ptr ref) {
    if (CORBA::is_nil(ref)) {
        statement.bindNull(index);
        return;
    }
    CORBA::ORB_var orb = hvc_util::Orb::init();
    CORBA::String_var text = orb->object_to_string(ref);
    statement.bind(index, std::string(text.in()));
}

} // namespace

SessionServant::SessionServant(SessionManagerServant& owner, std::string name,
                               CosLifeCycle::FactoryFinder_ptr finder)
    : manager(owner), sessionName(std::move(name)), key("session:" + entityIdentity().text()),
      factories(CosLifeCycle::FactoryFinder::_duplicate(finder)) {}

SessionServant::SessionServant(SessionManagerServant& owner, std::string name,
                               CosLifeCycle::FactoryFinder_ptr finder,
                               const EntityIdentity& identity, std::string marker,
                               EpProject::ProjectSet_ptr set)
    : IdentifiedEntity<POA_EpSession::Session>(identity), manager(owner),
      sessionName(std::move(name)), key("session:" + identity.text()),
      factories(CosLifeCycle::FactoryFinder::_duplicate(finder)), markerText(std::move(marker)),
      projectSet(EpProject::ProjectSet::_duplicate(set)) {}

void SessionServant::record(StateStore& store, const std::string& account) {
    std::lock_guard<std::mutex> hold(stateLock);
    StateStore::Transaction writing(store);
    StateStore::Statement insert(store, "INSERT INTO sessions(id, account, name, identifier,"
                                        " marker, project_set) VALUES(?, ?, ?, ?, ?, ?)");
    insert.bind(1, key).bind(2, account).bind(3, sessionName);
    insert.bindBlob(4, entityIdentity().bytes());
    insert.bind(5, markerText);
    bindReference(insert, 6, projectSet.in());
    insert.run();
    writing.commit();
}

char* SessionServant::name() {
    return CORBA::string_dup(sessionName.c_str());
}

char* SessionServant::marker() {
    std::lock_guard<std::mutex> hold(stateLock);
    return CORBA::string_dup(markerText.c_str());
}

void SessionServant::marker(const char* text) {
    if (manager.markingFails())
        throw CORBA::COMM_FAILURE(0, CORBA::COMPLETED_MAYBE);
    std::lock_guard<std::mutex> hold(stateLock);
    StateStore::Transaction writing(manager.state());
    StateStore::Statement update(manager.state(), "UPDATE sessions SET marker = ? WHERE id = ?");
    update.bind(1, std::string(text)).bind(2, key).run();
    writing.commit();
    markerText = text;
}

EpProject::ProjectSet_ptr SessionServant::getProjectSet() {
    std::lock_guard<std::mutex> hold(stateLock);
    return EpProject::ProjectSet::_duplicate(projectSet.in());
}

void SessionServant::setProjectSet(EpProject::ProjectSet_ptr set) {
    std::lock_guard<std::mutex> hold(stateLock);
    if (!CORBA::is_nil(projectSet))
        throw EpSession::ProjectSetAlreadyExistException(
            ("Session " + sessionName + " already has a project set").c_str());
    StateStore::Transaction writing(manager.state());
    StateStore::Statement update(manager.state(),
                                 "UPDATE sessions SET project_set = ? WHERE id = ?");
    bindReference(update, 1, set);
    update.bind(2, key).run();
    writing.commit();
    projectSet = EpProject::ProjectSet::_duplicate(set);
}

CosLifeCycle::Factories* SessionServant::find_factories(const CosLifeCycle::Key& key) {
    if (CORBA::is_nil(factories))
        throw CosLifeCycle::NoFactory(key);
    return factories->find_factories(key);
}

CosLifeCycle::LifeCycleObject_ptr SessionServant::copy(CosLifeCycle::FactoryFinder_ptr,
                                                       const CosLifeCycle::Criteria&) {
    throw CosLifeCycle::NotCopyable("sessions are not copied");
}

void SessionServant::move(CosLifeCycle::FactoryFinder_ptr, const CosLifeCycle::Criteria&) {
    throw CosLifeCycle::NotMovable("sessions are not moved");
}

void SessionServant::remove() {
    if (!manager.remove(sessionName))
        throw CosLifeCycle::NotRemovable(("Session " + sessionName + " is kept").c_str());
}

PortableServer::POA_ptr SessionServant::_default_POA() {
    return manager._default_POA();
}

namespace {

const char* const unknownKey = "No data object for this key.";

[[noreturn]] void refuse(const char* key, const std::string& detail) {
    throw EpTypes::KeyConversionException(4, unknownKey, detail.c_str(), key);
}

// The first factory of the store that offers `repositoryId`; nil when none.
CORBA::Object_ptr storeFactory(CosLifeCycle::FactoryFinder_ptr factories,
                               const std::string& storeName, const std::string& factoryType,
                               const char* repositoryId) {
    CosLifeCycle::Key key;
    key.length(factoryType.empty() ? 2 : 3);
    CORBA::ULong at = 0;
    key[at].id = storeName.c_str();
    key[at++].kind = EpDataStore::STORE_NAME;
    if (!factoryType.empty()) {
        key[at].id = factoryType.c_str();
        key[at++].kind = EpFactory::FACTORY_TYPE;
    }
    key[at].id = repositoryId;
    key[at].kind = EpFactory::FACTORY_INTERFACE;
    try {
        CosLifeCycle::Factories_var found = factories->find_factories(key);
        if (found->length() > 0)
            return CORBA::Object::_duplicate(found[0].in());
    } catch (const CosLifeCycle::NoFactory&) {
    }
    return CORBA::Object::_nil();
}

} // namespace

CORBA::Object_ptr SessionServant::keyStringToObject(const char* keyString) {
    const std::string key = keyString;
    if (DataKeyText::isOlder(key))
        throw CORBA::BAD_PARAM(0, CORBA::COMPLETED_NO);
    DataKeyText::Parts parts;
    if (!DataKeyText::parseCurrent(key, parts))
        refuse(keyString, "not a data key");
    if (CORBA::is_nil(factories))
        refuse(keyString, "this session reaches no data store");

    CORBA::Object_var storeObj =
        storeFactory(factories, parts.storeName, "", EpDataStore::StoreFactory::_PD_repoId);
    EpDataStore::StoreFactory_var store = EpDataStore::StoreFactory::_narrow(storeObj.in());
    if (CORBA::is_nil(store))
        refuse(keyString, "no data store named " + parts.storeName);
    EpDataStore::DataKey_var dataKey;
    try {
        dataKey = store->stringToDataKey(keyString);
    } catch (const EpDataStore::StoreException& e) {
        refuse(keyString, e.reason.in());
    }

    CORBA::Object_var makerObj = storeFactory(factories, parts.storeName, dataKey->factoryType.in(),
                                              EpDataStore::ExistingDataFactory::_PD_repoId);
    EpDataStore::ExistingDataFactory_var maker =
        EpDataStore::ExistingDataFactory::_narrow(makerObj.in());
    if (CORBA::is_nil(maker))
        refuse(keyString, "the data store " + parts.storeName + " makes no data objects");
    try {
        EpSession::Session_var self = POA_EpSession::Session::_this();
        return maker->createData(dataKey.in(), self.in());
    } catch (const EpDataStore::StoreException& e) {
        refuse(keyString, e.reason.in());
    }
}

} // namespace hvc_sandbox
