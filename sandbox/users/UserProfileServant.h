// A platform user's profile: the user's own properties, the password table
// among them, and the user's session and project-set managers.
#pragma once

#include "PasswordTable.h"
#include "ProjectSetManagerServant.h"
#include "PropertySetServant.h"
#include "SessionManagerServant.h"

#include <CosLifeCycle.hh>
#include <EpUser.hh>

#include <string>

namespace hvc_sandbox {

// Activates the user's two managers in `poa`, which owns them as it owns the
// profile; the profile keeps one reference of its own to each. The profile's
// properties (the password table among them), the user's sessions and
// project sets are kept in the platform's state, which outlives it.
class UserProfileServant : public virtual POA_EpUser::UserProfile, public PropertySetServant {
public:
    // Restores what `store` keeps of the user. `factories` is the platform's
    // factory finder the user's sessions offer (nil allowed).
    UserProfileServant(
        std::string account, PortableServer::POA_ptr poa, const PasswordTable& passwords,
        StateStore& store,
        CosLifeCycle::FactoryFinder_ptr factories = CosLifeCycle::FactoryFinder::_nil());

    // The object id of the profile of `account`.
    static std::string objectIdOf(const std::string& account);

    char* account() override;
    CORBA::Object_ptr getSessionManager() override;
    CORBA::Object_ptr getProjectSetManager() override;
    CORBA::Boolean checkProjectPassword(const char* dataStoreName, const char* projectName,
                                        const char* password) override;

    // The password table takes only sealed passwords of the platform's key:
    // anything else raises CosPropertyService::UnsupportedProperty.
    void define_property(const char* name, const CORBA::Any& value) override;

    // For tests and the sandbox itself.
    SessionManagerServant& sessions() { return *sessionManager; }
    ProjectSetManagerServant& projectSets() { return *projectSetManager; }
    // Hands out `manager` (nil allowed) instead of the user's session manager.
    void handOutSessionManager(CORBA::Object_ptr manager);
    // Stores a value without the password table's checks.
    void store(const std::string& name, const CORBA::Any& value);

private:
    const std::string accountName;
    const PasswordTable passwords;
    PortableServer::Servant_var<SessionManagerServant> sessionManager;
    PortableServer::Servant_var<ProjectSetManagerServant> projectSetManager;
    CORBA::Object_var sessionManagerRef;
    CORBA::Object_var projectSetManagerRef;
};

} // namespace hvc_sandbox
