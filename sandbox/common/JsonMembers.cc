#include "JsonMembers.h"

#include <stdexcept>

namespace hvc_sandbox {

namespace {

[[noreturn]] void refuse(const std::string& where, const char* member, const char* what) {
    throw std::runtime_error(where + ": \"" + member + "\" must be " + what);
}

} // namespace

const nlohmann::json& JsonMembers::list(const std::string& text, const char* file,
                                        const char* member, nlohmann::json& root) {
    try {
        root = nlohmann::json::parse(text);
    } catch (const nlohmann::json::parse_error& e) {
        throw std::runtime_error(std::string(file) + ": " + e.what());
    }
    if (!root.is_object())
        refuse(file, member, "an array");
    return array(root, member, file);
}

std::string JsonMembers::text(const nlohmann::json& object, const char* member,
                              const std::string& where) {
    auto found = object.find(member);
    if (found == object.end() || !found->is_string())
        refuse(where, member, "a string");
    return found->get<std::string>();
}

double JsonMembers::number(const nlohmann::json& object, const char* member,
                           const std::string& where) {
    auto found = object.find(member);
    if (found == object.end() || !found->is_number())
        refuse(where, member, "a number");
    return found->get<double>();
}

long JsonMembers::wholeNumber(const nlohmann::json& object, const char* member,
                              const std::string& where) {
    auto found = object.find(member);
    if (found == object.end() || !found->is_number_integer())
        refuse(where, member, "a whole number");
    return found->get<long>();
}

const nlohmann::json& JsonMembers::array(const nlohmann::json& object, const char* member,
                                         const std::string& where) {
    auto found = object.find(member);
    if (found == object.end() || !found->is_array())
        refuse(where, member, "an array");
    return *found;
}

} // namespace hvc_sandbox
