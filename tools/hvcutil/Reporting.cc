#include "Reporting.h"

#include "hvc_util/ExceptionDescription.h"

#include <EpTypes.hh>

#include <cstdio>
#include <exception>

namespace hvcutil {

int reporting(const std::function<int()>& body) {
    try {
        return body();
    } catch (const EpTypes::FailedOperationException& e) {
        // The library's own sentence says it all.
        std::fprintf(stderr, "hvcutil: %s\n", e.reason.in());
    } catch (const CORBA::Exception& e) {
        std::fprintf(stderr, "hvcutil: %s\n", hvc_util::describe(e).c_str());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "hvcutil: %s\n", e.what());
    }
    return exitFailure;
}

int usageOf(const char* command, const char* usage) {
    std::fprintf(stderr, "usage: hvcutil %s %s\n", command, usage);
    return exitUsage;
}

} // namespace hvcutil
