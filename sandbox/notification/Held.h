// A counted holder of a servant the caller already holds.
#pragma once

#include <omniORB4/CORBA.h>

namespace hvc_sandbox {

// Servant_var adopts the count it is given; this takes a count of its own.
template <class T> PortableServer::Servant_var<T> held(T& servant) {
    servant._add_ref();
    return PortableServer::Servant_var<T>(&servant);
}

} // namespace hvc_sandbox
