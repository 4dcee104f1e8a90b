// Loads the platform's service references into the process environment by
// running its reference script, $HVC_HOME/bin/GetIORS.sh.
#pragma once

#include <hvc_util/Export.h>

#include <atomic>

namespace hvc_util {

// Set of static operations; owns nothing. Every failure is an
// EpTypes::FailedOperationException whose reason says what went wrong.
// Thread-safe: runs of the script are one at a time, and concurrent
// bootstrapIORs(false) calls run it once; the environment is written under
// the library's environment lock.
class HVC_UTIL_API BootStrapIORs {
public:
    // Runs the script and loads its output, unless a run already succeeded in
    // this process and `force` is false. Raises what getIORs and setIORs
    // raise; the process then counts as bootstrapped as before.
    static void bootstrapIORs(bool force);

    // Captures the script's standard output and error into `buffer`, which
    // the caller supplies with at least 8192 bytes: at most 8191 bytes of
    // output, NUL-terminated. The script runs in a process group of its own
    // and is reaped before return. Reading ends at end of output, or once the
    // script has ended (a background child still holding the pipe does not
    // keep the caller waiting). Raises when HVC_HOME is unset or the script
    // cannot be started, and when it has not ended within the time limit
    // (HVC_SCRIPT_TIMEOUT_MS, default 60 s): its process group is then
    // killed and the reason is the start failure's, followed by ": timed out
    // after <limit> ms".
    static void getIORs(char* buffer);

    // Puts every NAME=VALUE entry of `text` into the process environment and
    // returns true. Raises at the first bad entry; the entries before it stay
    // set.
    static bool setIORs(const char* text);

    // True once a run of the script has been captured and loaded.
    static bool isBootstrapped();

    // The script's time limit in milliseconds when HVC_SCRIPT_TIMEOUT_MS is unset.
    static constexpr long defaultScriptTimeoutMilliseconds = 60000;

private:
    static std::atomic<bool> bootstrapped;
};

} // namespace hvc_util
