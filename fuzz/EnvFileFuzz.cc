// The environment-variable file (-envfile, Session::setEnvVars) over arbitrary
// file contents: every line holding '=' after a non-empty name sets that
// variable to the rest of the line (an empty rest removes it), every other
// line is skipped, and nothing else changes. The file is written to a
// temporary path; the environment is put back after every input.
#include <hvc_util/Session.h>

#include "FuzzCheck.h"
#include "FuzzEnvironment.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

constexpr std::size_t inputLimit = 1 << 16;

std::vector<std::pair<std::string, std::string>> expectedOf(const std::string& contents) {
    std::vector<std::pair<std::string, std::string>> entries;
    std::size_t start = 0;
    while (start < contents.size()) {
        std::size_t end = contents.find('\n', start);
        if (end == std::string::npos)
            end = contents.size();
        std::string line = contents.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (const std::size_t nul = line.find('\0'); nul != std::string::npos)
            line.resize(nul); // each line is handed on as a C string
        const std::size_t eq = line.find('=');
        if (eq == std::string::npos || eq == 0)
            continue;
        entries.emplace_back(line.substr(0, eq), line.substr(eq + 1));
    }
    return entries;
}

// One file for the whole run, removed at exit.
struct ScratchFile {
    std::string path;
    ScratchFile() {
        char name[] = "/tmp/hvc-envfile-fuzz-XXXXXX";
        const int fd = ::mkstemp(name);
        HVC_FUZZ_CHECK(fd >= 0);
        ::close(fd);
        path = name;
    }
    ~ScratchFile() { std::remove(path.c_str()); }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > inputLimit)
        return 0;
    static const hvc_fuzz::EnvironmentMap before = hvc_fuzz::environmentNow();
    const std::string contents(reinterpret_cast<const char*>(data), size);
    static const ScratchFile scratch;
    const std::string& path = scratch.path;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    HVC_FUZZ_CHECK(file != nullptr);
    HVC_FUZZ_CHECK(std::fwrite(contents.data(), 1, contents.size(), file) == contents.size());
    HVC_FUZZ_CHECK(std::fclose(file) == 0);

    const char* argv[] = {"app", "-envfile", path.c_str(), "last"};
    int kept = 0;
    char** rest = hvc_util::Session::parseCmdLineArgs(argv, 4, &kept);
    HVC_FUZZ_CHECK(kept == 2);
    HVC_FUZZ_CHECK(std::string(rest[0]) == "app" && std::string(rest[1]) == "last");
    for (int i = 0; i < kept; ++i)
        delete[] rest[i];
    delete[] rest;

    HVC_FUZZ_CHECK(hvc_fuzz::environmentNow() ==
                   hvc_fuzz::withEntries(before, expectedOf(contents)));
    hvc_fuzz::restoreEnvironment(before);
    return 0;
}
