// A helper program run as a child process for the life of one object: its
// standard output is read line by line, and it is stopped and reaped at the end.
#pragma once

#include "support/TempDir.h"

#include <string>
#include <sys/types.h>
#include <vector>

namespace hvc_test {

class ChildProcess {
public:
    // Starts `argv[0]` with the given arguments and the current environment.
    // Raises std::runtime_error when it cannot be started.
    explicit ChildProcess(const std::vector<std::string>& argv);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Reads lines until one starts with `prefix` and returns it; raises
    // std::runtime_error when the child ends or `seconds` pass first.
    std::string waitForLine(const std::string& prefix, int seconds);

    // Stops the child (SIGTERM, then SIGKILL) and reaps it. Idempotent.
    void stop();

    pid_t pid() const { return child; }

    // Sends `signal` and waits up to `milliseconds` for the child to end.
    // Returns its wait status, or -1 when it is still running then (it keeps
    // running; stop() ends it).
    int signalAndWait(int signal, int milliseconds);

private:
    pid_t child = -1;
    int output = -1;
    std::string pending;
};

// The hvc-sandbox program (HVC_SANDBOX_EXE) serving a platform with its
// installation root in a temporary folder; started and ready on construction.
class SandboxProcess {
public:
    explicit SandboxProcess(const std::vector<std::string>& extraArgs = {});
    const std::string& home() const { return homeDir.path(); }
    ChildProcess& process() { return child; }

private:
    TempDir homeDir;
    ChildProcess child;
};

// An omniNames naming service on a free loopback port with a temporary log
// folder. `initRef()` is the ORBInitRef value that names it; it must be in
// the environment before the process ORB is initialised.
class NamingService {
public:
    NamingService();
    std::string initRef() const;
    int port() const { return portNumber; }

private:
    TempDir logDir;
    int portNumber;
    ChildProcess child;
};

// A TCP port on 127.0.0.1 that nothing listens on at the time of the call.
int freeLoopbackPort();

} // namespace hvc_test
