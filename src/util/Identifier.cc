#include <hvc_util/Identifier.h>

#include <cctype>

namespace hvc_util {

bool Identifier::isValidIdentifier(const char* name) {
    if (!name || !std::isalnum(static_cast<unsigned char>(*name)))
        return false;
    bool afterSeparator = false;
    for (const char* p = name + 1; *p; ++p) {
        if (std::isalnum(static_cast<unsigned char>(*p))) {
            afterSeparator = false;
        } else if ((*p == '_' || *p == '-') && !afterSeparator) {
            afterSeparator = true;
        } else {
            return false;
        }
    }
    return !afterSeparator;
}

} // namespace hvc_util
