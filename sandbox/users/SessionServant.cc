#include "SessionServant.h"

#include "SessionManagerServant.h"

#include <hvc_util/UUID.h>

namespace hvc_sandbox {

SessionServant::SessionServant(SessionManagerServant& owner, std::string name,
                               CosLifeCycle::FactoryFinder_ptr finder)
    : manager(owner), sessionName(std::move(name)),
      factories(CosLifeCycle::FactoryFinder::_duplicate(finder)) {
    hvc_util::UUID fresh(true);
    fresh >> id;
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
