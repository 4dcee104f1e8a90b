// The standard command-line options and environment-variable files.
#include "hvc_util/Session.h"

#include "bindings/Diagnostics.h"
#include "bindings/Environment.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

namespace hvc_util {

namespace {

const char* const parseContext = "In hvc_util::Session::parseCmdLineArgs()...\n";

struct Option {
    const char* name;
    const char* assignment; // "variable=" the value is appended to
    const char* failure;
};
const Option sessionOption = {
    "-session", "halvercast.sessionName=", "Could not set env halvercast.sessionName\n"};
const Option projectSetOption = {
    "-projectSet", "halvercast.projectSetName=", "Could not set env halvercast.projectName\n"};
const char* const envFileOption = "-envfile";

const char* const cannotOpen = "Can't open environment variable file '%s' for reading.\n";
const char* const cannotRead = "Error reading environment variable file '%s'\n";

void assign(const Option& option, const char* value) {
    std::string entry = std::string(option.assignment) + value;
    if (!Environment::put(entry.c_str())) {
        Diagnostics::print("%s", parseContext);
        Diagnostics::print("%s", option.failure);
    }
}

char* copyOf(const char* text) {
    if (text == nullptr)
        return nullptr;
    const size_t size = std::strlen(text) + 1;
    char* copy = new char[size];
    std::memcpy(copy, text, size);
    return copy;
}

// Reads one whole line, however long, without its line end ("\n" or "\r\n").
// False at the end of the file or on a read error.
bool readLine(std::FILE* file, std::string& line) {
    line.clear();
    int c;
    while ((c = std::fgetc(file)) != EOF) {
        if (c == '\n')
            break;
        line += static_cast<char>(c);
    }
    if (c == EOF && line.empty())
        return false;
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return true;
}

} // namespace

char** Session::parseCmdLineArgs(const char** argv, int argc, int* newArgc) {
    if (argv == nullptr || argc < 0)
        argc = 0;
    char** rest = new char*[static_cast<size_t>(argc)];
    int kept = 0;
    for (int i = 0; i < argc; ++i) {
        const char* arg = argv[i];
        const bool hasValue = arg != nullptr && i + 1 < argc && argv[i + 1] != nullptr;
        if (hasValue && std::strcmp(arg, sessionOption.name) == 0) {
            assign(sessionOption, argv[++i]);
        } else if (hasValue && std::strcmp(arg, projectSetOption.name) == 0) {
            assign(projectSetOption, argv[++i]);
        } else if (hasValue && std::strcmp(arg, envFileOption) == 0) {
            setEnvVars(argv[++i]);
        } else {
            rest[kept++] = copyOf(arg);
        }
    }
    if (newArgc != nullptr)
        *newArgc = kept;
    return rest;
}

void Session::setEnvVars(const char* path) {
    std::FILE* file = path != nullptr ? std::fopen(path, "r") : nullptr;
    if (file == nullptr) {
        Diagnostics::print(cannotOpen, path != nullptr ? path : "");
        return;
    }
    std::string line;
    while (readLine(file, line))
        Environment::put(line.c_str()); // a line that is no entry is skipped
    if (std::ferror(file))
        Diagnostics::print(cannotRead, path);
    std::fclose(file);
}

} // namespace hvc_util
