// The one process ORB and the naming-service bind that stands in for `_bind`.
#pragma once

#include <omniORB4/CORBA.h>

namespace hvc_util {

class Orb {
public:
    // Initialises (first call) or returns the process ORB, with an argument
    // count of 0 so that only the standard omniORB configuration (environment
    // variables, configuration file) applies. The caller owns the returned
    // reference. Raises what CORBA::ORB_init raises. Thread-safe: the first
    // initialisation happens once, under the environment lock.
    static CORBA::ORB_ptr init();

    // Resolves the one-component name `name` (kind empty) in the root context
    // of the ORB's naming service. Returns a new reference owned by the caller,
    // carrying the call timeout (CallTimeout), as the naming context does.
    // No naming service configured, nothing bound under the name, or an
    // unreachable naming service all raise a CORBA exception.
    static CORBA::Object_ptr bind(CORBA::ORB_ptr orb, const char* name);

    // bind() narrowed to T: nil when the object bound is of another type.
    template <class T> static typename T::_ptr_type bindAs(CORBA::ORB_ptr orb, const char* name) {
        CORBA::Object_var obj = bind(orb, name);
        return T::_narrow(obj);
    }
};

} // namespace hvc_util
