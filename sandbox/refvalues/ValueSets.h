// The reference value sets as the sandbox's data file gives them (format in
// README.md beside this file).
#pragma once

#include <string>
#include <vector>

namespace hvc_sandbox {

class ValueSets {
public:
    struct Value {
        std::string value;
        std::string description;
    };
    struct Set {
        std::string source;
        std::string name;
        std::vector<Value> values;
    };

    // The sets of the data file's text, in file order. Raises
    // std::runtime_error naming what is wrong: text that is not JSON, a
    // missing or mistyped member, an empty source or name, a set named
    // twice, a value listed twice in its set.
    static std::vector<Set> parse(const std::string& text);

    // The sets of the data file built into the sandbox.
    static std::vector<Set> builtIn();
};

} // namespace hvc_sandbox
