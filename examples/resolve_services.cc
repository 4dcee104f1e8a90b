// Resolves the platform's unit-of-measure server and user profile, and says
// how each was found or why not. Run it with HVC_HOME naming a platform
// installation (or an hvc-sandbox --home folder).
#include <hvc_util/hvc_util.h>

#include <cstdio>

int main() {
    int failures = 0;
    try {
        // The library hands out a new reference: hold it in a _var.
        EpUnitOfMeasureService::Server_var units = hvc_util::UnitOfMeasure::getServer();
        std::printf("units server: found by %s\n",
                    hvc_util::ServiceResolution::name(
                        hvc_util::ServiceResolution::meansOf(
                            hvc_util::ServiceCatalogue::Service::UnitsServer)));
    } catch (const EpTypes::FailedOperationException& e) {
        std::printf("units server: %s\n", e.reason.in());
        ++failures;
    }
    try {
        EpUser::UserProfile_var profile = hvc_util::UserProfile::getUserProfile();
        CORBA::String_var account = profile->account();
        std::printf("user profile: account %s\n", account.in());
    } catch (const EpTypes::FailedOperationException& e) {
        std::printf("user profile: %s\n", e.reason.in());
        ++failures;
    } catch (const CORBA::Exception& e) {
        std::printf("user profile: %s\n", hvc_util::describe(e).c_str());
        ++failures;
    }
    return failures == 0 ? 0 : 1;
}
