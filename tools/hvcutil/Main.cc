// hvcutil: inspect and exercise a platform installation through the library.
#include "CommandTable.h"
#include "EmbeddedSandbox.h"
#include "Reporting.h"

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

int usage(std::FILE* out) {
    std::fprintf(out, "usage: hvcutil [--sandbox] COMMAND [ARGS...] [--sandbox]\n"
                      "  --sandbox  start the sandbox platform in this process first\n\n"
                      "commands:\n");
    for (const hvcutil::Command& c : hvcutil::CommandTable::all())
        std::fprintf(out, "  %s %s\n      %s\n", c.name, c.usage, c.summary);
    return out == stdout ? 0 : 2;
}

} // namespace

int main(int argc, char** argv) {
    // --sandbox may stand before or after the command's name.
    std::vector<std::string> words;
    bool sandbox = false;
    for (int i = 1; i < argc; ++i) {
        if (std::string(argv[i]) == "--sandbox")
            sandbox = true;
        else
            words.push_back(argv[i]);
    }
    while (!words.empty() && words.front().compare(0, 2, "--") == 0) {
        if (words.front() == "--help")
            return usage(stdout);
        else
            return usage(stderr);
        words.erase(words.begin());
    }
    if (words.empty())
        return usage(stderr);
    const hvcutil::Command* command = hvcutil::CommandTable::find(words.front());
    if (command == nullptr) {
        std::fprintf(stderr, "hvcutil: unknown command '%s'\n", words.front().c_str());
        return usage(stderr);
    }
    words.erase(words.begin());
    return hvcutil::reporting([&] {
        std::unique_ptr<hvcutil::EmbeddedSandbox> platform;
        if (sandbox)
            platform = std::make_unique<hvcutil::EmbeddedSandbox>();
        return command->run(words);
    });
}
