#include "hvc_util/Coordinate.h"

#include "bindings/Diagnostics.h"
#include "hvc_util/ExceptionDescription.h"
#include "services/ServiceResolver.h"

#include <EpFactory.hh>
#include <EpServer.hh>

namespace hvc_util {

namespace {

const ServiceCatalogue::Entry& finderEntry =
    ServiceCatalogue::entry(ServiceCatalogue::Service::CoordinateFinder);
const ServiceCatalogue::Entry& factoryEntry =
    ServiceCatalogue::entry(ServiceCatalogue::Service::CoordinateFactory);

void printBindFailure(const CORBA::Exception& e) {
    Diagnostics::line(std::string("Could not bind to ") + finderEntry.bindName);
    Diagnostics::line("Ensure that the Coordinate Service is running.");
    Diagnostics::line("");
    Diagnostics::line(describe(e));
}

// The coordinate server hands out its finder and factory through its factory
// finder, keyed by the wanted interface's repository id.
CORBA::Object_ptr lookUp(CORBA::ORB_ptr orb, const ServiceCatalogue::Entry& entry,
                         CORBA::TypeCode_ptr wanted) {
    EpServer::Server_var server = Orb::bindAs<EpServer::Server>(orb, entry.bindName);
    if (CORBA::is_nil(server))
        return CORBA::Object::_nil();
    CosLifeCycle::Key key;
    key.length(1);
    key[0].id = CORBA::string_dup(wanted->id());
    key[0].kind = CORBA::string_dup(EpFactory::FACTORY_INTERFACE);
    CosLifeCycle::FactoryFinder_var finder = server->getFactoryFinder();
    if (CORBA::is_nil(finder))
        return CORBA::Object::_nil();
    CosLifeCycle::Factories_var factories = finder->find_factories(key);
    if (factories->length() == 0)
        return CORBA::Object::_nil();
    return CORBA::Object::_duplicate(factories[0]);
}

const ServiceRow finderRow{finderEntry, printBindFailure};
const ServiceRow factoryRow{factoryEntry, printBindFailure};

} // namespace

std::atomic<EpCoordinateService::Finder_ptr> Coordinate::finder{nullptr};
std::atomic<EpCoordinateService::Factory_ptr> Coordinate::factory{nullptr};

EpCoordinateService::Finder_ptr Coordinate::getFinder() {
    return ServiceResolver::resolve<EpCoordinateService::Finder>(
        finderRow, finder, [](CORBA::ORB_ptr orb) {
            return lookUp(orb, finderEntry, EpCoordinateService::_tc_Finder);
        });
}

EpCoordinateService::Factory_ptr Coordinate::getFactory() {
    return ServiceResolver::resolve<EpCoordinateService::Factory>(
        factoryRow, factory, [](CORBA::ORB_ptr orb) {
            return lookUp(orb, factoryEntry, EpCoordinateService::_tc_Factory);
        });
}

const char* Coordinate::finderEnvironmentVariableName() {
    return finderEntry.variable;
}
const char* Coordinate::factoryEnvironmentVariableName() {
    return factoryEntry.variable;
}

} // namespace hvc_util
