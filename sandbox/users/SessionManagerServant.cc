#include "SessionManagerServant.h"

#include "sandbox/common/Activation.h"

#include "SessionServant.h"

#include <hvc_util/Identifier.h>

namespace hvc_sandbox {

namespace {

void requireIdentifier(const char* name) {
    if (!hvc_util::Identifier::isValidIdentifier(name))
        throw EpTypes::BadArgumentsException(
            ("'" + std::string(name != nullptr ? name : "") + "' is not a valid session name")
                .c_str());
}

} // namespace

SessionManagerServant::SessionManagerServant(PortableServer::POA_ptr where,
                                             CosLifeCycle::FactoryFinder_ptr finder)
    : poa(PortableServer::POA::_duplicate(where)),
      factories(CosLifeCycle::FactoryFinder::_duplicate(finder)) {}

EpSession::Session_ptr SessionManagerServant::getSession(const char* name) {
    requireIdentifier(name);
    std::lock_guard<std::mutex> hold(lock);
    auto found = sessions.find(name);
    if (found == sessions.end())
        throw EpSession::SessionNotExistException(
            ("No session named '" + std::string(name) + "'").c_str());
    CORBA::Object_var obj = poa->id_to_reference(found->second);
    return EpSession::Session::_narrow(obj);
}

EpSession::Session_ptr SessionManagerServant::createSession(const char* name,
                                                            EpProject::ProjectSet_ptr projectSet) {
    requireIdentifier(name);
    std::lock_guard<std::mutex> hold(lock);
    if (sessions.count(name) != 0)
        throw EpSession::DuplicateNameException(
            ("A session named '" + std::string(name) + "' exists already").c_str());
    PortableServer::Servant_var<SessionServant> servant(
        new SessionServant(*this, name, factories.in()));
    if (!CORBA::is_nil(projectSet))
        servant->setProjectSet(projectSet);
    PortableServer::ObjectId_var oid;
    CORBA::Object_var obj = Activation::activate(poa, servant.in(), &oid);
    sessions.emplace(name, oid.in());
    return EpSession::Session::_narrow(obj);
}

DosTypes::StringSeq* SessionManagerServant::getSessionNames() {
    std::lock_guard<std::mutex> hold(lock);
    DosTypes::StringSeq_var names = new DosTypes::StringSeq;
    names->length(static_cast<CORBA::ULong>(sessions.size()));
    CORBA::ULong i = 0;
    for (const auto& entry : sessions)
        names[i++] = entry.first.c_str();
    return names._retn();
}

void SessionManagerServant::refuseRemoval(const std::string& name) {
    std::lock_guard<std::mutex> hold(lock);
    unremovable.insert(name);
}

void SessionManagerServant::refuseEveryRemoval() {
    std::lock_guard<std::mutex> hold(lock);
    noneRemovable = true;
}

void SessionManagerServant::failMarking() {
    std::lock_guard<std::mutex> hold(lock);
    marksFail = true;
}

bool SessionManagerServant::markingFails() {
    std::lock_guard<std::mutex> hold(lock);
    return marksFail;
}

bool SessionManagerServant::knows(const std::string& name) {
    std::lock_guard<std::mutex> hold(lock);
    return sessions.count(name) != 0;
}

bool SessionManagerServant::remove(const std::string& name) {
    PortableServer::ObjectId oid;
    {
        std::lock_guard<std::mutex> hold(lock);
        if (noneRemovable || unremovable.count(name) != 0)
            return false;
        auto found = sessions.find(name);
        if (found == sessions.end())
            return true;
        oid = found->second;
        sessions.erase(found);
    }
    poa->deactivate_object(oid);
    return true;
}

PortableServer::POA_ptr SessionManagerServant::_default_POA() {
    return PortableServer::POA::_duplicate(poa.in());
}

} // namespace hvc_sandbox
