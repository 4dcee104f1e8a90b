// The user's accounts on the platform: describing the local account, the
// platform user it is an alias of, and registering it as an alias.
#include "hvc_util/String.h"
#include "hvc_util/System.h"
#include "hvc_util/UserProfile.h"

#include "bindings/Environment.h"
#include "bindings/Handlers.h"
#include "bindings/internal/InternalString.h"
#include "session/NullText.h"

namespace hvc_util {

namespace {

// The operating-system name of accounts on this build's systems.
const char* const localOsName = "UNIX";
// The operating-system name of the account registerAlias names.
const char* const unixOsName = "UNIX";
// The platform's scope of an account described by the library.
const EpUser::AccountScope describedScope = EpUser::SCOPE_GLOBAL;

const char* const noLocalNames = "Could not obtain host name or user name from the environment.";
const OperationFailures localInfoFailures = {"Could not obtain local info",
                                             "Could not obtain local info"};
const OperationFailures userInfoFailures = {"Error connecting to User Alias Service",
                                            "Unknown exception connecting to User Alias Service"};
const OperationFailures registerFailures = {
    "Error connecting to User Alias Service to register an alias",
    "Unknown exception connecting to User Alias Service to register an alias"};

} // namespace

void UserProfile::getLocalInfo(EpUser::AliasInfo& info) {
    withHandlers(localInfoFailures, [&] {
        String node;
        System::getNodeName(node);
        info.hostName = node.isSet() ? CORBA::string_dup(node.getValue()) : nullptr;
        const std::optional<std::string> user = Environment::userName();
        info.userName = user ? CORBA::string_dup(user->c_str()) : nullptr;
        info.osName = localOsName;
        if (info.hostName.in() == nullptr || info.userName.in() == nullptr)
            throw EpTypes::FailedOperationException(noLocalNames);
        info.scope = describedScope;
    });
}

EpUser::UserInfo UserProfile::getUserInfo() {
    return withHandlers<EpUser::NoKnownAliasException>(userInfoFailures, [&] {
        EpUser::AliasService_var aliases = getUserAliasService();
        EpUser::AliasInfo local;
        getLocalInfo(local);
        EpUser::UserInfo_var answer = aliases->lookupAlias(local);
        EpUser::UserInfo result = answer.in();
        return result;
    });
}

void UserProfile::registerAlias(EpUser::AccountScope scope, const char* hostName,
                                const char* userName, const char* text) {
    EpUser::AliasService_var aliases = getUserAliasService();
    withHandlers(registerFailures, [&] {
        EpUser::AliasInfo unixAccount;
        unixAccount.hostName = orEmpty(hostName);
        unixAccount.userName = orEmpty(userName);
        unixAccount.osName = unixOsName;
        unixAccount.scope = describedScope;
        EpUser::UserInfo_var owner = aliases->lookupAlias(unixAccount);
        EpUser::AliasInfo local;
        getLocalInfo(local);
        local.scope = scope;
        InternalString key(hvc_util_internal_id_to_key(owner->id));
        aliases->registerAlias(key ? key.get() : "", local, orEmpty(text));
    });
}

} // namespace hvc_util
