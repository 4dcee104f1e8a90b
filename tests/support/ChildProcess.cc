#include "support/ChildProcess.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <spawn.h>
#include <stdexcept>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace hvc_test {

namespace {

std::string required(const char* variable) {
    const char* value = std::getenv(variable);
    if (value == nullptr || *value == '\0')
        throw std::runtime_error(std::string(variable) + " is not set");
    return value;
}

std::string statusText(int status) {
    if (WIFEXITED(status))
        return "exit " + std::to_string(WEXITSTATUS(status));
    if (WIFSIGNALED(status))
        return "signal " + std::to_string(WTERMSIG(status));
    return "wait status " + std::to_string(status);
}

} // namespace

namespace {

// Starts `argv[0]` with each pair's first descriptor as the child's second.
pid_t spawn(const std::vector<std::string>& argv, const std::vector<std::pair<int, int>>& dups) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    for (const auto& [from, to] : dups)
        posix_spawn_file_actions_adddup2(&actions, from, to);
    std::vector<std::string> args = argv;
    std::vector<char*> raw;
    for (std::string& a : args)
        raw.push_back(&a[0]);
    raw.push_back(nullptr);
    pid_t pid = -1;
    const int rc = posix_spawn(&pid, raw[0], &actions, nullptr, raw.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0)
        throw std::runtime_error("cannot start " + argv[0] + ": " + std::strerror(rc));
    return pid;
}

} // namespace

ChildProcess::ChildProcess(const std::vector<std::string>& argv) {
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0)
        throw std::runtime_error("pipe failed");
    try {
        child = spawn(argv, {{ends[1], STDOUT_FILENO}});
    } catch (...) {
        ::close(ends[0]);
        ::close(ends[1]);
        throw;
    }
    ::close(ends[1]);
    output = ends[0];
}

ChildProcess::ChildProcess(const std::vector<std::string>& argv, int in, int out, int err)
    : child(spawn(argv, {{in, STDIN_FILENO}, {out, STDOUT_FILENO}, {err, STDERR_FILENO}})) {}

ChildProcess::~ChildProcess() {
    stop();
}

std::string ChildProcess::waitForLine(const std::string& prefix, int seconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    for (;;) {
        std::size_t end;
        while ((end = pending.find('\n')) != std::string::npos) {
            std::string line = pending.substr(0, end);
            pending.erase(0, end + 1);
            if (line.compare(0, prefix.size(), prefix) == 0)
                return line;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                              deadline - std::chrono::steady_clock::now())
                              .count();
        if (left <= 0)
            throw std::runtime_error("no line starting with '" + prefix + "' in time");
        pollfd p{output, POLLIN, 0};
        if (::poll(&p, 1, static_cast<int>(left)) <= 0)
            continue;
        char buffer[1024];
        const ssize_t n = ::read(output, buffer, sizeof buffer);
        if (n <= 0)
            throw std::runtime_error("child ended before printing '" + prefix + "'");
        pending.append(buffer, static_cast<std::size_t>(n));
    }
}

void ChildProcess::reaped(int status) {
    howItEnded = statusText(status);
    if (killed)
        howItEnded += " after SIGKILL";
    child = -1;
}

bool ChildProcess::running() {
    if (child <= 0)
        return false;
    int status = 0;
    const pid_t got = ::waitpid(child, &status, WNOHANG);
    if (got == 0)
        return true;
    if (got == child) {
        reaped(status);
    } else if (errno != EINTR) {
        howItEnded = std::string("not reapable: ") + std::strerror(errno);
        child = -1;
    }
    return child > 0;
}

std::string ChildProcess::waitForExit(int seconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (running() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return howItEnded;
}

void ChildProcess::pause() {
    if (child <= 0 || ::kill(child, SIGSTOP) != 0)
        throw std::runtime_error("the child cannot be stopped");
    int status = 0;
    while (::waitpid(child, &status, WUNTRACED) < 0 && errno == EINTR) {
    }
    if (!WIFSTOPPED(status))
        reaped(status);
}

void ChildProcess::resume() {
    if (child > 0)
        ::kill(child, SIGCONT);
}

std::string ChildProcess::stop() {
    if (running()) {
        ::kill(child, SIGTERM);
        for (int waited = 0; waited < 3000 && running(); waited += 10)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        if (running()) {
            killed = true;
            ::kill(child, SIGKILL);
            int status = 0;
            while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
            }
            reaped(status);
        }
    }
    if (output >= 0) {
        ::close(output);
        output = -1;
    }
    return howItEnded;
}

namespace {

// Both ends of a pipe, closed once, whatever path leaves.
struct Pipe {
    int ends[2] = {-1, -1};
    Pipe() {
        if (::pipe2(ends, O_CLOEXEC) != 0)
            throw std::runtime_error("pipe failed");
    }
    ~Pipe() {
        close(0);
        close(1);
    }
    void close(int end) {
        if (ends[end] >= 0)
            ::close(ends[end]);
        ends[end] = -1;
    }
};

} // namespace

ProgramRun runProgram(const std::vector<std::string>& argv, const std::string& input, int seconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    // A child that ends before reading its input must not end this process.
    struct sigaction ignore {};
    struct sigaction before {};
    ignore.sa_handler = SIG_IGN;
    ::sigaction(SIGPIPE, &ignore, &before);
    Pipe in, out, err;
    ProgramRun run;
    {
        ChildProcess child(argv, in.ends[0], out.ends[1], err.ends[1]);
        in.close(0);
        out.close(1);
        err.close(1);
        std::size_t written = 0;
        if (input.empty())
            in.close(1);
        while (out.ends[0] >= 0 || err.ends[0] >= 0) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                                  deadline - std::chrono::steady_clock::now())
                                  .count();
            if (left <= 0)
                break;
            pollfd p[3] = {
                {in.ends[1], POLLOUT, 0}, {out.ends[0], POLLIN, 0}, {err.ends[0], POLLIN, 0}};
            if (::poll(p, 3, static_cast<int>(left)) <= 0)
                continue;
            if (p[0].revents != 0) {
                const ssize_t n =
                    ::write(in.ends[1], input.data() + written, input.size() - written);
                if (n > 0)
                    written += static_cast<std::size_t>(n);
                if (n <= 0 || written == input.size())
                    in.close(1);
            }
            for (int i = 1; i < 3; ++i) {
                if (p[i].revents == 0)
                    continue;
                char buffer[4096];
                const ssize_t n = ::read(p[i].fd, buffer, sizeof buffer);
                if (n > 0)
                    (i == 1 ? run.out : run.err).append(buffer, static_cast<std::size_t>(n));
                else
                    (i == 1 ? out : err).close(0);
            }
        }
        const auto left = std::chrono::duration_cast<std::chrono::seconds>(
                              deadline - std::chrono::steady_clock::now())
                              .count();
        run.ending = child.waitForExit(static_cast<int>(std::max<long long>(left, 1)));
        if (run.ending.empty())
            run.ending = child.stop();
    }
    ::sigaction(SIGPIPE, &before, nullptr);
    return run;
}

std::string ChildProcess::signalAndWait(int signal, int milliseconds) {
    if (child <= 0)
        return howItEnded;
    ::kill(child, signal);
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    while (running() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    return running() ? std::string() : howItEnded;
}

SandboxProcess::SandboxProcess(const std::vector<std::string>& extraArgs)
    : SandboxProcess(std::string(), extraArgs) {}

SandboxProcess::SandboxProcess(const std::string& home, const std::vector<std::string>& extraArgs)
    : ownHome(home.empty() ? std::make_unique<TempDir>("hvc-sandbox") : nullptr),
      homePath(home.empty() ? ownHome->path() : home) {
    std::vector<std::string> argv{required("HVC_SANDBOX_EXE"), "--home", homePath};
    argv.insert(argv.end(), extraArgs.begin(), extraArgs.end());
    child = std::make_unique<ChildProcess>(argv);
    child->waitForLine("hvc-sandbox ready", 30);
}

SandboxProcess::~SandboxProcess() {
    const std::string ending = child->stop();
    if (!crashed && ending != "exit 0")
        ADD_FAILURE() << "hvc-sandbox, stopped with SIGTERM, ended with " << ending
                      << " instead of exit 0";
}

std::string SandboxProcess::reference(const std::string& variable) const {
    std::ifstream script(homePath + "/bin/GetIORS.sh");
    const std::string prefix = variable + "=";
    for (std::string line; std::getline(script, line);)
        if (line.compare(0, prefix.size(), prefix) == 0)
            return line.substr(prefix.size());
    return "";
}

std::string SandboxProcess::crash() {
    crashed = true;
    return child->signalAndWait(SIGKILL, 5000);
}

namespace {

sockaddr_in loopback(int port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<uint16_t>(port));
    return address;
}

bool accepts(int port) {
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address = loopback(port);
    const bool ok = ::connect(s, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    ::close(s);
    return ok;
}

} // namespace

int freeLoopbackPort() {
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address = loopback(0);
    socklen_t length = sizeof address;
    if (::bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::getsockname(s, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        ::close(s);
        throw std::runtime_error("no free port");
    }
    ::close(s);
    return ntohs(address.sin_port);
}

namespace {

// omniNames writes its data file only once its endpoint is bound, so the file
// tells its own start from another process answering on the port.
bool hasDataFile(const std::string& dir) {
    DIR* d = ::opendir(dir.c_str());
    if (d == nullptr)
        return false;
    bool found = false;
    while (const dirent* e = ::readdir(d)) {
        const std::string name = e->d_name;
        if (name.compare(0, 10, "omninames-") == 0 && name.size() > 14 &&
            name.compare(name.size() - 4, 4, ".dat") == 0)
            found = true;
    }
    ::closedir(d);
    return found;
}

} // namespace

NamingService::NamingService() : logDir("hvc-names") {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (std::chrono::steady_clock::now() < deadline) {
        portNumber = freeLoopbackPort();
        const std::string port = std::to_string(portNumber);
        child = std::make_unique<ChildProcess>(std::vector<std::string>{
            required("HVC_OMNINAMES_EXE"), "-start", port, "-ignoreport", "-logdir", logDir.path(),
            "-ORBendPoint", "giop:tcp:127.0.0.1:" + port});
        while (child->running() && std::chrono::steady_clock::now() < deadline) {
            if (hasDataFile(logDir.path()) && accepts(portNumber))
                return;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        // It ended: the port was taken in the meantime. Try another.
        child->stop();
    }
    throw std::runtime_error("omniNames did not start");
}

std::string NamingService::initRef() const {
    return "NameService=corbaloc::127.0.0.1:" + std::to_string(portNumber) + "/NameService";
}

} // namespace hvc_test
