// An hvc-sandbox process for the rest of the benchmark program's run, with
// the library pointed at it (HVC_HOME names its installation root), so that
// every call crosses IIOP as on a platform. Built only beside the tests'
// harness (see CMakeLists.txt).
#pragma once

#include "support/ChildProcess.h"
#include "support/ScopedEnv.h"

#include <string>
#include <vector>

namespace hvc_bench {

class ChildSandbox {
public:
    // Starts the sandbox with `args`, as the platform user `user` (empty: the
    // login name).
    ChildSandbox(const std::vector<std::string>& args, const std::string& user)
        : env("HVC_SANDBOX_EXE", HVC_SANDBOX_EXE), sandbox(asUser(user, args)) {
        env.set("HVC_HOME", sandbox.home());
    }

private:
    const std::vector<std::string>& asUser(const std::string& user,
                                           const std::vector<std::string>& args) {
        if (!user.empty())
            env.set("USERNAME", user);
        return args;
    }

    hvc_test::ScopedEnv env;
    hvc_test::SandboxProcess sandbox;
};

// The one child sandbox of the program, started on the first call.
inline void startChildSandbox(const std::vector<std::string>& args, const std::string& user) {
    static ChildSandbox child(args, user);
}

} // namespace hvc_bench
