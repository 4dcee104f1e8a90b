// The calling user's profile on the platform's user server, and the alias
// service that maps the process user to a platform account.
#pragma once

#include <hvc_util/Export.h>

#include <EpProject.hh>
#include <EpUser.hh>

#include <atomic>

namespace hvc_util {

// Set of static operations. Owns one cached profile reference and one cached
// alias-service reference for the life of the process; every reference it
// returns is new and owned by the caller. Thread-safe: threads asking at
// once share one resolution, and a thread's own nested request (the profile
// and the alias service ask each other) fails at once; once cached, a call is
// one atomic load and a _duplicate. Cached references carry the library's
// call timeout.
class HVC_UTIL_API UserProfile {
public:
    // The user's profile, found through the alias service's account for the
    // process user's principal. Raises EpTypes::FailedOperationException:
    // "Could not obtain user information:  Make sure an alias is registered for
    // this account." when the alias service knows no such account; a failing
    // reference script's "BootstrapIOR" reason; otherwise "Cannot connect to
    // your Halvercast user server, Ensure that your Halvercast user server is
    // running.".
    static EpUser::UserProfile_ptr getUserProfile();

    // As above, asking the alias service for the principal's account on the
    // given host, user name and operating system. The unknown-alias text is
    // "Could not obtain user information: Make sure an alias is registered for
    // this account". Once the profile is cached the three texts are ignored.
    static EpUser::UserProfile_ptr getUserProfile(const char* hostName, const char* userName,
                                                  const char* osName);

    // The user alias service. Raises EpTypes::FailedOperationException
    // "Error in getUserAliasService; cannot resolve 'EpUser::AliasService'
    // service." when unresolved.
    static EpUser::AliasService_ptr getUserAliasService();

    // Names of the environment variables holding the two references.
    static const char* userProfileEnvironmentVariableName();
    static const char* aliasServiceEnvironmentVariableName();

    // The platform user the local account is an alias of; the caller owns the
    // returned value. Raises EpUser::NoKnownAliasException when the local
    // account is no registered alias, EpTypes::FailedOperationException with
    // the reason of a failing getUserAliasService or local description,
    // "Error connecting to User Alias Service" for other CORBA failures and
    // "Unknown exception connecting to User Alias Service" for anything else.
    static EpUser::UserInfo getUserInfo();

    // Registers the local account, with `scope`, as an alias of the user who
    // owns the UNIX account `userName` on `hostName`; `text` is passed on to
    // the registration unchanged. Raises what getUserAliasService raises;
    // otherwise EpTypes::FailedOperationException, "Error connecting to User
    // Alias Service to register an alias" for any CORBA failure (an unknown
    // UNIX account included) and "Unknown exception connecting to User Alias
    // Service to register an alias" for anything else.
    static void registerAlias(EpUser::AccountScope scope, const char* hostName,
                              const char* userName, const char* text);

    // Records the passwords of `projects` (clear text in, sealed to the
    // platform's key before anything is sent) in the password table of
    // `profile`, which the caller keeps owning. The table is written once,
    // after every entry is applied. Raises CORBA::BAD_PARAM for a nil
    // profile, EpTypes::FailedOperationException "The # of projects  cannot
    // be <= 0" for no projects, "Invalid password property name.", "Error
    // setting project password", "Unknown exception trying to set project
    // password", or "Could not seal the project password: " followed by why.
    static void setProjectPassword(EpUser::UserProfile_ptr profile,
                                   const EpProject::ProjectAccessInfoSeq& projects);

    // As above for `count` entries of the three arrays, each with an empty
    // access note. A count of 0 or less raises before the profile is used;
    // null arrays raise CORBA::BAD_PARAM.
    static void setProjectPassword(EpUser::UserProfile_ptr profile,
                                   const char* const* dataStoreNames,
                                   const char* const* projectNames, const char* const* passwords,
                                   int count);

    // Whether `profile`'s password table holds an entry for the project,
    // whatever its password. Raises CORBA::BAD_PARAM for a nil profile,
    // EpTypes::FailedOperationException "Datastore/projectname is null.",
    // "Invalid password property name.", "Error determining if project
    // password exists" or "Unknown exception trying to set determine if
    // project password exists".
    static bool projectPasswordExists(EpUser::UserProfile_ptr profile, const char* dataStoreName,
                                      const char* projectName);

private:
    // Describes the local account: node name, user name, this system's
    // operating-system name and the scope the platform gives local accounts.
    // The strings are set into `info`, which owns them. Raises
    // EpTypes::FailedOperationException "Could not obtain host name or user
    // name from the environment." or "Could not obtain local info".
    static void getLocalInfo(EpUser::AliasInfo& info);

    static std::atomic<EpUser::UserProfile_ptr> userProfile;
    static std::atomic<EpUser::AliasService_ptr> aliasService;
};

} // namespace hvc_util
