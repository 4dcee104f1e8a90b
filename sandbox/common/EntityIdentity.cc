#include "EntityIdentity.h"

#include "bindings/Orb.h"

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
