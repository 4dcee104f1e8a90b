// Resolving the user's profile and the user alias service.
#include "hvc_util/UserProfile.h"

#include "bindings/internal/InternalString.h"
#include "services/ServiceResolver.h"

#include <stdexcept>
#include <string>

namespace hvc_util {

namespace {

const ServiceCatalogue::Entry& userProfileEntry =
    ServiceCatalogue::entry(ServiceCatalogue::Service::UserProfile);
const ServiceCatalogue::Entry& aliasServiceEntry =
    ServiceCatalogue::entry(ServiceCatalogue::Service::AliasService);

const char* const unknownAlias =
    "Could not obtain user information:  Make sure an alias is registered for this account.";
const char* const unknownAliasFor =
    "Could not obtain user information: Make sure an alias is registered for this account";

const ServiceRow aliasServiceRow{aliasServiceEntry, nullptr};
const ServiceRow userProfileRow{userProfileEntry, nullptr};

// The profile is bound under a name derived from the alias service's answer
// for the process user's principal. An unknown alias is the caller's to fix
// and leaves the operation; anything else only fails this means.
template <class Ask>
CORBA::Object_ptr aliasLookup(CORBA::ORB_ptr orb, const char* unknownText, Ask&& ask) {
    InternalString principal(hvc_util_internal_get_principal());
    EpUser::AliasService_var aliases;
    try {
        aliases = UserProfile::getUserAliasService();
    } catch (const EpTypes::FailedOperationException& e) {
        // Only fails this means; the text tells hvcutil doctor why.
        throw std::runtime_error(std::string("no alias service: ") + e.reason.in());
    }
    CORBA::String_var account;
    try {
        account = ask(aliases.in(), principal ? principal.get() : "");
    } catch (const EpUser::NoKnownAliasException&) {
        throw EpTypes::FailedOperationException(unknownText);
    }
    InternalString name(hvc_util_internal_get_user_profile_name(account.in()));
    if (!name)
        throw std::runtime_error("the alias service named no account");
    return Orb::bind(orb, name.get());
}

} // namespace

std::atomic<EpUser::UserProfile_ptr> UserProfile::userProfile{nullptr};
std::atomic<EpUser::AliasService_ptr> UserProfile::aliasService{nullptr};

EpUser::UserProfile_ptr UserProfile::getUserProfile() {
    return ServiceResolver::resolve<EpUser::UserProfile>(
        userProfileRow, userProfile, [](CORBA::ORB_ptr orb) {
            return aliasLookup(orb, unknownAlias,
                               [](EpUser::AliasService_ptr aliases, const char* principal) {
                                   return aliases->getAccount(principal);
                               });
        });
}

EpUser::UserProfile_ptr UserProfile::getUserProfile(const char* hostName, const char* userName,
                                                    const char* osName) {
    return ServiceResolver::resolve<EpUser::UserProfile>(
        userProfileRow, userProfile, [&](CORBA::ORB_ptr orb) {
            return aliasLookup(
                orb, unknownAliasFor, [&](EpUser::AliasService_ptr aliases, const char* principal) {
                    return aliases->getAccountFor(principal, hostName, userName, osName);
                });
        });
}

EpUser::AliasService_ptr UserProfile::getUserAliasService() {
    return ServiceResolver::resolve<EpUser::AliasService>(
        aliasServiceRow, aliasService,
        [](CORBA::ORB_ptr orb) { return Orb::bind(orb, aliasServiceEntry.bindName); });
}

const char* UserProfile::userProfileEnvironmentVariableName() {
    return userProfileEntry.variable;
}
const char* UserProfile::aliasServiceEnvironmentVariableName() {
    return aliasServiceEntry.variable;
}

} // namespace hvc_util
