#include "DataFiles.h"

#include <stdexcept>

namespace hvc_sandbox {

std::string DataFiles::text(const std::string& path) {
    for (std::size_t i = 0; i < count; ++i)
        if (path == entries[i].path)
            return std::string(reinterpret_cast<const char*>(entries[i].bytes), entries[i].size);
    throw std::runtime_error("the sandbox carries no data file " + path);
}

nlohmann::json DataFiles::json(const std::string& path) {
    try {
        return nlohmann::json::parse(text(path));
    } catch (const nlohmann::json::exception& e) {
        throw std::runtime_error("data file " + path + ": " + e.what());
    }
}

} // namespace hvc_sandbox
