#include "DataStoresRoom.h"

#include "sandbox/Platform.h"
#include "sandbox/common/Activation.h"

#include <EpFactory.hh>

#include <stdexcept>

namespace hvc_sandbox {

void DataStoresRoom::start(Platform& platform, PortableServer::POA_ptr poa) {
    for (const StoreCatalogue::Store& s : StoreCatalogue::builtIn()) {
        Served served;
        served.store = std::make_unique<DataStore>(s, poa);
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

} // namespace hvc_sandbox
