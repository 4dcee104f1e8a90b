// The library's own exception for a missing required reference.
#pragma once

#include <hvc_util/Export.h>

namespace hvc_util {

// Thrown by value and caught by reference. It owns a copy of its message
// text (or holds none), released when it is destroyed. Nothing here raises;
// a text that cannot be copied leaves no description.
class HVC_UTIL_API NullPointerException {
public:
    // Copies `text`; null gives no description.
    explicit NullPointerException(const char* text);
    NullPointerException(const NullPointerException& other);
    NullPointerException& operator=(const NullPointerException& other);
    ~NullPointerException();

    // The message, owned by the exception; null when none was given.
    const char* description() const { return text; }

private:
    static char* copy(const char* text);

    char* text;
};

} // namespace hvc_util
