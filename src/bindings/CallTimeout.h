// How long the library waits on a server: a call timeout on every reference it
// resolves or hands out, and a time budget per library operation.
#pragma once

#include <omniORB4/CORBA.h>

namespace hvc_util {

// Thread-safe. The timeout is decided once per process: the application's
// own omniORB setting clientCallTimeOutPeriod when it configures one, else
// HVC_CALL_TIMEOUT_MS, else 30 s. A call that times out raises a CORBA
// system exception (TIMEOUT or TRANSIENT), which each operation's handlers
// turn into its own communication-failure text.
class CallTimeout {
public:
    static constexpr long defaultMilliseconds = 30000;

    // The call timeout in milliseconds. Initialises the process ORB first, so
    // that the application's configuration is read.
    static long milliseconds();

    // Gives `obj` the call timeout; a nil `obj` is left alone. The caller
    // keeps owning `obj`.
    static void apply(CORBA::Object_ptr obj);

    // Called by Orb::init once the process ORB runs.
    static void orbStarted();

    // The time one library operation may spend waiting on servers: the
    // outermost Budget alive on a thread starts the clock, nested ones (the
    // operations it calls) share it. An operation that has used it up makes no
    // further attempt: a server that has stopped answering costs one timeout,
    // not one per call. The ORB is told the deadline as this thread's, so
    // that calls on references without a timeout of their own (objects
    // servers hand out on the way) end by then too; a per-thread timeout the
    // application set itself is cleared when the outermost Budget ends. Per
    // thread; not copied.
    class Budget {
    public:
        Budget();
        ~Budget();
        Budget(const Budget&) = delete;
        Budget& operator=(const Budget&) = delete;

        // Whether an outer Budget of this thread was alive when this one began.
        bool nested() const { return inner; }

        // Whether this thread's operation has used up its time (false when
        // no Budget is alive on the thread).
        static bool spent();

    private:
        bool inner;
    };
};

} // namespace hvc_util
