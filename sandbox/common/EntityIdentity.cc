#include "EntityIdentity.h"

#include "bindings/Orb.h"

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

bool EntityIdentity::isTarget(EpEntity::Entity_ptr other) {
    if (CORBA::is_nil(other))
        return false;
    try {
        CORBA::ORB_var orb = hvc_util::Orb::init();
        CORBA::Object_var obj = orb->resolve_initial_references("POACurrent");
        PortableServer::Current_var current = PortableServer::Current::_narrow(obj);
        PortableServer::POA_var poa = current->get_POA();
        PortableServer::ObjectId_var id = current->get_object_id();
        // The target's own reference, compared with the other one by what
        // both name (address and object key), which needs no remote call.
        CORBA::Object_var self = poa->id_to_reference(id.in());
        return self->_is_equivalent(other);
    } catch (const PortableServer::Current::NoContext&) {
        return false;
    }
}

} // namespace hvc_sandbox
