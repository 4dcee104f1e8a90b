#include "hvc_util/BootStrapIORs.h"

#include "bindings/Environment.h"

#include <EpTypes.hh>

#include <cerrno>
#include <fcntl.h>
#include <spawn.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace hvc_util {

namespace {

constexpr std::size_t outputLimit = 8191;
const char* const scriptSuffix = "/bin/GetIORS.sh";

[[noreturn]] void fail(const std::string& reason) {
    throw EpTypes::FailedOperationException(reason.c_str());
}

bool isNameChar(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
}

bool isLineEnd(char c) {
    return c == '\r' || c == '\n';
}

// Closes a descriptor once, whatever path leaves the function.
struct Fd {
    int fd = -1;
    ~Fd() { reset(); }
    void reset() {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
};

void reap(pid_t pid) {
    while (::waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
    }
}

} // namespace

bool BootStrapIORs::bootstrapped = false;

bool BootStrapIORs::isBootstrapped() {
    return bootstrapped;
}

void BootStrapIORs::bootstrapIORs(bool force) {
    if (bootstrapped && !force)
        return;
    char buffer[outputLimit + 1];
    getIORs(buffer);
    bootstrapped = setIORs(buffer);
}

void BootStrapIORs::getIORs(char* buffer) {
    const char* home = Environment::get("HVC_HOME");
    if (home == nullptr)
        fail("BootstrapIOR : HVC_HOME is not set");
    const std::string script = std::string(home) + scriptSuffix;
    const std::string startFailure =
        "BootstrapIOR : Error in CreateProcess, when trying to start \"" + script + "\"";

    // /bin/sh would report a missing script only as text on the pipe; say it plainly.
    struct stat st;
    if (::stat(script.c_str(), &st) != 0 || !S_ISREG(st.st_mode) ||
        ::access(script.c_str(), R_OK) != 0)
        fail(startFailure);

    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0)
        fail("BootstrapIOR : Error in CreatePipe");
    Fd readEnd{ends[0]};
    Fd writeEnd{ends[1]};

    // The child's standard output and error go to the pipe; its standard
    // input and the parent's own descriptors stay as they are.
    posix_spawn_file_actions_t actions;
    if (posix_spawn_file_actions_init(&actions) != 0)
        fail(startFailure);
    posix_spawn_file_actions_adddup2(&actions, writeEnd.fd, STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, writeEnd.fd, STDERR_FILENO);
    std::string shell = "sh";
    std::string path = script;
    char* argv[] = {&shell[0], &path[0], nullptr};
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, "/bin/sh", &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        fail(startFailure);

    // Only the child holds the write end now, so end of data means it is done.
    writeEnd.reset();
    std::size_t got = 0;
    while (got < outputLimit) {
        const ssize_t n = ::read(readEnd.fd, buffer + got, outputLimit - got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        got += static_cast<std::size_t>(n);
    }
    buffer[got] = '\0';
    // A script still writing past the limit gets end of pipe and stops.
    readEnd.reset();
    reap(pid);
}

bool BootStrapIORs::setIORs(const char* text) {
    const char* p = text;
    while (isNameChar(*p))
        ++p;
    if (*p != '=')
        fail(std::string("BootstrapIOR Error : ") + text);

    const char* line = text;
    while (*line != '\0') {
        const char* q = line;
        while (isNameChar(*q))
            ++q;
        if (*q != '=')
            fail(std::string("BootstrapIOR : Error when parsing variable: ") +
                 "Didn't encounter '=' when reading name of variable " + line);
        const char* end = q + 1;
        while (*end != '\0' && !isLineEnd(*end))
            ++end;
        const std::string entry(line, end);
        if (!Environment::put(entry.c_str()))
            fail("BootstrapIOR : Could not set the environment variable : " + entry);
        while (isLineEnd(*end))
            ++end;
        line = end;
    }
    return true;
}

} // namespace hvc_util
