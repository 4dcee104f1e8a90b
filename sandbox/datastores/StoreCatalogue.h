// The data stores' content as the sandbox's data file gives it (format in
// README.md beside this file).
#pragma once

#include <nlohmann/json.hpp>

#include <string>
#include <vector>

namespace hvc_sandbox {

class StoreCatalogue {
public:
    struct Object {
        std::string projectName;
        std::string localKey;
        std::string dataType;
        // The whole entry, for the members a data type reads.
        nlohmann::json entry;
    };
    struct Store {
        std::string name;
        std::string factoryType;
        std::vector<Object> objects;
    };

    // The stores of the data file's text, in file order. Raises
    // std::runtime_error naming what is wrong: text that is not JSON, a
    // missing or mistyped member, a name a key cannot carry, two objects of
    // one project with the same local key, two stores of one name.
    static std::vector<Store> parse(const std::string& text);

    // The stores of the data file built into the sandbox.
    static std::vector<Store> builtIn();
};

} // namespace hvc_sandbox
