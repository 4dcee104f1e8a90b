#include "hvc_util/Trader.h"

#include "bindings/Diagnostics.h"
#include "services/ServiceResolver.h"

namespace hvc_util {

namespace {

const char* const traderLookupVariable = "HVC_TRADER_IOR";

void printBindFailure(const CORBA::Exception&) {
    Diagnostics::print("Could not bind to CosTrading::Lookup\n");
    Diagnostics::print("Ensure that the Trader service is running.\n");
}

ServiceRow lookupRow = ServiceRow::common("lookupTradingService", "CosTrading::Lookup",
                                          traderLookupVariable, printBindFailure)
                           .failingWith("Cannot resolve CosTrading::Lookup service.", true);

} // namespace

CosTrading::Lookup_ptr Trader::traderLookup = CosTrading::Lookup::_nil();

CosTrading::Lookup_ptr Trader::lookupTradingService() {
    return ServiceResolver::resolve<CosTrading::Lookup>(
        lookupRow, traderLookup,
        [](CORBA::ORB_ptr orb) { return Orb::bind(orb, "TradingService"); });
}

const char* Trader::traderLookupEnvironmentVariableName() {
    return traderLookupVariable;
}

} // namespace hvc_util
