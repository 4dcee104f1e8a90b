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

} // namespace hvc_sandbox
