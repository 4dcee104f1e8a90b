#include "CommandTable.h"

#include <algorithm>
#include <cstring>

namespace hvcutil {

namespace {

// Built on first use, so registrations from any file's static objects work.
std::vector<Command>& table() {
    static std::vector<Command> commands;
    return commands;
}

} // namespace

void CommandTable::add(const Command& command) {
    auto& commands = table();
    auto at = std::find_if(commands.begin(), commands.end(),
                           [&](const Command& c) { return std::strcmp(c.name, command.name) > 0; });
    commands.insert(at, command);
}

const Command* CommandTable::find(const std::string& name) {
    for (const Command& c : table())
        if (name == c.name)
            return &c;
    return nullptr;
}

const std::vector<Command>& CommandTable::all() {
    return table();
}

} // namespace hvcutil
