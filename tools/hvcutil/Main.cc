// hvcutil: inspect and exercise a platform installation through the library.
#include "CommandTable.h"
#include "EmbeddedSandbox.h"
#include "Reporting.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

int usage(std::FILE* out) {
    std::fprintf(out, "usage: hvcutil [--sandbox] COMMAND [ARGS...]\n"
                      "  --sandbox  start the sandbox platform in this process first\n"
                      "             (an option of hvcutil: it stands before the command)\n\n"
                      "commands:\n");
    for (const hvcutil::Command& c : hvcutil::CommandTable::all())
        std::fprintf(out, "  %s %s\n      %s\n", c.name, c.usage, c.summary);
    std::fprintf(out,
                 "\nexit status: %d ok, %d failure, %d usage, %d the answer \"no\" to a "
                 "yes/no question\n",
                 hvcutil::exitOk, hvcutil::exitFailure, hvcutil::exitUsage, hvcutil::exitNo);
    return out == stdout ? hvcutil::exitOk : hvcutil::exitUsage;
}

} // namespace

int main(int argc, char** argv) {
    // hvcutil's own options stand before the command; everything after the
    // command's name is the command's, values included.
    bool sandbox = false;
    int at = 1;
    for (; at < argc && std::strncmp(argv[at], "--", 2) == 0; ++at) {
        if (std::strcmp(argv[at], "--sandbox") == 0) {
            sandbox = true;
        } else if (std::strcmp(argv[at], "--help") == 0) {
            return usage(stdout);
        } else {
            std::fprintf(stderr, "hvcutil: unknown option '%s'\n", argv[at]);
            return usage(stderr);
        }
    }
    if (at == argc)
        return usage(stderr);
    const hvcutil::Command* command = hvcutil::CommandTable::find(argv[at]);
    if (command == nullptr) {
        std::fprintf(stderr, "hvcutil: unknown command '%s'\n", argv[at]);
        return usage(stderr);
    }
    const std::vector<std::string> words(argv + at + 1, argv + argc);
    return hvcutil::reporting([&] {
        std::unique_ptr<hvcutil::EmbeddedSandbox> platform;
        if (sandbox)
            platform = std::make_unique<hvcutil::EmbeddedSandbox>();
        return command->run(words);
    });
}
