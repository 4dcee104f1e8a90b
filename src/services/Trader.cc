#include "hvc_util/Trader.h"

#include "bindings/Diagnostics.h"
#include "services/ServiceResolver.h"

namespace hvc_util {

namespace {

const ServiceCatalogue::Entry& lookupEntry =
    ServiceCatalogue::entry(ServiceCatalogue::Service::TraderLookup);

void printBindFailure(const CORBA::Exception&) {
    Diagnostics::print("Could not bind to CosTrading::Lookup\n");
    Diagnostics::print("Ensure that the Trader service is running.\n");
}

const ServiceRow lookupRow{lookupEntry, printBindFailure};

} // namespace

std::atomic<CosTrading::Lookup_ptr> Trader::traderLookup{nullptr};

CosTrading::Lookup_ptr Trader::lookupTradingService() {
    return ServiceResolver::resolve<CosTrading::Lookup>(
        lookupRow, traderLookup,
        [](CORBA::ORB_ptr orb) { return Orb::bind(orb, lookupEntry.bindName); });
}

const char* Trader::traderLookupEnvironmentVariableName() {
    return lookupEntry.variable;
}

} // namespace hvc_util
