#include "hvc_util/ReferenceValue.h"

#include "bindings/Diagnostics.h"
#include "hvc_util/ExceptionDescription.h"
#include "services/ServiceResolver.h"

namespace hvc_util {

namespace {

const ServiceCatalogue::Entry& serviceEntry =
    ServiceCatalogue::entry(ServiceCatalogue::Service::ReferenceValues);

void printBindFailure(const CORBA::Exception& e) {
    Diagnostics::line(std::string("Could not bind to ") + serviceEntry.bindName);
    Diagnostics::line("Ensure that the Reference Value Service is running.");
    Diagnostics::line("");
    Diagnostics::line(describe(e));
}

const ServiceRow serviceRow{serviceEntry, printBindFailure};

} // namespace

std::atomic<EpReferenceValueService::ReferenceValueService_ptr> ReferenceValue::service{nullptr};

EpReferenceValueService::ReferenceValueService_ptr ReferenceValue::getService() {
    return ServiceResolver::resolve<EpReferenceValueService::ReferenceValueService>(
        serviceRow, service,
        [](CORBA::ORB_ptr orb) { return Orb::bind(orb, serviceEntry.bindName); });
}

const char* ReferenceValue::serviceEnvironmentVariableName() {
    return serviceEntry.variable;
}

} // namespace hvc_util
