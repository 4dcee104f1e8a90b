// The process ORB's root POA, its manager active, for tests that serve
// objects of their own in the test process.
#pragma once

#include "bindings/Orb.h"

#include <omniORB4/CORBA.h>

namespace hvc_test {

// A new reference owned by the caller.
inline PortableServer::POA_ptr activeRootPoa() {
    CORBA::ORB_var orb = hvc_util::Orb::init();
    CORBA::Object_var obj = orb->resolve_initial_references("RootPOA");
    PortableServer::POA_var poa = PortableServer::POA::_narrow(obj);
    PortableServer::POAManager_var manager = poa->the_POAManager();
    manager->activate();
    return poa._retn();
}

} // namespace hvc_test
