// The subcommands of hvcutil. Each lives in its own source file and adds
// itself to the table with a static CommandRegistration.
#pragma once

#include <string>
#include <vector>

namespace hvcutil {

struct Command {
    const char* name;    // first word on the command line: "doctor"
    const char* usage;   // arguments after the name: "[--verbose]"
    const char* summary; // one line for the help text
    // Runs with the words after the name; returns the exit status.
    int (*run)(const std::vector<std::string>& args);
};

class CommandTable {
public:
    static void add(const Command& command);
    // Null for an unknown name.
    static const Command* find(const std::string& name);
    static const std::vector<Command>& all();
};

struct CommandRegistration {
    explicit CommandRegistration(const Command& command) { CommandTable::add(command); }
};

} // namespace hvcutil
