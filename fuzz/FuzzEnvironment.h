// For fuzz targets that write the process environment: a snapshot of it, and
// putting it back between inputs so that one input never sees another's
// variables.
#pragma once

#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <unistd.h> // environ
#include <vector>

namespace hvc_fuzz {

using EnvironmentMap = std::map<std::string, std::string>;

inline EnvironmentMap environmentNow() {
    EnvironmentMap now;
    for (char** entry = environ; entry != nullptr && *entry != nullptr; ++entry) {
        const char* eq = std::strchr(*entry, '=');
        if (eq != nullptr)
            now.emplace(std::string(*entry, static_cast<std::size_t>(eq - *entry)),
                        std::string(eq + 1));
    }
    return now;
}

// Removes the variables added since `saved` and gives back changed or removed ones.
inline void restoreEnvironment(const EnvironmentMap& saved) {
    for (const auto& [name, value] : environmentNow()) {
        auto was = saved.find(name);
        if (was == saved.end())
            ::unsetenv(name.c_str());
        else if (was->second != value)
            ::setenv(name.c_str(), was->second.c_str(), 1);
    }
    for (const auto& [name, value] : saved)
        if (std::getenv(name.c_str()) == nullptr)
            ::setenv(name.c_str(), value.c_str(), 1);
}

// `entries` applied to `base` the way the library's environment writes do:
// an empty value removes the variable.
inline EnvironmentMap withEntries(EnvironmentMap base,
                                  const std::vector<std::pair<std::string, std::string>>& entries) {
    for (const auto& [name, value] : entries) {
        if (value.empty())
            base.erase(name);
        else
            base[name] = value;
    }
    return base;
}

} // namespace hvc_fuzz
