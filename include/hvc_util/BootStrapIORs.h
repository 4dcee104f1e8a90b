// Loads the platform's service references into the process environment by
// running its reference script, $HVC_HOME/bin/GetIORS.sh.
#pragma once

#include <hvc_util/Export.h>

namespace hvc_util {

// Set of static operations; owns nothing. Every failure is an
// EpTypes::FailedOperationException whose reason says what went wrong.
class HVC_UTIL_API BootStrapIORs {
public:
    // Runs the script and loads its output, unless a run already succeeded in
    // this process and `force` is false. Raises what getIORs and setIORs
    // raise; the process then counts as bootstrapped as before.
    static void bootstrapIORs(bool force);

    // Captures the script's standard output and error into `buffer`, which
    // the caller supplies with at least 8192 bytes: at most 8191 bytes of
    // output, NUL-terminated. The script's process is reaped before return.
    // Raises when HVC_HOME is unset or the script cannot be started.
    static void getIORs(char* buffer);

    // Puts every NAME=VALUE entry of `text` into the process environment and
    // returns true. Raises at the first bad entry; the entries before it stay
    // set.
    static bool setIORs(const char* text);

    // True once a run of the script has been captured and loaded.
    static bool isBootstrapped();

private:
    static bool bootstrapped;
};

} // namespace hvc_util
