// Values read from a CORBA::Any whose type code is equivalent to the
// expected one, so that a platform typedef and its bare form (DosTypes::
// StringSeq and a plain sequence<string>) are both read, and anything else
// is refused.
#pragma once

#include <omniORB4/CORBA.h>

namespace hvc_util {

// On success `out` points into `any`, which keeps owning the value.
template <class T>
bool decodeAs(const CORBA::Any& any, CORBA::TypeCode_ptr expected, const T*& out) {
    CORBA::TypeCode_var actual = any.type();
    return actual->equivalent(expected) && (any >>= out);
}

// The type with every alias around it removed (a new reference).
inline CORBA::TypeCode_ptr bareType(CORBA::TypeCode_ptr type) {
    CORBA::TypeCode_var bare = CORBA::TypeCode::_duplicate(type);
    while (bare->kind() == CORBA::tk_alias)
        bare = bare->content_type();
    return bare._retn();
}

} // namespace hvc_util
