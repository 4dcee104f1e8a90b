#include <hvc_util/NVP.h>

#include <hvc_util/String.h>

#include <cstring>

namespace hvc_util {

NVP::NVP(const char* name, const CORBA::Any& value)
    : name(name ? CORBA::string_dup(name) : nullptr), value(value) {}

bool NVP::operator==(const char* key) const {
    return name.in() != nullptr && key != nullptr && std::strcmp(name.in(), key) == 0;
}

// An unset key stands for no name and matches nothing.
bool NVP::operator==(const String& key) const {
    return key != static_cast<const char*>(nullptr) && *this == key.getValue();
}

} // namespace hvc_util
