// Environment variables set or removed for the life of one object.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace hvc_test {

class ScopedEnv {
public:
    ScopedEnv() = default;
    ScopedEnv(const std::string& name, const std::string& value) { set(name, value); }
    ~ScopedEnv();
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

    void set(const std::string& name, const std::string& value);
    void unset(const std::string& name);

private:
    void remember(const std::string& name);
    // Name, former value, whether it was set.
    std::vector<std::pair<std::string, std::pair<std::string, bool>>> saved;
};

} // namespace hvc_test
