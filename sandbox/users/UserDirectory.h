// The sandbox's platform users and the operating-system accounts (aliases)
// registered for them.
#pragma once

#include "sandbox/common/StateStore.h"

#include <EpUser.hh>

#include <mutex>
#include <string>
#include <vector>

namespace hvc_sandbox {

// Thread-safe. Once kept in the platform's state, every user and alias added
// is committed there before the call returns.
class UserDirectory {
public:
    struct Alias {
        std::string hostName;
        std::string userName;
        std::string osName;
        EpUser::AccountScope scope;
    };
    struct User {
        CORBA::Long id;
        std::string account;
        std::string fullName;
        std::string email;
        std::vector<Alias> aliases;
    };

    // Reads the users and aliases `store` keeps, and keeps every later change
    // there; `store` outlives the directory.
    void keepIn(StateStore& store);

    // Adds a user whose account is known on this host under `principal`.
    // Returns the user's identifier.
    CORBA::Long addUser(const std::string& account, const std::string& principal,
                        const std::string& hostName);

    // The account of the user with an alias of that user name (and, when
    // `hostName` is not empty, that host); false when there is none.
    bool accountOf(const std::string& userName, const std::string& hostName,
                   std::string& account) const;
    bool userOf(const Alias& alias, User& user) const;
    // Registers an alias for the user whose key is "user:<id>"; false when no
    // user has that key.
    bool registerAlias(const std::string& userKey, const Alias& alias);

    std::vector<User> users() const;
    bool knows(const std::string& account) const;

private:
    // Writes one alias of the user at `position`; the caller holds a
    // Transaction.
    void saveAlias(CORBA::Long user, std::size_t position, const Alias& alias);

    mutable std::mutex lock;
    std::vector<User> known;
    StateStore* store = nullptr;
};

} // namespace hvc_sandbox
