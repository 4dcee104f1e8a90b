#include "Activation.h"

namespace hvc_sandbox {

CORBA::Object_ptr Activation::activate(PortableServer::POA_ptr poa,
                                       PortableServer::ServantBase* servant,
                                       PortableServer::ObjectId_var* oid) {
    PortableServer::ObjectId_var id = poa->activate_object(servant);
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
