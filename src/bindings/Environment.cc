#include "bindings/Environment.h"

#include <cstdlib>
#include <cstring>
#include <pwd.h>
#include <string>
#include <unistd.h>

namespace hvc_util {

const char* Environment::get(const char* name) {
    return std::getenv(name);
}

bool Environment::set(const char* name, const char* value) {
    if (name == nullptr || *name == '\0' || std::strchr(name, '=') != nullptr)
        return false;
    if (value == nullptr || *value == '\0')
        return ::unsetenv(name) == 0;
    return ::setenv(name, value, 1) == 0;
}

bool Environment::put(const char* entry) {
    const char* eq = entry ? std::strchr(entry, '=') : nullptr;
    if (eq == nullptr || eq == entry)
        return false;
    std::string name(entry, eq);
    return set(name.c_str(), eq + 1);
}

const char* Environment::userName() {
    for (const char* name : {"USERNAME", "LOGNAME", "USER"}) {
        const char* value = get(name);
        if (value != nullptr && *value != '\0')
            return value;
    }
    // Services and cron jobs may run without a login environment.
    const passwd* entry = ::getpwuid(::getuid());
    return entry != nullptr ? entry->pw_name : nullptr;
}

} // namespace hvc_util
