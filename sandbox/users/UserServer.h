// The user server: the alias service that maps operating-system accounts to
// platform users, and each user's profile with its session and project-set
// managers.
#pragma once

#include "sandbox/Room.h"
#include "sandbox/users/UserDirectory.h"
#include "sandbox/users/UserProfileServant.h"

#include <map>
#include <string>

namespace hvc_sandbox {

class AliasServiceServant;

// Owns the user directory and holds each profile servant; publishes the alias
// service, every user's profile under its bind name, and the first user's
// profile as the platform's profile reference. Users, aliases, profiles with
// their properties, sessions and project sets are kept in the platform's
// state (the "users" tables), so a platform with a home serves them again
// after a restart, under the same references.
class UserServer : public Room {
public:
    UserServer();
    ~UserServer() override;

    const char* name() const override { return "users"; }
    void start(Platform& platform, PortableServer::POA_ptr poa) override;

    UserDirectory& users() { return directory; }
    // The account of the first user (the one the platform's profile
    // reference names).
    const std::string& firstAccount() const { return firstUser; }
    // The profile servant of a user; raises std::out_of_range for an unknown
    // account.
    UserProfileServant& profile(const std::string& account) const;

private:
    UserDirectory directory;
    PortableServer::Servant_var<AliasServiceServant> aliases;
    std::map<std::string, PortableServer::Servant_var<UserProfileServant>> profiles;
    std::string firstUser;
};

} // namespace hvc_sandbox
