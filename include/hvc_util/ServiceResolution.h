// Which means resolved each cached service reference of this process, for
// tools that explain a platform installation (hvcutil doctor).
#pragma once

#include <hvc_util/Export.h>

namespace hvc_util {

// Set of static queries over process-wide records; owns nothing.
class HVC_UTIL_API ServiceResolution {
public:
    enum class Means { None, Bind, Environment, Profile };

    // The means that filled the cache of the service with the given scoped
    // interface name ("EpUnitOfMeasureService::Server"); None while it is
    // unresolved or for an unknown name.
    static Means meansOf(const char* interfaceName);

    // "bind", "environment", "profile" or "none".
    static const char* name(Means means);

    // Records the means of a service; called by the resolving operations.
    static void record(const char* interfaceName, Means means);
};

} // namespace hvc_util
