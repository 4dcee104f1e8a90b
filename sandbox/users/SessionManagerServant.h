// A user's session manager: creates sessions and finds them by name.
#pragma once

#include "sandbox/common/StateStore.h"

#include <EpSession.hh>

#include <map>
#include <mutex>
#include <set>
#include <string>

namespace hvc_sandbox {

// Activates the sessions it creates in `poa`, which owns them; keeps their
// object identifiers until they are removed. Holds one reference of its own
// to the POA and to the platform's factory finder (nil allowed). Its user's
// sessions are kept in the platform's state, which outlives it: a session
// exists there before its creation returns and is gone before its removal
// returns.
class SessionManagerServant : public POA_EpSession::SessionManager {
public:
    SessionManagerServant(PortableServer::POA_ptr poa, CosLifeCycle::FactoryFinder_ptr factories,
                          StateStore& store, std::string account);

    // Activates every session of its user the platform's state records.
    void restore();
    StateStore& state() { return store; }

    // EpTypes::BadArgumentsException for a name that is no valid identifier;
    // EpSession::SessionNotExistException for an unknown one.
    EpSession::Session_ptr getSession(const char* name) override;
    // EpTypes::BadArgumentsException for a name that is no valid identifier;
    // EpSession::DuplicateNameException for a name in use.
    EpSession::Session_ptr createSession(const char* name,
                                         EpProject::ProjectSet_ptr projectSet) override;
    DosTypes::StringSeq* getSessionNames() override;

    // For tests: the named session's remove() raises CosLifeCycle::NotRemovable.
    void refuseRemoval(const std::string& name);
    // For tests: every session's remove() raises CosLifeCycle::NotRemovable.
    void refuseEveryRemoval();
    // For tests: setting any session's marker raises CORBA::COMM_FAILURE, as
    // when the connection breaks between creating a session and marking it.
    void failMarking();
    bool markingFails();
    // Whether a session of that name exists.
    bool knows(const std::string& name);

    // Called by a session's remove(): false when its removal is refused;
    // otherwise the session is forgotten and deactivated.
    bool remove(const std::string& name);

    PortableServer::POA_ptr _default_POA() override;

private:
    PortableServer::POA_var poa;
    CosLifeCycle::FactoryFinder_var factories;
    StateStore& store;
    const std::string account;
    std::mutex lock;
    std::map<std::string, PortableServer::ObjectId> sessions;
    std::set<std::string> unremovable;
    bool noneRemovable = false;
    bool marksFail = false;
};

} // namespace hvc_sandbox
