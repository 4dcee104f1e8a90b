// Owner of a text the internal module allocated: released with the module's
// own free function when the owner goes.
#pragma once

#include "bindings/internal/hvc_internal.h"

#include <memory>

namespace hvc_util {

struct InternalTextRelease {
    void operator()(char* text) const { hvc_util_internal_free_string(text); }
};
using InternalString = std::unique_ptr<char, InternalTextRelease>;

} // namespace hvc_util
