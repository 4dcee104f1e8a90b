#include "TraderService.h"

#include "sandbox/Platform.h"
#include "sandbox/common/Activation.h"

namespace hvc_sandbox {

void TraderService::start(Platform& platform, PortableServer::POA_ptr poa) {
    trader = std::make_unique<TraderCore>(platform.serviceTypes(), poa);
    StateStore& store = platform.state();
    store.migrate(name(), OfferTable::schema());
    trader->offers.keepIn(store);
    lookup = new LookupServant(*trader);
    traderRegister = new RegisterServant(*trader);
    CORBA::Object_var lookupRef = Activation::activate(poa, "lookup", lookup.in());
    CORBA::Object_var registerRef = Activation::activate(poa, "register", traderRegister.in());
    trader->lookup = CosTrading::Lookup::_narrow(lookupRef.in());
    trader->traderRegister = CosTrading::Register::_narrow(registerRef.in());
    platform.publish(hvc_util::ServiceCatalogue::Service::TraderLookup, poa, lookupRef);
}

} // namespace hvc_sandbox
