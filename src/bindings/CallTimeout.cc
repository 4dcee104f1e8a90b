#include "bindings/CallTimeout.h"

#include "bindings/Environment.h"
#include "bindings/Orb.h"
#include "bindings/ResolveOnce.h"

#include <omniORB4/internal/orbParameters.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>

namespace hvc_util {

namespace {

using Clock = std::chrono::steady_clock;

std::atomic<long> decided{0};
ResolveOnce decidedGate;

long decide() {
    CORBA::ORB_var orb = Orb::init();
    // The application's configuration (ORBclientCallTimeOutPeriod, an
    // omniORB configuration file) is in the ORB's parameters once it runs.
    const omni_time_t& configured = omni::orbParameters::clientCallTimeOutPeriod;
    const long fromOrb = static_cast<long>(configured.s * 1000 + configured.ns / 1000000);
    if (fromOrb > 0)
        return fromOrb;
    return Environment::milliseconds("HVC_CALL_TIMEOUT_MS", CallTimeout::defaultMilliseconds);
}

// Whether the process ORB runs (it was initialised through Orb::init).
std::atomic<bool> orbRunning{false};

// The operation budget of this thread: how many are open, when the
// outermost began, and whether the ORB was told its deadline, with the
// omni_thread that needs (a stand-in on threads the ORB did not start).
thread_local int openBudgets = 0;
thread_local Clock::time_point budgetStart;
thread_local bool deadlineSet = false;
thread_local std::unique_ptr<omni_thread::ensure_self> orbThread;

// Tells the ORB this thread's deadline: every call the operation makes on a
// reference that has no timeout of its own (the objects servers hand out on
// the way) ends by then too.
void setDeadline(long ms) {
    const long left = std::max<long>(
        1, ms - static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                      Clock::now() - budgetStart)
                                      .count()));
    orbThread = std::make_unique<omni_thread::ensure_self>();
    unsigned long seconds = 0, nanoseconds = 0;
    omni_thread::get_time(&seconds, &nanoseconds, static_cast<unsigned long>(left / 1000),
                          static_cast<unsigned long>(left % 1000) * 1000000UL);
    omniORB::setClientThreadCallDeadline(seconds, nanoseconds);
    deadlineSet = true;
}

void setDeadlineWhenKnown() {
    if (openBudgets == 0 || deadlineSet || !orbRunning.load(std::memory_order_acquire))
        return;
    // Zero while the timeout is being decided (on this thread): the deadline
    // is set once it is.
    if (const long ms = CallTimeout::milliseconds(); ms > 0)
        setDeadline(ms);
}

} // namespace

long CallTimeout::milliseconds() {
    if (long ms = decided.load(std::memory_order_acquire))
        return ms;
    return decidedGate.resolve(decided, decide, [](long) {});
}

void CallTimeout::apply(CORBA::Object_ptr obj) {
    if (!CORBA::is_nil(obj))
        omniORB::setClientCallTimeout(obj, static_cast<CORBA::ULong>(milliseconds()));
}

void CallTimeout::orbStarted() {
    if (!orbRunning.load(std::memory_order_acquire) &&
        !orbRunning.exchange(true, std::memory_order_acq_rel)) {
        // Per-thread deadlines are honoured only when the ORB is told to
        // look for them.
        omni::orbParameters::supportPerThreadTimeOut = 1;
    }
    setDeadlineWhenKnown();
}

CallTimeout::Budget::Budget() : inner(openBudgets > 0) {
    if (openBudgets++ == 0) {
        budgetStart = Clock::now();
        setDeadlineWhenKnown();
    }
}

CallTimeout::Budget::~Budget() {
    if (--openBudgets > 0 || !deadlineSet)
        return;
    omniORB::setClientThreadCallDeadline(0, 0);
    deadlineSet = false;
    orbThread.reset();
}

bool CallTimeout::Budget::spent() {
    if (openBudgets == 0)
        return false;
    return Clock::now() - budgetStart >= std::chrono::milliseconds(milliseconds());
}

} // namespace hvc_util
