#include "AliasServiceServant.h"

namespace hvc_sandbox {

namespace {

[[noreturn]] void unknown(const char* hostName, const char* userName, const char* osName) {
    EpUser::AliasInfo alias;
    alias.hostName = hostName;
    alias.userName = userName;
    alias.osName = osName;
    alias.scope = EpUser::SCOPE_LOCAL;
    throw EpUser::NoKnownAliasException(
        alias, (std::string("No platform user has the alias ") + userName).c_str());
}

} // namespace

AliasServiceServant::AliasServiceServant(UserDirectory& u) : users(u) {}

char* AliasServiceServant::getAccount(const char* principal) {
    std::string account;
    if (!users.accountOf(principal, "", account))
        unknown("", principal, "");
    return CORBA::string_dup(account.c_str());
}

char* AliasServiceServant::getAccountFor(const char* principal, const char* hostName,
                                         const char* userName, const char* osName) {
    std::string account;
    if (users.accountOf(userName, hostName, account) || users.accountOf(principal, "", account))
        return CORBA::string_dup(account.c_str());
    unknown(hostName, userName, osName);
}

EpUser::UserInfo* AliasServiceServant::lookupAlias(const EpUser::AliasInfo& alias) {
    UserDirectory::User user;
    if (!users.userOf({alias.hostName.in(), alias.userName.in(), alias.osName.in(), alias.scope},
                      user))
        unknown(alias.hostName, alias.userName, alias.osName);
    EpUser::UserInfo_var info = new EpUser::UserInfo;
    info->id = user.id;
    info->account = user.account.c_str();
    info->fullName = user.fullName.c_str();
    info->email = user.email.c_str();
    info->description = "";
    return info._retn();
}

void AliasServiceServant::registerAlias(const char* userKey, const EpUser::AliasInfo& alias,
                                        const char*) {
    if (*alias.userName.in() == '\0')
        throw EpTypes::BadArgumentsException("An alias needs a user name");
    if (!users.registerAlias(
            userKey, {alias.hostName.in(), alias.userName.in(), alias.osName.in(), alias.scope}))
        throw EpTypes::FailedOperationException(
            (std::string("No platform user has the key ") + userKey).c_str());
}

} // namespace hvc_sandbox
