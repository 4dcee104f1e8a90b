#include "DataStoresRoom.h"

#include "sandbox/Platform.h"
#include "sandbox/common/Activation.h"

#include <EpCoordinateService.hh>
#include <EpFactory.hh>

#include <memory>
#include <stdexcept>

namespace hvc_sandbox {

namespace {

// Coordinate systems by name from the platform's coordinate finder, which is
// started before the data stores. A name the finder does not know gives nil;
// a finder that fails passes its failure to the caller.
SystemLookup systemsOf(const Platform& platform) {
    CORBA::Object_var published =
        platform.reference(hvc_util::ServiceCatalogue::Service::CoordinateFinder);
    auto finder = std::make_shared<EpCoordinateService::Finder_var>(
        EpCoordinateService::Finder::_unchecked_narrow(published.in()));
    return [finder](const std::string& name) -> EpCoordinateService::System_ptr {
        if (CORBA::is_nil(*finder))
            return EpCoordinateService::System::_nil();
        try {
            return (*finder)->findSystem(name.c_str());
        } catch (const EpTypes::BadArgumentsException&) {
            return EpCoordinateService::System::_nil();
        }
    };
}

} // namespace

void DataStoresRoom::start(Platform& platform, PortableServer::POA_ptr poa) {
    const SystemLookup systems = systemsOf(platform);
    for (const StoreCatalogue::Store& s : StoreCatalogue::builtIn()) {
        Served served;
        served.store = std::make_unique<DataStore>(s, poa, systems);
        served.storeFactory = new StoreFactoryServant(*served.store);
        served.existingData = new ExistingDataFactoryServant(*served.store);
        CORBA::Object_var storeFactory =
            Activation::activate(poa, "store:" + s.name, served.storeFactory.in());
        CORBA::Object_var existingData =
            Activation::activate(poa, "existing:" + s.name, served.existingData.in());
        // In this order: a lookup by store name and factory type alone finds
        // the store factory first.
        platform.factories().add(
            {{EpDataStore::STORE_NAME, s.name},
             {EpFactory::FACTORY_TYPE, s.factoryType},
             {EpFactory::FACTORY_INTERFACE, EpDataStore::StoreFactory::_PD_repoId}},
            storeFactory.in());
        platform.factories().add(
            {{EpDataStore::STORE_NAME, s.name},
             {EpFactory::FACTORY_TYPE, s.factoryType},
             {EpFactory::FACTORY_INTERFACE, EpDataStore::ExistingDataFactory::_PD_repoId}},
            existingData.in());
        stores.push_back(std::move(served));
    }
}

const DataStore& DataStoresRoom::store(const std::string& storeName) const {
    for (const Served& s : stores)
        if (s.store->name() == storeName)
            return *s.store;
    throw std::out_of_range("no sandbox data store " + storeName);
}

std::vector<DataStore::Listing> DataStoresRoom::listing() const {
    std::vector<DataStore::Listing> out;
    for (const Served& s : stores)
        for (DataStore::Listing& l : s.store->listing())
            out.push_back(std::move(l));
    return out;
}

} // namespace hvc_sandbox
