#include "support/Spawn.h"

#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace hvc_bench {

Spawned::Spawned(const std::vector<std::string>& argv) {
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
        throw std::runtime_error("cannot start " + argv[0]);
    }
}

Spawned::~Spawned() {
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    ::close(output);
}

std::string Spawned::readLine() {
    for (;;) {
        const std::size_t end = pending.find('\n');
        if (end != std::string::npos) {
            std::string line = pending.substr(0, end);
            pending.erase(0, end + 1);
            return line;
        }
        char buffer[4096];
        const ssize_t n = ::read(output, buffer, sizeof buffer);
        if (n <= 0)
            throw std::runtime_error("the helper process ended");
        pending.append(buffer, static_cast<std::size_t>(n));
    }
}

} // namespace hvc_bench
