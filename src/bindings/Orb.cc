#include "bindings/Orb.h"

#include "bindings/CallTimeout.h"
#include "bindings/Environment.h"

#include <omniORB4/Naming.hh>

namespace hvc_util {

CORBA::ORB_ptr Orb::init() {
    CORBA::ORB_var orb;
    {
        // The first initialisation reads ORB settings from the environment.
        Environment::Lock lock;
        int argc = 0;
        orb = CORBA::ORB_init(argc, nullptr);
    }
    CallTimeout::orbStarted();
    return orb._retn();
}

CORBA::Object_ptr Orb::bind(CORBA::ORB_ptr orb, const char* name) {
    CORBA::Object_var rootObj = orb->resolve_initial_references("NameService");
    CallTimeout::apply(rootObj);
    CosNaming::NamingContext_var root = CosNaming::NamingContext::_narrow(rootObj);
    if (CORBA::is_nil(root))
        throw CORBA::OBJECT_NOT_EXIST(0, CORBA::COMPLETED_NO);
    CallTimeout::apply(root);
    CosNaming::Name path;
    path.length(1);
    path[0].id = CORBA::string_dup(name);
    path[0].kind = CORBA::string_dup("");
    CORBA::Object_var found = root->resolve(path);
    CallTimeout::apply(found);
    return found._retn();
}

} // namespace hvc_util
