// A caller's text that may be null, read as the empty text.
#pragma once

namespace hvc_util {

inline const char* orEmpty(const char* text) {
    return text != nullptr ? text : "";
}

} // namespace hvc_util
