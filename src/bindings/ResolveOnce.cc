#include "bindings/ResolveOnce.h"

#include <algorithm>
#include <vector>

namespace hvc_util {

namespace {

// The gates this thread is resolving, innermost last.
thread_local std::vector<const ResolveOnce*> resolvingNow;

} // namespace

bool ResolveOnce::resolvingHere() const {
    return std::find(resolvingNow.begin(), resolvingNow.end(), this) != resolvingNow.end();
}

bool ResolveOnce::resolvingAny() {
    return !resolvingNow.empty();
}

ResolveOnce::Mark::Mark(const ResolveOnce* gate) {
    resolvingNow.push_back(gate);
}

ResolveOnce::Mark::~Mark() {
    resolvingNow.pop_back();
}

} // namespace hvc_util
