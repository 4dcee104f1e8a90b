#include "SessionServant.h"

#include "SessionManagerServant.h"

#include "bindings/Orb.h"

#include <hvc_util/String.h>
#include <hvc_util/UUID.h>

#include <algorithm>
#include <cstring>

namespace hvc_sandbox {

namespace {

std::string keyOf(const CORBA::Octet* id) {
    hvc_util::String text;
    hvc_util::UUID(id).getString(text);
    return std::string("session:") + text.getValue();
}

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
    : manager(owner), sessionName(std::move(name)),
      factories(CosLifeCycle::FactoryFinder::_duplicate(finder)) {
    hvc_util::UUID fresh(true);
    fresh >> id;
    key = keyOf(id);
}

SessionServant::SessionServant(SessionManagerServant& owner, std::string name,
                               CosLifeCycle::FactoryFinder_ptr finder,
                               const std::string& identifier, std::string marker,
                               EpProject::ProjectSet_ptr set)
    : manager(owner), sessionName(std::move(name)),
      factories(CosLifeCycle::FactoryFinder::_duplicate(finder)), markerText(std::move(marker)),
      projectSet(EpProject::ProjectSet::_duplicate(set)) {
    std::memset(id, 0, sizeof id);
    std::memcpy(id, identifier.data(), std::min(identifier.size(), sizeof id));
    key = keyOf(id);
}

void SessionServant::record(StateStore& store, const std::string& account) {
    std::lock_guard<std::mutex> hold(stateLock);
    StateStore::Transaction writing(store);
    StateStore::Statement insert(store, "INSERT INTO sessions(id, account, name, identifier,"
                                        " marker, project_set) VALUES(?, ?, ?, ?, ?, ?)");
    insert.bind(1, key).bind(2, account).bind(3, sessionName);
    insert.bindBlob(4, std::string(reinterpret_cast<const char*>(id), sizeof id));
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

EpEntity::Identifier_slice* SessionServant::identifier() {
    EpEntity::Identifier_slice* out = EpEntity::Identifier_alloc();
    for (int i = 0; i < 16; ++i)
        out[i] = id[i];
    return out;
}

CORBA::Boolean SessionServant::isIdentical(EpEntity::Entity_ptr other) {
    if (CORBA::is_nil(other))
        return false;
    EpEntity::Identifier_var theirs = other->identifier();
    for (int i = 0; i < 16; ++i)
        if (theirs[i] != id[i])
            return false;
    return true;
}

CORBA::Boolean SessionServant::isEqual(EpEntity::Entity_ptr other) {
    return isIdentical(other);
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

CORBA::Object_ptr SessionServant::keyStringToObject(const char*) {
    throw CORBA::NO_IMPLEMENT(0, CORBA::COMPLETED_NO);
}

} // namespace hvc_sandbox
