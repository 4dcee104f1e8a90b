#include "hvc_util/UnitOfMeasure.h"

#include "bindings/Diagnostics.h"
#include "services/ServiceResolver.h"

namespace hvc_util {

namespace {

const ServiceCatalogue::Entry& serverEntry =
    ServiceCatalogue::entry(ServiceCatalogue::Service::UnitsServer);

void printBindFailure(const CORBA::Exception&) {
    Diagnostics::print("Could not bind to %s\n", serverEntry.bindName);
    Diagnostics::print("Ensure that the UnitOfMeasure Service is running.\n");
}

const ServiceRow serverRow{serverEntry, printBindFailure};

} // namespace

std::atomic<EpUnitOfMeasureService::Server_ptr> UnitOfMeasure::_server{nullptr};

EpUnitOfMeasureService::Server_ptr UnitOfMeasure::getServer() {
    return ServiceResolver::resolve<EpUnitOfMeasureService::Server>(
        serverRow, _server,
        [](CORBA::ORB_ptr orb) { return Orb::bind(orb, serverEntry.bindName); });
}

const char* UnitOfMeasure::unitEnvironmentVariableName() {
    return serverEntry.variable;
}

} // namespace hvc_util
