#include "bindings/CallTimeout.h"

#include "bindings/Environment.h"
#include "bindings/Orb.h"
#include "bindings/ResolveOnce.h"

#include <omniORB4/internal/orbParameters.h>

#include <atomic>
#include <chrono>

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

// The operation budget of this thread: how many are open, and when the
// outermost began.
thread_local int openBudgets = 0;
thread_local Clock::time_point budgetStart;

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

CallTimeout::Budget::Budget() : inner(openBudgets > 0) {
    if (openBudgets++ == 0)
        budgetStart = Clock::now();
}

CallTimeout::Budget::~Budget() {
    --openBudgets;
}

bool CallTimeout::Budget::spent() {
    if (openBudgets == 0)
        return false;
    return Clock::now() - budgetStart >= std::chrono::milliseconds(milliseconds());
}

} // namespace hvc_util
