// Values read from a CORBA::Any only when the Any's type code equals the
// expected one, so a value stored under an alias or another type is refused.
#pragma once

#include <omniORB4/CORBA.h>

namespace hvc_util {

// On success `out` points into `any`, which keeps owning the value.
template <class T>
bool extractExact(const CORBA::Any& any, CORBA::TypeCode_ptr expected, const T*& out) {
    CORBA::TypeCode_var actual = any.type();
    return actual->equal(expected) && (any >>= out);
}

} // namespace hvc_util
