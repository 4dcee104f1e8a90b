#include "DataServant.h"

namespace hvc_sandbox {

DataServant::DataServant(const EpDataStore::DataKey& dataKey, std::string text)
    : key(dataKey), keyString(std::move(text)) {}

EpDataStore::DataKey* DataServant::getDataKey() {
    return new EpDataStore::DataKey(key);
}

char* DataServant::getKeyString() {
    return CORBA::string_dup(keyString.c_str());
}

EpEntity::Identifier_slice* DataServant::identifier() {
    return identity.copy();
}

CORBA::Boolean DataServant::isIdentical(EpEntity::Entity_ptr other) {
    return identity.isIdentityOf(other);
}

CORBA::Boolean DataServant::isEqual(EpEntity::Entity_ptr other) {
    return isIdentical(other);
}

} // namespace hvc_sandbox
