// The process ORB's root POA, its manager active, for tests that serve
// objects of their own in the test process.
#pragma once

#include "bindings/Orb.h"

#include <omniORB4/CORBA.h>

#include <atomic>
#include <string>

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

// A new child of the active root POA that takes object ids from its
// servants' owners, as the sandbox platform's POAs do, for sandbox servants
// served without a platform; each call makes another, so the same ids can be
// served again. A new reference owned by the caller, who destroys the POA.
inline PortableServer::POA_ptr activeUserIdPoa() {
    static std::atomic<int> made{0};
    PortableServer::POA_var root = activeRootPoa();
    PortableServer::POAManager_var manager = root->the_POAManager();
    CORBA::PolicyList policies;
    policies.length(1);
    policies[0] = root->create_id_assignment_policy(PortableServer::USER_ID);
    const std::string name = "user ids " + std::to_string(made++);
    PortableServer::POA_var poa = root->create_POA(name.c_str(), manager.in(), policies);
    policies[0]->destroy();
    return poa._retn();
}

} // namespace hvc_test
