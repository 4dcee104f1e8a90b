#include "hvc_util/ReferenceValue.h"

#include "bindings/Diagnostics.h"
#include "services/ServiceResolver.h"

namespace hvc_util {

namespace {

const char* const serviceVariable = "HVC_RVS_IOR";
const char* const serviceName = "Server.EpReferenceValueService";

void printBindFailure(const CORBA::Exception& e) {
    Diagnostics::line(std::string("Could not bind to ") + serviceName);
    Diagnostics::line("Ensure that the Reference Value Service is running.");
    Diagnostics::line("");
    Diagnostics::line(Diagnostics::describe(e));
}

ServiceRow serviceRow =
    ServiceRow::common("getService", "EpReferenceValueService::ReferenceValueService",
                       serviceVariable, printBindFailure);

} // namespace

EpReferenceValueService::ReferenceValueService_ptr ReferenceValue::service =
    EpReferenceValueService::ReferenceValueService::_nil();

EpReferenceValueService::ReferenceValueService_ptr ReferenceValue::getService() {
    return ServiceResolver::resolve<EpReferenceValueService::ReferenceValueService>(
        serviceRow, service, [](CORBA::ORB_ptr orb) { return Orb::bind(orb, serviceName); });
}

const char* ReferenceValue::serviceEnvironmentVariableName() {
    return serviceVariable;
}

} // namespace hvc_util
