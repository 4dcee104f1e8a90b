#include "hvc_util/UnitOfMeasure.h"

#include "bindings/Diagnostics.h"
#include "services/ServiceResolver.h"

namespace hvc_util {

namespace {

const char* const serverVariable = "HVC_UNITS_IOR";
const char* const serverName = "Server.EpUnitOfMeasureService";

void printBindFailure(const CORBA::Exception&) {
    Diagnostics::print("Could not bind to %s\n", serverName);
    Diagnostics::print("Ensure that the UnitOfMeasure Service is running.\n");
}

// The units server is not worth a second script run in a process that has
// already run it successfully.
ServiceRow serverRow = ServiceRow::common("getServer", "EpUnitOfMeasureService::Server",
                                          serverVariable, printBindFailure)
                           .emptyIsAValue()
                           .scriptOnce();

} // namespace

EpUnitOfMeasureService::Server_ptr UnitOfMeasure::_server = EpUnitOfMeasureService::Server::_nil();

EpUnitOfMeasureService::Server_ptr UnitOfMeasure::getServer() {
    return ServiceResolver::resolve<EpUnitOfMeasureService::Server>(
        serverRow, _server, [](CORBA::ORB_ptr orb) { return Orb::bind(orb, serverName); });
}

const char* UnitOfMeasure::unitEnvironmentVariableName() {
    return serverVariable;
}

} // namespace hvc_util
