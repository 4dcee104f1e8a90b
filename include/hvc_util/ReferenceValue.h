// Reference value service access.
#pragma once

#include <hvc_util/Export.h>

#include <EpReferenceValueService.hh>

#include <atomic>

namespace hvc_util {

// Set of static operations. Owns one cached service reference for the life
// of the process; returned references are new and owned by the caller.
// Thread-safe: threads asking at once share one resolution; once cached, a
// call is one atomic load and a _duplicate. The cached reference carries the
// library's call timeout.
class HVC_UTIL_API ReferenceValue {
public:
    // The reference value service. Raises EpTypes::FailedOperationException
    // "Error in getService; cannot resolve
    // 'EpReferenceValueService::ReferenceValueService' service." when unresolved.
    static EpReferenceValueService::ReferenceValueService_ptr getService();

    // Name of the environment variable holding the service's reference.
    static const char* serviceEnvironmentVariableName();

private:
    static std::atomic<EpReferenceValueService::ReferenceValueService_ptr> service;
};

} // namespace hvc_util
