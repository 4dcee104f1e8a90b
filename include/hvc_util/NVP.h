// One named CORBA value, the element of a name-value set.
#pragma once

#include <hvc_util/Export.h>

#include <omniORB4/CORBA.h>

namespace hvc_util {

class String;

// A name (a CORBA string) and a value. The pair owns both: copies get their
// own name text and value, and the destructor releases them. Not
// thread-safe; one pair is used by one thread at a time. Nothing here raises
// except what the ORB's string and Any copies raise (CORBA::NO_MEMORY).
class HVC_UTIL_API NVP {
public:
    // No name yet (null) and an empty value.
    NVP() = default;
    // A copy of `name` (null stays null) and of `value`.
    NVP(const char* name, const CORBA::Any& value);
    NVP(const NVP& other) = default;
    NVP& operator=(const NVP& other) = default;
    ~NVP() = default;

    // True when the name equals `key`'s text byte for byte; a pair without a
    // name matches nothing.
    bool operator==(const String& key) const;
    bool operator==(const char* key) const;

    CORBA::String_var name;
    CORBA::Any value;
};

} // namespace hvc_util
