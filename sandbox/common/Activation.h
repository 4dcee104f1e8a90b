// Activating sandbox servants: the one way every servant enters a POA.
#pragma once

#include <omniORB4/CORBA.h>

namespace hvc_sandbox {

class Activation {
public:
    // Activates `servant` in `poa`, which takes a reference of its own; the
    // caller keeps its holder (a PortableServer::Servant_var), and once that
    // goes the POA alone owns the servant. Returns a new reference to the
    // object, owned by the caller; `oid`, when given, receives the object's id.
    static CORBA::Object_ptr activate(PortableServer::POA_ptr poa,
                                      PortableServer::ServantBase* servant,
                                      PortableServer::ObjectId_var* oid = nullptr);

    // Deactivates `servant` in `poa`, best effort: a servant that is no longer
    // active, or a POA already destroyed, is left as it is. A call in progress
    // on the object completes first.
    static void deactivate(PortableServer::POA_ptr poa, PortableServer::ServantBase* servant);
};

} // namespace hvc_sandbox
