#include "UserDirectory.h"

namespace hvc_sandbox {

namespace {

bool matches(const UserDirectory::Alias& a, const std::string& userName,
             const std::string& hostName) {
    return a.userName == userName && (hostName.empty() || a.hostName == hostName);
}

} // namespace

void UserDirectory::keepIn(StateStore& where) {
    std::lock_guard<std::mutex> hold(lock);
    store = &where;
    StateStore::Statement users(where, "SELECT id, account, full_name, email FROM users"
                                       " ORDER BY id");
    while (users.step())
        known.push_back({static_cast<CORBA::Long>(users.integer(0)),
                         users.text(1),
                         users.text(2),
                         users.text(3),
                         {}});
    StateStore::Statement aliases(where, "SELECT user_id, host_name, user_name, os_name, scope"
                                         " FROM aliases ORDER BY user_id, position");
    while (aliases.step())
        for (User& u : known)
            if (u.id == aliases.integer(0))
                u.aliases.push_back({aliases.text(1), aliases.text(2), aliases.text(3),
                                     static_cast<EpUser::AccountScope>(aliases.integer(4))});
}

void UserDirectory::saveAlias(CORBA::Long user, std::size_t position, const Alias& alias) {
    StateStore::Statement insert(*store, "INSERT INTO aliases(user_id, position, host_name,"
                                         " user_name, os_name, scope) VALUES(?, ?, ?, ?, ?, ?)");
    insert.bind(1, static_cast<std::int64_t>(user)).bind(2, static_cast<std::int64_t>(position));
    insert.bind(3, alias.hostName).bind(4, alias.userName).bind(5, alias.osName);
    insert.bind(6, static_cast<std::int64_t>(alias.scope)).run();
}

CORBA::Long UserDirectory::addUser(const std::string& account, const std::string& principal,
                                   const std::string& hostName) {
    std::lock_guard<std::mutex> hold(lock);
    User user;
    user.id = known.empty() ? 1 : known.back().id + 1;
    user.account = account;
    user.fullName = account;
    user.email = account + "@" + hostName;
    user.aliases.push_back(Alias{hostName, principal, "UNIX", EpUser::SCOPE_LOCAL});
    if (store != nullptr) {
        StateStore::Transaction writing(*store);
        StateStore::Statement insert(*store, "INSERT INTO users(id, account, full_name, email)"
                                             " VALUES(?, ?, ?, ?)");
        insert.bind(1, static_cast<std::int64_t>(user.id)).bind(2, user.account);
        insert.bind(3, user.fullName).bind(4, user.email).run();
        saveAlias(user.id, 0, user.aliases.front());
        writing.commit();
    }
    known.push_back(user);
    return user.id;
}

bool UserDirectory::knows(const std::string& account) const {
    std::lock_guard<std::mutex> hold(lock);
    for (const User& u : known)
        if (u.account == account)
            return true;
    return false;
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
            if (store != nullptr) {
                StateStore::Transaction writing(*store);
                saveAlias(u.id, u.aliases.size(), alias);
                writing.commit();
            }
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
