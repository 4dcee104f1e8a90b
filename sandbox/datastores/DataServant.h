// A data object of a sandbox data store: its key and its key text.
#pragma once

#include "sandbox/common/EntityIdentity.h"

#include <EpDataStore.hh>

#include <string>

namespace hvc_sandbox {

// Immutable once made.
class DataServant : public POA_EpDataStore::Data {
public:
    DataServant(const EpDataStore::DataKey& key, std::string keyString);

    EpDataStore::DataKey* getDataKey() override;
    // The current form, which a session turns back into this object.
    char* getKeyString() override;

    EpEntity::Identifier_slice* identifier() override;
    CORBA::Boolean isIdentical(EpEntity::Entity_ptr other) override;
    CORBA::Boolean isEqual(EpEntity::Entity_ptr other) override;

private:
    const EpDataStore::DataKey key;
    const std::string keyString;
    const EntityIdentity identity;
};

} // namespace hvc_sandbox
