// A data object of a sandbox data store: its key and its key text.
#pragma once

#include "sandbox/common/EntityIdentity.h"

#include <EpDataStore.hh>

#include <string>

namespace hvc_sandbox {

// Immutable once made.
class DataServant : public IdentifiedEntity<POA_EpDataStore::Data> {
public:
    DataServant(const EpDataStore::DataKey& key, std::string keyString);

    EpDataStore::DataKey* getDataKey() override;
    // The current form, which a session turns back into this object.
    char* getKeyString() override;

private:
    const EpDataStore::DataKey key;
    const std::string keyString;
};

} // namespace hvc_sandbox
