// Members of the sandbox's data files (nlohmann-json objects), read with the
// one error form every room reports: "<where>: "<member>" must be ...".
#pragma once

#include <nlohmann/json.hpp>

#include <string>

namespace hvc_sandbox {

class JsonMembers {
public:
    // The list `member` of the data file whose text is `text`: the file
    // must be a JSON object holding that array. Raises std::runtime_error
    // beginning with `file` and a colon otherwise. The list lives in `root`.
    static const nlohmann::json& list(const std::string& text, const char* file, const char* member,
                                      nlohmann::json& root);

    // Each returns the member of `object`, or raises std::runtime_error
    // naming `where` and the member when it is missing or of another type.
    static std::string text(const nlohmann::json& object, const char* member,
                            const std::string& where);
    static double number(const nlohmann::json& object, const char* member,
                         const std::string& where);
    static long wholeNumber(const nlohmann::json& object, const char* member,
                            const std::string& where);
    static const nlohmann::json& array(const nlohmann::json& object, const char* member,
                                       const std::string& where);
};

} // namespace hvc_sandbox
