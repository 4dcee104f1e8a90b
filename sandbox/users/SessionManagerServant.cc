#include "SessionManagerServant.h"

#include "sandbox/common/Activation.h"

#include "SessionServant.h"

#include "bindings/Orb.h"

#include <hvc_util/Identifier.h>

#include <optional>
#include <vector>

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
                                             CosLifeCycle::FactoryFinder_ptr finder,
                                             StateStore& state, std::string user)
    : poa(PortableServer::POA::_duplicate(where)),
      factories(CosLifeCycle::FactoryFinder::_duplicate(finder)), store(state),
      account(std::move(user)) {}

void SessionManagerServant::restore() {
    struct Recorded {
        std::string name, identifier, marker;
        std::optional<std::string> projectSet;
    };
    // Read first: the sessions lock their own state before the store's.
    std::vector<Recorded> recorded;
    {
        StateStore::Statement read(store, "SELECT name, identifier, marker, project_set FROM"
                                          " sessions WHERE account = ? ORDER BY name");
        read.bind(1, account);
        while (read.step())
            recorded.push_back(
                {read.text(0), read.blob(1), read.text(2),
                 read.isNull(3) ? std::nullopt : std::optional<std::string>(read.text(3))});
    }
    CORBA::ORB_var orb = hvc_util::Orb::init();
    std::lock_guard<std::mutex> hold(lock);
    for (const Recorded& r : recorded) {
        EpProject::ProjectSet_var set;
        if (r.projectSet) {
            CORBA::Object_var obj = orb->string_to_object(r.projectSet->c_str());
            set = EpProject::ProjectSet::_unchecked_narrow(obj);
        }
        PortableServer::Servant_var<SessionServant> servant(new SessionServant(
            *this, r.name, factories.in(), EntityIdentity(r.identifier), r.marker, set.in()));
        servant->keepIn(store, servant->objectId());
        CORBA::Object_var obj = Activation::activate(poa, servant->objectId(), servant.in());
        PortableServer::ObjectId_var oid = Activation::idOf(servant->objectId());
        sessions.emplace(r.name, oid.in());
    }
}

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
    servant->record(store, account);
    servant->keepIn(store, servant->objectId());
    CORBA::Object_var obj = Activation::activate(poa, servant->objectId(), servant.in());
    PortableServer::ObjectId_var oid = Activation::idOf(servant->objectId());
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
        CORBA::String_var key = PortableServer::ObjectId_to_string(oid);
        StateStore::Transaction writing(store);
        StateStore::Statement erase(store, "DELETE FROM sessions WHERE id = ?");
        erase.bind(1, std::string(key.in())).run();
        PropertySetServant::forget(store, key.in());
        writing.commit();
        sessions.erase(found);
    }
    poa->deactivate_object(oid);
    return true;
}

PortableServer::POA_ptr SessionManagerServant::_default_POA() {
    return PortableServer::POA::_duplicate(poa.in());
}

} // namespace hvc_sandbox
