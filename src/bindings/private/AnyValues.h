// Values read from a CORBA::Any only when its type code matches the expected
// one: exactly (a value stored under an alias or another type is refused), or
// up to aliases (a platform typedef and its bare form, DosTypes::StringSeq and
// a plain sequence<string>, are both read); or as whichever string, boolean or
// number it holds.
#pragma once

#include <omniORB4/CORBA.h>

namespace hvc_util {

namespace detail {

template <class Number, class Visitor> bool visitNumber(const CORBA::Any& plain, Visitor& visit) {
    Number n = 0;
    plain >>= n;
    visit(n);
    return true;
}

} // namespace detail

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

// Calls `visit` with the value of a string, boolean or number held in `any`
// (aliases looked through): a const char* (never null), a bool, or the
// number as its own CORBA type. Returns false, without calling it, for a
// value of any other type.
template <class Visitor> bool visitScalar(const CORBA::Any& any, Visitor&& visit) {
    CORBA::TypeCode_var actual = any.type();
    CORBA::TypeCode_var type = bareType(actual.in());
    CORBA::Any plain(any);
    plain.type(type.in());
    switch (type->kind()) {
    case CORBA::tk_string: {
        const char* text = nullptr;
        plain >>= text;
        visit(text != nullptr ? text : "");
        return true;
    }
    case CORBA::tk_boolean: {
        CORBA::Boolean b = false;
        plain >>= CORBA::Any::to_boolean(b);
        visit(static_cast<bool>(b));
        return true;
    }
    case CORBA::tk_short:
        return detail::visitNumber<CORBA::Short>(plain, visit);
    case CORBA::tk_ushort:
        return detail::visitNumber<CORBA::UShort>(plain, visit);
    case CORBA::tk_long:
        return detail::visitNumber<CORBA::Long>(plain, visit);
    case CORBA::tk_ulong:
        return detail::visitNumber<CORBA::ULong>(plain, visit);
    case CORBA::tk_longlong:
        return detail::visitNumber<CORBA::LongLong>(plain, visit);
    case CORBA::tk_ulonglong:
        return detail::visitNumber<CORBA::ULongLong>(plain, visit);
    case CORBA::tk_float:
        return detail::visitNumber<CORBA::Float>(plain, visit);
    case CORBA::tk_double:
        return detail::visitNumber<CORBA::Double>(plain, visit);
    default:
        return false;
    }
}

} // namespace hvc_util
