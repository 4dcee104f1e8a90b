// How each cached service reference of this process was resolved: the means
// that won and every step tried on the way, for tools that explain a platform
// installation (hvcutil doctor).
#pragma once

#include <hvc_util/Export.h>
#include <hvc_util/ServiceCatalogue.h>

#include <string>
#include <vector>

namespace hvc_util {

// Set of static queries over process-wide records, one per catalogue entry.
// Safe to call from several threads; the records are copied out.
class HVC_UTIL_API ServiceResolution {
public:
    enum class Means { None, Bind, Environment, Profile };

    // One step of a resolution: which means it served, what was tried
    // ("bind Server.EpUnitOfMeasureService", "variable HVC_UNITS_IOR",
    // "reference script", "profile property EpUnitOfMeasureService::Server")
    // and how it ended ("found", "unset", an exception's description, ...).
    struct Step {
        Means means;
        std::string what;
        std::string outcome;
    };

    // The means that filled the service's cache; None while it is unresolved.
    static Means meansOf(ServiceCatalogue::Service service);
    // The same by scoped interface name ("EpUnitOfMeasureService::Server");
    // None for a name the catalogue does not know.
    static Means meansOf(const char* interfaceName);

    // The steps of the service's latest resolution, in order; empty when it
    // was never tried in this process.
    static std::vector<Step> stepsOf(ServiceCatalogue::Service service);

    // "bind", "environment", "profile" or "none".
    static const char* name(Means means);

    // Records a resolution's outcome; called by the library's resolver.
    static void record(ServiceCatalogue::Service service, Means means, std::vector<Step> steps);
};

} // namespace hvc_util
