// The data stores of the sandbox, from the data file it ships (stores.json).
#pragma once

#include "DataStore.h"
#include "StoreFactoryServants.h"

#include "sandbox/Room.h"

#include <memory>
#include <string>
#include <vector>

namespace hvc_sandbox {

// Owns each store and holds its two factory servants; registers the store
// factory, then the existing-data factory, of each store with the platform's
// factory finder under the store's name, its factory type and the factory's
// interface.
class DataStoresRoom : public Room {
public:
    const char* name() const override { return "datastores"; }
    // Raises std::runtime_error when the data file is not as it should be.
    void start(Platform& platform, PortableServer::POA_ptr poa) override;

    // For tests: the store of that name; raises std::out_of_range for none.
    const DataStore& store(const std::string& storeName) const;

    // Every store's objects, store by store in data file order.
    std::vector<DataStore::Listing> listing() const;

private:
    struct Served {
        std::unique_ptr<DataStore> store;
        PortableServer::Servant_var<StoreFactoryServant> storeFactory;
        PortableServer::Servant_var<ExistingDataFactoryServant> existingData;
    };
    std::vector<Served> stores;
};

} // namespace hvc_sandbox
