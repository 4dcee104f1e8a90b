// Activating sandbox servants: the one way every servant enters a POA.
#pragma once

#include <omniORB4/CORBA.h>

#include <string>

namespace hvc_sandbox {

// The platform's POAs assign object ids themselves (USER_ID); under a home
// they are persistent, so an object activated under the same id in the same
// POA after a restart is the object every earlier reference names.
class Activation {
public:
    // Activates `servant` in `poa` under the object id `id`, which must stay
    // the same from one start of the platform to the next for the object's
    // references to outlive a restart (a name, or a stored key). The POA
    // takes a reference of its own to the servant; the caller keeps its
    // holder (a PortableServer::Servant_var), and once that goes the POA
    // alone owns the servant. Returns a new reference to the object, owned by
    // the caller.
    static CORBA::Object_ptr activate(PortableServer::POA_ptr poa, const std::string& id,
                                      PortableServer::ServantBase* servant);

    // As above under a fresh unique id (or one the POA assigns, in a POA
    // that assigns ids), for objects that need not outlive the process;
    // `oid`, when given, receives the id.
    static CORBA::Object_ptr activate(PortableServer::POA_ptr poa,
                                      PortableServer::ServantBase* servant,
                                      PortableServer::ObjectId_var* oid = nullptr);

    // Deactivates `servant` in `poa`, best effort: a servant that is no longer
    // active, or a POA already destroyed, is left as it is. A call in progress
    // on the object completes first.
    static void deactivate(PortableServer::POA_ptr poa, PortableServer::ServantBase* servant);

    // The object id of a name.
    static PortableServer::ObjectId* idOf(const std::string& id);
};

} // namespace hvc_sandbox
