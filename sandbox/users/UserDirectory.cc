#include "UserDirectory.h"

namespace hvc_sandbox {

namespace {

bool matches(const UserDirectory::Alias& a, const std::string& userName,
             const std::string& hostName) {
    return a.userName == userName && (hostName.empty() || a.hostName == hostName);
}

} // namespace

CORBA::Long UserDirectory::addUser(const std::string& account, const std::string& principal,
                                   const std::string& hostName) {
    std::lock_guard<std::mutex> hold(lock);
    User user;
    user.id = static_cast<CORBA::Long>(known.size() + 1);
    user.account = account;
    user.fullName = account;
    user.email = account + "@" + hostName;
    user.aliases.push_back(Alias{hostName, principal, "UNIX", EpUser::SCOPE_LOCAL});
    known.push_back(user);
    return user.id;
}

bool UserDirectory::accountOf(const std::string& userName, const std::string& hostName,
                              std::string& account) const {
    std::lock_guard<std::mutex> hold(lock);
    for (const User& u : known)
        for (const Alias& a : u.aliases)
            if (matches(a, userName, hostName)) {
                account = u.account;
                return true;
            }
    return false;
}

bool UserDirectory::userOf(const Alias& alias, User& user) const {
    std::lock_guard<std::mutex> hold(lock);
    for (const User& u : known)
        for (const Alias& a : u.aliases)
            if (matches(a, alias.userName, alias.hostName)) {
                user = u;
                return true;
            }
    return false;
}

bool UserDirectory::registerAlias(const std::string& userKey, const Alias& alias) {
    std::lock_guard<std::mutex> hold(lock);
    for (User& u : known)
        if (userKey == "user:" + std::to_string(u.id)) {
            u.aliases.push_back(alias);
            return true;
        }
    return false;
}

std::vector<UserDirectory::User> UserDirectory::users() const {
    std::lock_guard<std::mutex> hold(lock);
    return known;
}

} // namespace hvc_sandbox
