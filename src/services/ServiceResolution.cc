#include "hvc_util/ServiceResolution.h"

#include <mutex>

namespace hvc_util {

namespace {

struct Record {
    ServiceResolution::Means means = ServiceResolution::Means::None;
    std::vector<ServiceResolution::Step> steps;
};

// One record per catalogue entry, indexed by its service.
struct Records {
    std::mutex lock;
    std::vector<Record> byService{ServiceCatalogue::size()};
};

Records& records() {
    static Records all;
    return all;
}

} // namespace

ServiceResolution::Means ServiceResolution::meansOf(ServiceCatalogue::Service service) {
    Records& all = records();
    std::lock_guard<std::mutex> hold(all.lock);
    return all.byService[static_cast<std::size_t>(service)].means;
}

ServiceResolution::Means ServiceResolution::meansOf(const char* interfaceName) {
    const ServiceCatalogue::Entry* entry = ServiceCatalogue::find(interfaceName);
    return entry != nullptr ? meansOf(entry->service) : Means::None;
}

std::vector<ServiceResolution::Step> ServiceResolution::stepsOf(ServiceCatalogue::Service service) {
    Records& all = records();
    std::lock_guard<std::mutex> hold(all.lock);
    return all.byService[static_cast<std::size_t>(service)].steps;
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

void ServiceResolution::record(ServiceCatalogue::Service service, Means means,
                               std::vector<Step> steps) {
    Records& all = records();
    std::lock_guard<std::mutex> hold(all.lock);
    Record& r = all.byService[static_cast<std::size_t>(service)];
    r.means = means;
    r.steps = std::move(steps);
}

} // namespace hvc_util
