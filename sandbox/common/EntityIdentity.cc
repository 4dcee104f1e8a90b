#include "EntityIdentity.h"

#include <hvc_util/UUID.h>

namespace hvc_sandbox {

EntityIdentity::EntityIdentity() {
    hvc_util::UUID fresh(true);
    fresh >> id;
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
