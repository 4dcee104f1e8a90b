// hvcutil against an hvc-sandbox with a home, as a developer meets it: a
// restart in between two commands changes nothing they see, and a sandbox
// that has stopped answering makes a command fail with the library's message
// within the call timeout.
#include "support/ChildProcess.h"
#include "support/ScopedEnv.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

using hvc_test::ProgramRun;

namespace {

ProgramRun hvcutil(std::vector<std::string> args, const std::string& input = "") {
    args.insert(args.begin(), HVCUTIL_EXE);
    return hvc_test::runProgram(args, input);
}

} // namespace

TEST(HvcutilWithASandboxHome, RestartShowsTheSameSessionAndKeepsThePasswordRecorded) {
    hvc_test::TempDir home("hvc-home");
    hvc_test::ScopedEnv env("USERNAME", "tester");
    env.set("HVC_HOME", home.path());
    std::string before;
    {
        hvc_test::SandboxProcess sandbox(home.path(), {});
        ProgramRun run = hvcutil({"session", "create", "S"});
        ASSERT_EQ(run.ending, "exit 0") << run.err;
        run = hvcutil({"session", "current", "-session", "S"});
        ASSERT_EQ(run.ending, "exit 0") << run.err;
        before = run.out;
        run = hvcutil({"password", "set", "Store", "Proj"}, "hunter2\n");
        ASSERT_EQ(run.ending, "exit 0") << run.err;
    }
    hvc_test::SandboxProcess restarted(home.path(), {});
    ProgramRun run = hvcutil({"session", "current", "-session", "S"});
    EXPECT_EQ(run.ending, "exit 0") << run.err;
    EXPECT_EQ(run.out, before);
    EXPECT_NE(before.find("name: S\nidentifier: "), std::string::npos) << before;
    run = hvcutil({"password", "exists", "Store", "Proj"});
    EXPECT_EQ(run.ending, "exit 0") << run.err;
    EXPECT_EQ(run.out, "yes\n");
}

TEST(HvcutilWithASandboxHome, StoppedSandboxFailsWithTheLibrarysMessageWithinTheTimeout) {
    hvc_test::ScopedEnv env("USERNAME", "tester");
    hvc_test::SandboxProcess sandbox;
    env.set("HVC_HOME", sandbox.home());
    ASSERT_EQ(hvcutil({"session", "create", "S"}).ending, "exit 0");
    sandbox.process().pause();
    env.set("HVC_CALL_TIMEOUT_MS", "2000");
    const auto start = std::chrono::steady_clock::now();
    const ProgramRun run = hvcutil({"session", "current", "-session", "S"});
    const auto took = std::chrono::steady_clock::now() - start;
    sandbox.process().resume();
    EXPECT_EQ(run.ending, "exit 1");
    EXPECT_EQ(run.err, "hvcutil: Cannot connect to your Halvercast user server, Ensure that your "
                       "Halvercast user server is running.\n");
    EXPECT_LT(took, std::chrono::seconds(3));
}
