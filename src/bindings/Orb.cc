#include "bindings/Orb.h"

#include <omniORB4/Naming.hh>

namespace hvc_util {

CORBA::ORB_ptr Orb::init() {
    int argc = 0;
    return CORBA::ORB_init(argc, nullptr);
}

CORBA::Object_ptr Orb::bind(CORBA::ORB_ptr orb, const char* name) {
    CORBA::Object_var rootObj = orb->resolve_initial_references("NameService");
    CosNaming::NamingContext_var root = CosNaming::NamingContext::_narrow(rootObj);
    if (CORBA::is_nil(root))
        throw CORBA::OBJECT_NOT_EXIST(0, CORBA::COMPLETED_NO);
    CosNaming::Name path;
    path.length(1);
    path[0].id = CORBA::string_dup(name);
    path[0].kind = CORBA::string_dup("");
    return root->resolve(path);
}

} // namespace hvc_util
