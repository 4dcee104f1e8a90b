// A helper program run as a child process for the life of one object: its
// standard output is read line by line, and it is stopped and reaped at the end.
#pragma once

#include "support/TempDir.h"

#include <memory>
#include <string>
#include <sys/types.h>
#include <vector>

namespace hvc_test {

class ChildProcess {
public:
    // Starts `argv[0]` with the given arguments and the current environment.
    // Raises std::runtime_error when it cannot be started.
    explicit ChildProcess(const std::vector<std::string>& argv);
    // The same with the given descriptors as the child's standard input,
    // output and error; waitForLine is then not available.
    ChildProcess(const std::vector<std::string>& argv, int in, int out, int err);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Reads lines until one starts with `prefix` and returns it; raises
    // std::runtime_error when the child ends or `seconds` pass first.
    std::string waitForLine(const std::string& prefix, int seconds);

    // Stops the child (SIGTERM, then SIGKILL when it has not ended 3 s
    // later) and reaps it. Returns how it ended, as describe() words it;
    // later calls return the same.
    std::string stop();

    // Whether the child is still running; one that has ended is reaped.
    bool running();

    // Waits up to `seconds` for the child to end by itself; returns how it
    // ended, or an empty text when it still runs.
    std::string waitForExit(int seconds);

    // How a child ended: "exit 0", "exit 3", "signal 9", with "after SIGKILL"
    // added when SIGTERM did not end it. Empty while it runs.
    const std::string& ending() const { return howItEnded; }

    pid_t pid() const { return child; }

    // Stops the child with SIGSTOP and returns once it is stopped (a server
    // that has stopped answering); resume() lets it go on.
    void pause();
    void resume();

    // Sends `signal` and waits up to `milliseconds` for the child to end.
    // Returns how it ended, as ending() words it, or an empty text when it
    // still runs then (stop() ends it).
    std::string signalAndWait(int signal, int milliseconds);

private:
    void reaped(int status);

    pid_t child = -1;
    int output = -1;
    std::string pending;
    std::string howItEnded;
    bool killed = false;
};

// The hvc-sandbox program (HVC_SANDBOX_EXE) serving a platform with its
// installation root in a temporary folder; started and ready on construction.
// Stopped at the end with SIGTERM, on which it must exit with status 0: any
// other ending is a failure of the running test.
class SandboxProcess {
public:
    explicit SandboxProcess(const std::vector<std::string>& extraArgs = {});
    // Serving `home`, the home of an earlier one, which the caller keeps: the
    // platform it kept there, restarted.
    SandboxProcess(const std::string& home, const std::vector<std::string>& extraArgs);
    ~SandboxProcess();
    const std::string& home() const { return homePath; }
    ChildProcess& process() { return *child; }
    // The reference its script gives `variable`, read from the file without
    // touching the environment or the library's caches; empty when absent.
    std::string reference(const std::string& variable) const;

    // Ends it with SIGKILL, as a crash would, and returns how it ended; its
    // end is then no failure.
    std::string crash();

private:
    std::unique_ptr<TempDir> ownHome;
    std::string homePath;
    std::unique_ptr<ChildProcess> child;
    bool crashed = false;
};

// An omniNames naming service on a free loopback port with a temporary log
// folder. `initRef()` is the ORBInitRef value that names it; it must be in
// the environment before the process ORB is initialised. A port taken by
// another process between choosing and binding it is chosen again.
class NamingService {
public:
    NamingService();
    std::string initRef() const;
    int port() const { return portNumber; }

private:
    TempDir logDir;
    int portNumber = 0;
    std::unique_ptr<ChildProcess> child;
};

// What a program that ran to its end wrote, and how it ended (as
// ChildProcess::ending words it).
struct ProgramRun {
    std::string out;
    std::string err;
    std::string ending;
};

// Runs `argv[0]` with the given arguments and the current environment, `input`
// on its standard input, and waits for it to end. One still running after
// `seconds` is stopped. Raises std::runtime_error when it cannot be started.
ProgramRun runProgram(const std::vector<std::string>& argv, const std::string& input = "",
                      int seconds = 60);

// A TCP port on 127.0.0.1 that nothing listens on at the time of the call:
// by the time it is used another process may have taken it.
int freeLoopbackPort();

} // namespace hvc_test
