// Coordinate service access: the platform's coordinate finder and factory.
#pragma once

#include <hvc_util/Export.h>

#include <EpCoordinateService.hh>

#include <atomic>

namespace hvc_util {

// Set of static operations. The class owns one cached reference per service
// for the life of the process; every reference it returns is a new one owned
// by the caller (release it, or hold it in a _var). Thread-safe: threads
// asking at once share one resolution; once cached, a call is one atomic
// load and a _duplicate. Cached references carry the library's call timeout.
class HVC_UTIL_API Coordinate {
public:
    // The coordinate finder. Raises EpTypes::FailedOperationException
    // "Error in getFinder; cannot resolve 'EpCoordinateService::Finder' service."
    // when no means resolves it. Never returns nil.
    static EpCoordinateService::Finder_ptr getFinder();

    // The coordinate factory; fails like getFinder with its own operation and
    // interface names.
    static EpCoordinateService::Factory_ptr getFactory();

    // Names of the environment variables holding the two references.
    static const char* finderEnvironmentVariableName();
    static const char* factoryEnvironmentVariableName();

private:
    static std::atomic<EpCoordinateService::Finder_ptr> finder;
    static std::atomic<EpCoordinateService::Factory_ptr> factory;
};

} // namespace hvc_util
