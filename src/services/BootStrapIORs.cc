#include "hvc_util/BootStrapIORs.h"

#include "bindings/Environment.h"

#include <EpTypes.hh>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <mutex>
#include <optional>
#include <poll.h>
#include <spawn.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

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

// The script's process, leader of a process group of its own: reaped once,
// and killed with its whole group when it is given up on.
class Script {
public:
    explicit Script(pid_t pid) : pid(pid) {}
    ~Script() {
        if (!reaped)
            killGroup();
    }
    Script(const Script&) = delete;
    Script& operator=(const Script&) = delete;

    // Whether the script has ended (it is then reaped); does not wait.
    bool ended() {
        while (!reaped) {
            const pid_t r = ::waitpid(pid, nullptr, WNOHANG);
            if (r == 0)
                return false;
            if (r < 0 && errno == EINTR)
                continue;
            // Ended, or reaped already by a process that ignores SIGCHLD.
            reaped = true;
        }
        return true;
    }

    // Kills the script and everything in its process group, and reaps it.
    void killGroup() {
        ::kill(-pid, SIGKILL);
        while (!reaped) {
            if (::waitpid(pid, nullptr, 0) < 0 && errno == EINTR)
                continue;
            reaped = true;
        }
    }

private:
    pid_t pid;
    bool reaped = false;
};

// Between checks of whether the script has ended while its output is silent.
constexpr int pollSliceMilliseconds = 10;

using Clock = std::chrono::steady_clock;

int millisecondsUntil(Clock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(std::min<long long>(left, pollSliceMilliseconds)) : 0;
}

// Runs of the script, one at a time.
std::mutex& scriptRuns() {
    static std::mutex runs;
    return runs;
}

} // namespace

std::atomic<bool> BootStrapIORs::bootstrapped{false};

bool BootStrapIORs::isBootstrapped() {
    return bootstrapped.load(std::memory_order_acquire);
}

void BootStrapIORs::bootstrapIORs(bool force) {
    if (!force && isBootstrapped())
        return;
    std::lock_guard<std::mutex> hold(scriptRuns());
    // Another thread's run may have succeeded while this one waited.
    if (!force && isBootstrapped())
        return;
    char buffer[outputLimit + 1];
    getIORs(buffer);
    if (setIORs(buffer))
        bootstrapped.store(true, std::memory_order_release);
}

void BootStrapIORs::getIORs(char* buffer) {
    const std::optional<std::string> home = Environment::get("HVC_HOME");
    if (!home)
        fail("BootstrapIOR : HVC_HOME is not set");
    const std::string script = *home + scriptSuffix;
    const std::string startFailure =
        "BootstrapIOR : Error in CreateProcess, when trying to start \"" + script + "\"";

    // /bin/sh would report a missing script only as text on the pipe; say it plainly.
    struct stat st;
    if (::stat(script.c_str(), &st) != 0 || !S_ISREG(st.st_mode) ||
        ::access(script.c_str(), R_OK) != 0)
        fail(startFailure);
    const long limit =
        Environment::milliseconds("HVC_SCRIPT_TIMEOUT_MS", defaultScriptTimeoutMilliseconds);

    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0)
        fail("BootstrapIOR : Error in CreatePipe");
    Fd readEnd{ends[0]};
    Fd writeEnd{ends[1]};

    // The child's standard output and error go to the pipe; its standard
    // input and the parent's own descriptors stay as they are. Its own
    // process group lets a script that overstays be ended with everything it
    // started.
    posix_spawn_file_actions_t actions;
    if (posix_spawn_file_actions_init(&actions) != 0)
        fail(startFailure);
    posix_spawn_file_actions_adddup2(&actions, writeEnd.fd, STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, writeEnd.fd, STDERR_FILENO);
    posix_spawnattr_t attributes;
    if (posix_spawnattr_init(&attributes) != 0) {
        posix_spawn_file_actions_destroy(&actions);
        fail(startFailure);
    }
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attributes, 0);
    std::string shell = "sh";
    std::string path = script;
    char* argv[] = {&shell[0], &path[0], nullptr};
    std::vector<std::string> entries = Environment::entries();
    std::vector<char*> envp;
    for (std::string& e : entries)
        envp.push_back(&e[0]);
    envp.push_back(nullptr);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, "/bin/sh", &actions, &attributes, argv, envp.data());
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    if (spawned != 0)
        fail(startFailure);
    Script child(pid);
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(limit);

    // Only the child holds the write end now: end of data means it and
    // whatever it started are done writing. A script that has ended is read
    // to the end of what it wrote, not to the end of its background children.
    writeEnd.reset();
    std::size_t got = 0;
    bool scriptEnded = false;
    for (;;) {
        if (Clock::now() >= deadline) {
            child.killGroup();
            fail(startFailure + ": timed out after " + std::to_string(limit) + " ms");
        }
        pollfd ready{readEnd.fd, POLLIN, 0};
        const int r = ::poll(&ready, 1, scriptEnded ? 0 : millisecondsUntil(deadline));
        if (r < 0 && errno == EINTR)
            continue;
        if (r > 0) {
            const ssize_t n = ::read(readEnd.fd, buffer + got, outputLimit - got);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                break;
            got += static_cast<std::size_t>(n);
            if (got == outputLimit)
                break;
            continue;
        }
        if (scriptEnded || r < 0)
            break;
        scriptEnded = child.ended();
    }
    buffer[got] = '\0';
    // A script still writing past the limit gets end of pipe and stops; one
    // that does not end in time is ended with its group, its output kept.
    readEnd.reset();
    while (!child.ended()) {
        if (Clock::now() >= deadline) {
            child.killGroup();
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(pollSliceMilliseconds));
    }
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
