// Values read from a CORBA::Any only when its type code matches the expected
// one: exactly (a value stored under an alias or another type is refused), or
// up to aliases (a platform typedef and its bare form, DosTypes::StringSeq and
// a plain sequence<string>, are both read).
#pragma once

#include <omniORB4/CORBA.h>

namespace hvc_util {

// On success `out` points into `any`, which keeps owning the value.
template <class T>
bool extractExact(const CORBA::Any& any, CORBA::TypeCode_ptr expected, const T*& out) {
    CORBA::TypeCode_var actual = any.type();
    return actual->equal(expected) && (any >>= out);
}

// As extractExact, accepting any type code equivalent to `expected`.
template <class T>
bool extractEquivalent(const CORBA::Any& any, CORBA::TypeCode_ptr expected, const T*& out) {
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
