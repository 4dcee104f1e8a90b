// An in-process sandbox platform whose unit and coordinate services the
// library reaches through their reference variables.
#pragma once

#include "sandbox/Platform.h"
#include "sandbox/coordinates/CoordinateService.h"
#include "sandbox/units/UnitsService.h"
#include "support/ScopedEnv.h"

#include <hvc_util/ServiceCatalogue.h>

#include <memory>
#include <string>

namespace hvc_test {

class MeasurePlatform {
public:
    using Service = hvc_util::ServiceCatalogue::Service;

    // `withUnits` false leaves the units server unnamed, for tests that
    // bring a server of their own.
    explicit MeasurePlatform(bool withUnits = true) {
        env.unset("HVC_HOME");
        env.set("USERNAME", "tester");
        hvc_sandbox::Platform::Options options;
        options.users = {{"tester", "tester"}};
        platform = std::make_unique<hvc_sandbox::Platform>(options);
        for (Service s : {Service::CoordinateFinder, Service::CoordinateFactory})
            name(s, platform->ior(s));
        if (withUnits)
            name(Service::UnitsServer, platform->ior(Service::UnitsServer));
    }

    // Exports the data-type converter factories of the user "tester" (the
    // process user here) to the sandbox's trader, which the library then uses.
    void offerConverters() { platform->exportOffers(); }

    void name(Service service, const std::string& ior) {
        env.set(hvc_util::ServiceCatalogue::entry(service).variable, ior);
    }

    hvc_sandbox::Platform& operator*() { return *platform; }
    hvc_sandbox::Platform* operator->() { return platform.get(); }
    hvc_sandbox::UnitsService& units() { return platform->room<hvc_sandbox::UnitsService>(); }
    hvc_sandbox::CoordinateService& coordinates() {
        return platform->room<hvc_sandbox::CoordinateService>();
    }

    // A system of the sandbox by name (a new reference).
    EpCoordinateService::System_ptr system(const std::string& systemName) {
        return coordinates().system(systemName);
    }
    EpUnitOfMeasureService::Unit_ptr unit(const std::string& acronym) {
        return units().unit(acronym);
    }

private:
    ScopedEnv env;
    std::unique_ptr<hvc_sandbox::Platform> platform;
};

} // namespace hvc_test
