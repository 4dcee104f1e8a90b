// The two factories a data store registers with the platform's factory
// finder: its store factory (key texts to data keys and back) and its
// existing-data factory (data keys to data objects).
#pragma once

#include "DataStore.h"

#include <EpDataStore.hh>

namespace hvc_sandbox {

// Both refer to their store, which outlives them.
class StoreFactoryServant : public POA_EpDataStore::StoreFactory {
public:
    explicit StoreFactoryServant(const DataStore& store);

    EpDataStore::StoreKey* getStoreKey() override;
    // Either key form; EpDataStore::StoreException for a key the store does
    // not know.
    EpDataStore::DataKey* stringToDataKey(const char* keyString) override;
    // The current form; EpDataStore::StoreException as above.
    char* dataKeyToString(const EpDataStore::DataKey& key) override;

private:
    const DataStore& store;
};

class ExistingDataFactoryServant : public POA_EpDataStore::ExistingDataFactory {
public:
    explicit ExistingDataFactoryServant(const DataStore& store);

    // The store's object for `key` (the session is not needed here);
    // EpDataStore::StoreException for a key the store does not know.
    EpDataStore::Data_ptr createData(const EpDataStore::DataKey& key,
                                     EpSession::Session_ptr session) override;

private:
    const DataStore& store;
};

} // namespace hvc_sandbox
