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

} // namespace hvc_sandbox
