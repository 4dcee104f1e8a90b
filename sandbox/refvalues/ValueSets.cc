#include "ValueSets.h"

#include "sandbox/common/JsonMembers.h"

#include <nlohmann/json.hpp>

#include <set>
#include <stdexcept>
#include <utility>

namespace hvc_sandbox {

// The bytes of refvalues.json, built in by the build.
extern const unsigned char refvaluesJson[];
extern const std::size_t refvaluesJsonSize;

namespace {

std::string name(const nlohmann::json& object, const char* member, const std::string& where) {
    std::string value = JsonMembers::text(object, member, where);
    if (value.empty())
        throw std::runtime_error(where + ": \"" + member + "\" must not be empty");
    return value;
}

} // namespace

std::vector<ValueSets::Set> ValueSets::parse(const std::string& source) {
    nlohmann::json root;
    const nlohmann::json& setsList = JsonMembers::list(source, "reference values", "sets", root);

    std::vector<Set> sets;
    std::set<std::pair<std::string, std::string>> named;
    for (const nlohmann::json& s : setsList) {
        const std::string where = "reference value set " + std::to_string(sets.size() + 1);
        if (!s.is_object())
            throw std::runtime_error(where + " must be an object");
        Set set;
        set.source = name(s, "source", where);
        set.name = name(s, "name", where);
        const std::string called = "reference value set " + set.source + "/" + set.name;
        if (!named.insert({set.source, set.name}).second)
            throw std::runtime_error(called + " is named twice");
        std::set<std::string> seen;
        for (const nlohmann::json& v : JsonMembers::array(s, "values", called)) {
            const std::string at = called + ", value " + std::to_string(set.values.size() + 1);
            if (!v.is_object())
                throw std::runtime_error(at + " must be an object");
            Value value{JsonMembers::text(v, "value", at), JsonMembers::text(v, "description", at)};
            if (!seen.insert(value.value).second)
                throw std::runtime_error(at + ": \"" + value.value + "\" is listed twice");
            set.values.push_back(std::move(value));
        }
        sets.push_back(std::move(set));
    }
    return sets;
}

std::vector<ValueSets::Set> ValueSets::builtIn() {
    return parse(std::string(reinterpret_cast<const char*>(refvaluesJson), refvaluesJsonSize));
}

} // namespace hvc_sandbox
