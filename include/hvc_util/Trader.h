// Trading service access.
#pragma once

#include <hvc_util/Export.h>

#include <CosTrading.hh>

#include <atomic>

namespace hvc_util {

// Set of static operations. Owns one cached lookup reference for the life of
// the process; returned references are new and owned by the caller.
// Thread-safe: threads asking at once share one resolution; once cached, a
// call is one atomic load and a _duplicate. The cached reference carries the
// library's call timeout.
class HVC_UTIL_API Trader {
public:
    // The trader's lookup interface. When unresolved, writes
    // "Cannot resolve CosTrading::Lookup service." to stderr and raises
    // EpTypes::FailedOperationException with the same text.
    static CosTrading::Lookup_ptr lookupTradingService();

    // Name of the environment variable holding the lookup's reference.
    static const char* traderLookupEnvironmentVariableName();

private:
    static std::atomic<CosTrading::Lookup_ptr> traderLookup;
};

} // namespace hvc_util
