// Unit-of-measure service access.
#pragma once

#include <hvc_util/Export.h>

#include <EpUnitOfMeasureService.hh>

#include <atomic>

namespace hvc_util {

// Set of static operations. Owns one cached server reference for the life of
// the process; returned references are new and owned by the caller.
// Thread-safe: threads asking at once share one resolution; once cached, a
// call is one atomic load and a _duplicate. The cached reference carries the
// library's call timeout.
class HVC_UTIL_API UnitOfMeasure {
public:
    // The unit-of-measure server. Raises EpTypes::FailedOperationException
    // "Error in getServer; cannot resolve 'EpUnitOfMeasureService::Server'
    // service." when unresolved. The reference script runs at most once
    // successfully per process on its behalf.
    static EpUnitOfMeasureService::Server_ptr getServer();

    // Name of the environment variable holding the server's reference.
    static const char* unitEnvironmentVariableName();

private:
    static std::atomic<EpUnitOfMeasureService::Server_ptr> _server;
};

} // namespace hvc_util
