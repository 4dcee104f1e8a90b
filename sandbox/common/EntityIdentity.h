// The lasting identity of a sandbox entity: sixteen bytes of a fresh UUID.
#pragma once

#include <EpEntity.hh>

namespace hvc_sandbox {

// Immutable once made; safe to read from any thread.
class EntityIdentity {
public:
    EntityIdentity();

    // A new copy of the identifier, owned by the caller (the identifier
    // attribute's result).
    EpEntity::Identifier_slice* copy() const;
    // Whether `other` carries this identity (false for nil).
    bool isIdentityOf(EpEntity::Entity_ptr other) const;

private:
    CORBA::Octet id[16];
};

} // namespace hvc_sandbox
