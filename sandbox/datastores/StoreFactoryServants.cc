#include "StoreFactoryServants.h"

namespace hvc_sandbox {

StoreFactoryServant::StoreFactoryServant(const DataStore& s) : store(s) {}

EpDataStore::StoreKey* StoreFactoryServant::getStoreKey() {
    EpDataStore::StoreKey_var key = new EpDataStore::StoreKey;
    key->storeName = store.name().c_str();
    key->factoryType = store.factoryType().c_str();
    return key._retn();
}

EpDataStore::DataKey* StoreFactoryServant::stringToDataKey(const char* keyString) {
    return store.dataKey(keyString);
}

char* StoreFactoryServant::dataKeyToString(const EpDataStore::DataKey& key) {
    return CORBA::string_dup(store.keyText(key).c_str());
}

ExistingDataFactoryServant::ExistingDataFactoryServant(const DataStore& s) : store(s) {}

EpDataStore::Data_ptr ExistingDataFactoryServant::createData(const EpDataStore::DataKey& key,
                                                             EpSession::Session_ptr) {
    return store.object(key);
}

} // namespace hvc_sandbox
