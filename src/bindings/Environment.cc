#include "bindings/Environment.h"

#include "bindings/Diagnostics.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <pwd.h>
#include <unistd.h>

extern char** environ;

namespace hvc_util {

namespace {

std::recursive_mutex& environmentLock() {
    static std::recursive_mutex lock;
    return lock;
}

// The password database's name of the process user.
std::optional<std::string> accountName() {
    long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::string buffer(size > 0 ? static_cast<std::size_t>(size) : 4096, '\0');
    passwd entry{};
    passwd* found = nullptr;
    while (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == ERANGE)
        buffer.resize(buffer.size() * 2);
    if (found == nullptr || found->pw_name == nullptr)
        return std::nullopt;
    return std::string(found->pw_name);
}

} // namespace

Environment::Lock::Lock() : hold(environmentLock()) {}

std::optional<std::string> Environment::get(const char* name) {
    Lock lock;
    const char* value = std::getenv(name);
    if (value == nullptr)
        return std::nullopt;
    return std::string(value);
}

bool Environment::set(const char* name, const char* value) {
    if (name == nullptr || *name == '\0' || std::strchr(name, '=') != nullptr)
        return false;
    Lock lock;
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

std::vector<std::string> Environment::entries() {
    Lock lock;
    std::vector<std::string> all;
    for (char** e = environ; e != nullptr && *e != nullptr; ++e)
        all.emplace_back(*e);
    return all;
}

std::optional<std::string> Environment::userName() {
    for (const char* name : {"USERNAME", "LOGNAME", "USER"}) {
        std::optional<std::string> value = get(name);
        if (value && !value->empty())
            return value;
    }
    // Services and cron jobs may run without a login environment.
    return accountName();
}

long Environment::milliseconds(const char* name, long fallback) {
    const std::optional<std::string> value = get(name);
    if (!value)
        return fallback;
    errno = 0;
    char* end = nullptr;
    const long number = std::strtol(value->c_str(), &end, 10);
    if (errno == 0 && end != value->c_str() && *end == '\0' && number > 0)
        return number;
    Diagnostics::print("%s is not a positive number of milliseconds (\"%s\"); %ld ms applies\n",
                       name, value->c_str(), fallback);
    return fallback;
}

} // namespace hvc_util
