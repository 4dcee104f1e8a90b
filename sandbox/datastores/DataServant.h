// A data object of a sandbox data store: its key and its key text.
#pragma once

#include "sandbox/common/EntityIdentity.h"

#include <EpDataStore.hh>

#include <string>
#include <utility>

namespace hvc_sandbox {

// The Data operations of a store object whose skeleton is `Skeleton` (derived
// from POA_EpDataStore::Data). The key and its text never change.
template <class Skeleton> class StoredData : public IdentifiedEntity<Skeleton> {
public:
    StoredData(const EpDataStore::DataKey& key, std::string keyString)
        : key(key), keyString(std::move(keyString)) {}

    EpDataStore::DataKey* getDataKey() override { return new EpDataStore::DataKey(key); }
    // The current form, which a session turns back into this object.
    char* getKeyString() override { return CORBA::string_dup(keyString.c_str()); }

private:
    const EpDataStore::DataKey key;
    const std::string keyString;
};

// A plain data object.
using DataServant = StoredData<POA_EpDataStore::Data>;

} // namespace hvc_sandbox
