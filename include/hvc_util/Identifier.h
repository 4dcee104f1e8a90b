// The form of names that users give.
#pragma once

#include <hvc_util/Export.h>

namespace hvc_util {

// A static check; holds nothing and raises nothing.
class HVC_UTIL_API Identifier {
public:
    // True when `name` is runs of letters and digits (isalnum, current
    // locale; a leading digit is fine) joined by single "_" or "-"
    // separators: 'a', '9lives', 'well_a-1'. Null, empty, a separator at
    // either end, two separators in a row or any other character: false.
    static bool isValidIdentifier(const char* name);
};

} // namespace hvc_util
