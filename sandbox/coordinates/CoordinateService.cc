#include "CoordinateService.h"

#include "sandbox/Platform.h"
#include "sandbox/common/Activation.h"
#include "sandbox/common/FactoryFinderServant.h"
#include "sandbox/common/PlaceholderServant.h"
#include "sandbox/common/ServerServant.h"

#include <EpCoordinateService.hh>

namespace hvc_sandbox {

namespace {

using hvc_util::ServiceCatalogue;

} // namespace

void CoordinateService::start(Platform& platform, PortableServer::POA_ptr poa) {
    PortableServer::Servant_var<PlaceholderServant> finderServant(
        new PlaceholderServant({EpCoordinateService::Finder::_PD_repoId}));
    CORBA::Object_var finder = Activation::activate(poa, "finder", finderServant.in());
    platform.publish(ServiceCatalogue::Service::CoordinateFinder, poa, finder);

    PortableServer::Servant_var<PlaceholderServant> factoryServant(
        new PlaceholderServant({EpCoordinateService::Factory::_PD_repoId}));
    CORBA::Object_var factory = Activation::activate(poa, "factory", factoryServant.in());
    platform.publish(ServiceCatalogue::Service::CoordinateFactory, poa, factory);

    // The coordinate server hands out its finder and factory by interface.
    PortableServer::Servant_var<FactoryFinderServant> factories(new FactoryFinderServant);
    factories->add(EpCoordinateService::Finder::_PD_repoId, finder);
    factories->add(EpCoordinateService::Factory::_PD_repoId, factory);
    CORBA::Object_var finderObj = Activation::activate(poa, "factories", factories.in());
    CosLifeCycle::FactoryFinder_var factoryFinder = CosLifeCycle::FactoryFinder::_narrow(finderObj);
    PortableServer::Servant_var<ServerServant> server(new ServerServant(factoryFinder));
    CORBA::Object_var serverRef = Activation::activate(poa, "server", server.in());
    platform.publishName(
        ServiceCatalogue::entry(ServiceCatalogue::Service::CoordinateFinder).bindName, serverRef);
}

} // namespace hvc_sandbox
