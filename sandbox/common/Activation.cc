#include "Activation.h"

#include <hvc_util/String.h>
#include <hvc_util/UUID.h>

namespace hvc_sandbox {

PortableServer::ObjectId* Activation::idOf(const std::string& id) {
    return PortableServer::string_to_ObjectId(id.c_str());
}

CORBA::Object_ptr Activation::activate(PortableServer::POA_ptr poa, const std::string& id,
                                       PortableServer::ServantBase* servant) {
    PortableServer::ObjectId_var oid = idOf(id);
    poa->activate_object_with_id(oid.in(), servant);
    return poa->id_to_reference(oid.in());
}

CORBA::Object_ptr Activation::activate(PortableServer::POA_ptr poa,
                                       PortableServer::ServantBase* servant,
                                       PortableServer::ObjectId_var* oid) {
    PortableServer::ObjectId_var id;
    try {
        id = poa->activate_object(servant);
    } catch (const PortableServer::POA::WrongPolicy&) {
        // The platform's POAs take ids from their rooms: a fresh one.
        hvc_util::String text;
        hvc_util::UUID(true).getString(text);
        id = idOf(std::string("transient:") + text.getValue());
        poa->activate_object_with_id(id.in(), servant);
    }
    CORBA::Object_ptr ref = poa->id_to_reference(id.in());
    if (oid != nullptr)
        *oid = id._retn();
    return ref;
}

void Activation::deactivate(PortableServer::POA_ptr poa, PortableServer::ServantBase* servant) {
    try {
        PortableServer::ObjectId_var id = poa->servant_to_id(servant);
        poa->deactivate_object(id.in());
    } catch (const CORBA::Exception&) {
    }
}

} // namespace hvc_sandbox
