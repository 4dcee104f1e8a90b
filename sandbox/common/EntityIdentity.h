// The lasting identity of a sandbox entity: sixteen bytes of a fresh UUID for
// its identifier, and identity questions answered by the POA that serves it.
#pragma once

#include <EpEntity.hh>

#include <string>

namespace hvc_sandbox {

// Immutable once made; safe to read from any thread.
class EntityIdentity {
public:
    // A fresh identity.
    EntityIdentity();
    // A kept one: its sixteen bytes (missing ones are zero).
    explicit EntityIdentity(const std::string& bytes);

    // Its sixteen bytes, to be kept.
    std::string bytes() const;
    // Its text form (the UUID's).
    std::string text() const;

    // A new copy of the identifier, owned by the caller (the identifier
    // attribute's result).
    EpEntity::Identifier_slice* copy() const;

    // Whether `other` names the object the current invocation is made on:
    // the POA's reference of the target and `other` name the same address
    // and object key. Nothing calls `other` (which may be a client's object,
    // dead or slow, or one that claims any identifier). False for nil and
    // outside an invocation.
    static bool isTarget(EpEntity::Entity_ptr other);

private:
    CORBA::Octet id[16];
};

// The Entity operations of a servant whose skeleton is `Skeleton` (derived
// from POA_EpEntity::Entity): identical and equal mean the same object.
template <class Skeleton> class IdentifiedEntity : public virtual Skeleton {
public:
    IdentifiedEntity() = default;
    explicit IdentifiedEntity(const EntityIdentity& kept) : identity(kept) {}

    EpEntity::Identifier_slice* identifier() override { return identity.copy(); }
    CORBA::Boolean isIdentical(EpEntity::Entity_ptr other) override {
        return EntityIdentity::isTarget(other);
    }
    CORBA::Boolean isEqual(EpEntity::Entity_ptr other) override { return isIdentical(other); }

protected:
    const EntityIdentity& entityIdentity() const { return identity; }

private:
    const EntityIdentity identity;
};

} // namespace hvc_sandbox
