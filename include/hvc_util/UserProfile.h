// The calling user's profile on the platform's user server, and the alias
// service that maps the process user to a platform account.
#pragma once

#include <EpUser.hh>

namespace hvc_util {

// Set of static operations. Owns one cached profile reference and one cached
// alias-service reference for the life of the process; every reference it
// returns is new and owned by the caller.
class UserProfile {
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

private:
    static EpUser::UserProfile_ptr userProfile;
    static EpUser::AliasService_ptr aliasService;
};

} // namespace hvc_util
