// hvcutil doctor: which platform service resolves, by which means, and the
// library's exact failure when one does not.
#include "CommandTable.h"

#include "hvc_util/Coordinate.h"
#include "hvc_util/Notification.h"
#include "hvc_util/ReferenceValue.h"
#include "hvc_util/ServiceResolution.h"
#include "hvc_util/Trader.h"
#include "hvc_util/UnitOfMeasure.h"
#include "hvc_util/UserProfile.h"

#include <cstdio>

namespace hvcutil {

namespace {

struct Check {
    const char* interfaceName;
    CORBA::Object_ptr (*resolve)();
};

CORBA::Object_ptr profile() {
    return hvc_util::UserProfile::getUserProfile();
}

const Check checks[] = {
    {"EpCoordinateService::Finder",
     [] { return CORBA::Object_ptr(hvc_util::Coordinate::getFinder()); }},
    {"EpCoordinateService::Factory",
     [] { return CORBA::Object_ptr(hvc_util::Coordinate::getFactory()); }},
    {"CosNotifyChannelAdmin::EventChannelFactory",
     [] { return CORBA::Object_ptr(hvc_util::Notification::getChannelFactory()); }},
    {"EpReferenceValueService::ReferenceValueService",
     [] { return CORBA::Object_ptr(hvc_util::ReferenceValue::getService()); }},
    {"CosTrading::Lookup",
     [] { return CORBA::Object_ptr(hvc_util::Trader::lookupTradingService()); }},
    {"EpUnitOfMeasureService::Server",
     [] { return CORBA::Object_ptr(hvc_util::UnitOfMeasure::getServer()); }},
    {"EpUser::AliasService",
     [] { return CORBA::Object_ptr(hvc_util::UserProfile::getUserAliasService()); }},
    {"EpUser::UserProfile", profile},
};

int doctor(const std::vector<std::string>& args) {
    if (!args.empty()) {
        std::fprintf(stderr, "usage: hvcutil doctor\n");
        return 2;
    }
    int failures = 0;
    for (const Check& check : checks) {
        std::string outcome;
        try {
            CORBA::Object_var ref = check.resolve();
            outcome =
                std::string("ok ") + hvc_util::ServiceResolution::name(
                                         hvc_util::ServiceResolution::meansOf(check.interfaceName));
        } catch (const EpTypes::FailedOperationException& e) {
            outcome = e.reason.in();
            ++failures;
        } catch (const CORBA::Exception& e) {
            outcome = std::string("CORBA::") + e._name();
            ++failures;
        }
        std::printf("%-47s %s\n", check.interfaceName, outcome.c_str());
        std::fflush(stdout);
    }
    return failures == 0 ? 0 : 1;
}

const CommandRegistration registration({"doctor", "",
                                        "resolve each platform service and say by which means "
                                        "(bind, environment, profile) or why not",
                                        doctor});

} // namespace

} // namespace hvcutil
