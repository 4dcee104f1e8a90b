#include <hvc_util/NullPointerException.h>

#include <cstdlib>
#include <cstring>

namespace hvc_util {

// malloc rather than new: copying an exception while it is thrown must not
// throw in turn.
char* NullPointerException::copy(const char* text) {
    if (!text)
        return nullptr;
    std::size_t n = std::strlen(text) + 1;
    char* p = static_cast<char*>(std::malloc(n));
    if (p)
        std::memcpy(p, text, n);
    return p;
}

NullPointerException::NullPointerException(const char* text) : text(copy(text)) {}

NullPointerException::NullPointerException(const NullPointerException& other)
    : text(copy(other.text)) {}

NullPointerException& NullPointerException::operator=(const NullPointerException& other) {
    if (&other != this) {
        char* fresh = copy(other.text);
        std::free(text);
        text = fresh;
    }
    return *this;
}

NullPointerException::~NullPointerException() {
    std::free(text);
}

} // namespace hvc_util
