#include "hvc_util/ServiceResolution.h"

#include <cstring>

namespace hvc_util {

namespace {

struct Record {
    const char* interfaceName;
    ServiceResolution::Means means;
};

// One slot per resolving operation of the library.
Record records[8];

} // namespace

ServiceResolution::Means ServiceResolution::meansOf(const char* interfaceName) {
    for (const Record& r : records)
        if (r.interfaceName != nullptr && std::strcmp(r.interfaceName, interfaceName) == 0)
            return r.means;
    return Means::None;
}

const char* ServiceResolution::name(Means means) {
    switch (means) {
    case Means::Bind:
        return "bind";
    case Means::Environment:
        return "environment";
    case Means::Profile:
        return "profile";
    case Means::None:
        break;
    }
    return "none";
}

void ServiceResolution::record(const char* interfaceName, Means means) {
    for (Record& r : records) {
        if (r.interfaceName == nullptr || std::strcmp(r.interfaceName, interfaceName) == 0) {
            r = Record{interfaceName, means};
            return;
        }
    }
}

} // namespace hvc_util
