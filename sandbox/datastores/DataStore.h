// One data store of the sandbox: its live data objects and the conversions
// between key texts, data keys and objects that its factories serve.
#pragma once

#include "InterpretationServants.h"
#include "StoreCatalogue.h"

#include <EpDataStore.hh>

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace hvc_sandbox {

// Activates one data object per catalogue object in the POA it is given,
// which then owns them; keeps them for its life. Its set of objects is fixed
// at construction, so its factories may use it from any thread; what an
// object keeps of its own (a representation's origin) it guards itself.
class DataStore {
public:
    // One object as hvcutil key lists it.
    struct Listing {
        std::string keyText;
        std::string dataType;
        std::string name; // the entry's "name", empty for none
    };

    // `systems` looks up the coordinate systems of the seismic geometries by
    // name. Raises std::runtime_error for an object of a data type the
    // sandbox has no servant for, or an entry its data type cannot use.
    DataStore(const StoreCatalogue::Store& store, PortableServer::POA_ptr poa,
              SystemLookup systems = {});

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
    // The same for a key text of either form.
    EpDataStore::Data_ptr object(const std::string& keyText) const;

    // Whether `text` is a current key text of this store.
    bool isKeyText(const std::string& text) const;
    // The current key text of `object` when it is one of this store's
    // objects, else an empty text. Asks nothing of `object`.
    std::string keyTextOf(CORBA::Object_ptr object) const;

    // The store's objects in data file order.
    std::vector<Listing> listing() const;

    // For tests: the servant of the object with that local key in that
    // project; raises EpDataStore::StoreException for none.
    PortableServer::ServantBase* servant(const std::string& projectName,
                                         const std::string& localKey) const;

private:
    struct Live {
        EpDataStore::DataKey key;
        std::string name;
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
    std::vector<const Live*> inFileOrder;
};

} // namespace hvc_sandbox
