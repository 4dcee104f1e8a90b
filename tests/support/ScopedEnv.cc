#include "support/ScopedEnv.h"

#include <cstdlib>

namespace hvc_test {

ScopedEnv::~ScopedEnv() {
    for (auto it = saved.rbegin(); it != saved.rend(); ++it) {
        if (it->second.second)
            ::setenv(it->first.c_str(), it->second.first.c_str(), 1);
        else
            ::unsetenv(it->first.c_str());
    }
}

void ScopedEnv::remember(const std::string& name) {
    const char* value = std::getenv(name.c_str());
    saved.push_back({name, {value != nullptr ? value : "", value != nullptr}});
}

void ScopedEnv::set(const std::string& name, const std::string& value) {
    remember(name);
    ::setenv(name.c_str(), value.c_str(), 1);
}

void ScopedEnv::unset(const std::string& name) {
    remember(name);
    ::unsetenv(name.c_str());
}

} // namespace hvc_test
