#include "support/ChildProcess.h"

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
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

ChildProcess::ChildProcess(const std::vector<std::string>& argv) {
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0)
        throw std::runtime_error("pipe failed");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, ends[1], STDOUT_FILENO);
    std::vector<std::string> args = argv;
    std::vector<char*> raw;
    for (std::string& a : args)
        raw.push_back(&a[0]);
    raw.push_back(nullptr);
    const int rc = posix_spawn(&child, raw[0], &actions, nullptr, raw.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(ends[1]);
    output = ends[0];
    if (rc != 0) {
        ::close(output);
        child = -1;
        throw std::runtime_error("cannot start " + argv[0] + ": " + std::strerror(rc));
    }
}

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

SandboxProcess::SandboxProcess(const std::vector<std::string>& extraArgs)
    : homeDir("hvc-sandbox"), child([&] {
          std::vector<std::string> argv{required("HVC_SANDBOX_EXE"), "--home", homeDir.path()};
          argv.insert(argv.end(), extraArgs.begin(), extraArgs.end());
          return argv;
      }()) {
    child.waitForLine("hvc-sandbox ready", 30);
}

SandboxProcess::~SandboxProcess() {
    const std::string ending = child.stop();
    if (ending != "exit 0")
        ADD_FAILURE() << "hvc-sandbox, stopped with SIGTERM, ended with " << ending
                      << " instead of exit 0";
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
