#include "DataStore.h"

#include "DataServant.h"

#include "sandbox/common/Activation.h"
#include "sandbox/common/DataKeyText.h"

#include <stdexcept>

namespace hvc_sandbox {

namespace {

// The servant of a catalogue object, by its data type. A data type the
// sandbox serves gets its servant kind here.
PortableServer::ServantBase* makeServant(const EpDataStore::DataKey& key,
                                         const std::string& keyText,
                                         const StoreCatalogue::Object& object,
                                         const StoreCatalogue::Store& catalogue,
                                         const DataStore& store, const SystemLookup& systems) {
    if (std::string(key.dataType.in()) == EpDataStore::Data::_PD_repoId)
        return new DataServant(key, keyText);
    if (PortableServer::ServantBase* servant =
            InterpretationObjects::make(key, keyText, object, catalogue, store, systems))
        return servant;
    throw std::runtime_error(std::string("the sandbox has no data objects of type ") +
                             key.dataType.in() + " (object " + key.localKey.in() + ")");
}

} // namespace

DataStore::DataStore(const StoreCatalogue::Store& store, PortableServer::POA_ptr poa,
                     SystemLookup systems)
    : storeName(store.name), type(store.factoryType) {
    for (const StoreCatalogue::Object& o : store.objects) {
        Live live;
        live.key.storeName = storeName.c_str();
        live.key.factoryType = type.c_str();
        live.key.projectName = o.projectName.c_str();
        live.key.dataType = o.dataType.c_str();
        live.key.localKey = o.localKey.c_str();
        auto name = o.entry.find("name");
        if (name != o.entry.end() && name->is_string())
            live.name = name->get<std::string>();
        live.servant =
            makeServant(live.key, DataKeyText::current(storeName, o.projectName, o.localKey), o,
                        store, *this, systems);
        // The catalogue's objects are the same across restarts of a platform
        // with a home.
        CORBA::Object_var ref = Activation::activate(
            poa, "data:" + storeName + ":" + o.projectName + ":" + o.localKey, live.servant.in());
        live.ref = EpDataStore::Data::_narrow(ref.in());
        auto placed = objects.emplace(std::make_pair(o.projectName, o.localKey), live);
        inFileOrder.push_back(&placed.first->second);
    }
}

const DataStore::Live& DataStore::find(const std::string& askedStore, const std::string& askedType,
                                       const std::string& projectName, const std::string& localKey,
                                       const std::string& asked) const {
    if (askedStore != storeName || (!askedType.empty() && askedType != type))
        throw EpDataStore::StoreException(
            (asked + " is not a key of the data store " + storeName).c_str());
    auto found = objects.find({projectName, localKey});
    if (found == objects.end())
        throw EpDataStore::StoreException(("The data store " + storeName + " holds no object " +
                                           localKey + " in project " + projectName)
                                              .c_str());
    return found->second;
}

EpDataStore::DataKey* DataStore::dataKey(const char* keyText) const {
    const std::string text = keyText != nullptr ? keyText : "";
    DataKeyText::Parts parts;
    const bool parsed = DataKeyText::isOlder(text) ? DataKeyText::parseOlder(text, parts)
                                                   : DataKeyText::parseCurrent(text, parts);
    if (!parsed)
        throw EpDataStore::StoreException(("'" + text + "' is not a data key").c_str());
    const Live& live = find(parts.storeName, parts.factoryType, parts.projectName, parts.localKey,
                            "'" + text + "'");
    return new EpDataStore::DataKey(live.key);
}

std::string DataStore::keyText(const EpDataStore::DataKey& key) const {
    find(key.storeName.in(), key.factoryType.in(), key.projectName.in(), key.localKey.in(),
         "the data key of " + std::string(key.localKey.in()));
    return DataKeyText::current(storeName, key.projectName.in(), key.localKey.in());
}

EpDataStore::Data_ptr DataStore::object(const EpDataStore::DataKey& key) const {
    const Live& live = find(key.storeName.in(), key.factoryType.in(), key.projectName.in(),
                            key.localKey.in(), "the data key of " + std::string(key.localKey.in()));
    return EpDataStore::Data::_duplicate(live.ref.in());
}

EpDataStore::Data_ptr DataStore::object(const std::string& keyText) const {
    EpDataStore::DataKey_var key = dataKey(keyText.c_str());
    return object(key.in());
}

bool DataStore::isKeyText(const std::string& text) const {
    DataKeyText::Parts parts;
    return !DataKeyText::isOlder(text) && DataKeyText::parseCurrent(text, parts) &&
           parts.storeName == storeName;
}

std::string DataStore::keyTextOf(CORBA::Object_ptr object) const {
    if (CORBA::is_nil(object))
        return "";
    for (const Live* live : inFileOrder)
        if (live->ref->_is_equivalent(object))
            return DataKeyText::current(storeName, live->key.projectName.in(),
                                        live->key.localKey.in());
    return "";
}

std::vector<DataStore::Listing> DataStore::listing() const {
    std::vector<Listing> out;
    for (const Live* live : inFileOrder)
        out.push_back(
            {DataKeyText::current(storeName, live->key.projectName.in(), live->key.localKey.in()),
             live->key.dataType.in(), live->name});
    return out;
}

PortableServer::ServantBase* DataStore::servant(const std::string& projectName,
                                                const std::string& localKey) const {
    return find(storeName, type, projectName, localKey, localKey).servant.in();
}

} // namespace hvc_sandbox
