// One data store of the sandbox: its live data objects and the conversions
// between key texts, data keys and objects that its factories serve.
#pragma once

#include "StoreCatalogue.h"

#include <EpDataStore.hh>

#include <map>
#include <string>
#include <utility>

namespace hvc_sandbox {

// Activates one data object per catalogue object in the POA it is given,
// which then owns them; keeps them for its life. Immutable after
// construction, so its factories may use it from any thread.
class DataStore {
public:
    // Raises std::runtime_error for an object of a data type the sandbox has
    // no servant for.
    DataStore(const StoreCatalogue::Store& store, PortableServer::POA_ptr poa);

    const std::string& name() const { return storeName; }
    const std::string& factoryType() const { return type; }

    // The data key a key text of either form names; the caller deletes it.
    // Raises EpDataStore::StoreException for a text that is no key of this
    // store, or names no object of it.
    EpDataStore::DataKey* dataKey(const char* keyText) const;
    // The current key text of `key`; raises EpDataStore::StoreException as
    // dataKey does.
    std::string keyText(const EpDataStore::DataKey& key) const;
    // A new reference to the object `key` names; raises
    // EpDataStore::StoreException as dataKey does.
    EpDataStore::Data_ptr object(const EpDataStore::DataKey& key) const;

private:
    struct Live {
        EpDataStore::DataKey key;
        PortableServer::Servant_var<PortableServer::ServantBase> servant;
        EpDataStore::Data_var ref;
    };
    // Raises StoreException unless the store holds the object.
    const Live& find(const std::string& storeName, const std::string& factoryType,
                     const std::string& projectName, const std::string& localKey,
                     const std::string& asked) const;

    const std::string storeName;
    const std::string type;
    std::map<std::pair<std::string, std::string>, Live> objects;
};

} // namespace hvc_sandbox
