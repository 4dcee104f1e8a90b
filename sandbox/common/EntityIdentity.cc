#include "EntityIdentity.h"

#include <hvc_util/String.h>
#include <hvc_util/UUID.h>

#include <algorithm>
#include <cstring>

namespace hvc_sandbox {

EntityIdentity::EntityIdentity() {
    hvc_util::UUID fresh(true);
    fresh >> id;
}

EntityIdentity::EntityIdentity(const std::string& bytes) {
    std::memset(id, 0, sizeof id);
    std::memcpy(id, bytes.data(), std::min(bytes.size(), sizeof id));
}

std::string EntityIdentity::bytes() const {
    return std::string(reinterpret_cast<const char*>(id), sizeof id);
}

std::string EntityIdentity::text() const {
    hvc_util::String out;
    hvc_util::UUID(id).getString(out);
    return out.getValue();
}

EpEntity::Identifier_slice* EntityIdentity::copy() const {
    EpEntity::Identifier_slice* out = EpEntity::Identifier_alloc();
    for (int i = 0; i < 16; ++i)
        out[i] = id[i];
    return out;
}

bool EntityIdentity::isIdentityOf(EpEntity::Entity_ptr other) const {
    if (CORBA::is_nil(other))
        return false;
    EpEntity::Identifier_var theirs = other->identifier();
    for (int i = 0; i < 16; ++i)
        if (theirs[i] != id[i])
            return false;
    return true;
}

} // namespace hvc_sandbox
