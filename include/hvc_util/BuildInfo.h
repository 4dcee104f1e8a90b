// The library's version.
#pragma once

#include <hvc_util/Export.h>

namespace hvc_util {

// Constants only; the texts are static and owned by the library. Nothing
// raises.
class HVC_UTIL_API BuildInfo {
public:
    // "Halvercast v<major>.<revision>.<update> Build <number>".
    static const char* getVersion();
    static const char* getBuildDate();
    static int getBuildMajor();
    static int getBuildRevision();
    static int getBuildUpdate();
    static int getBuildNumber();
};

} // namespace hvc_util
