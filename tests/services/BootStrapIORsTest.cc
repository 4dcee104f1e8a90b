#include "hvc_util/BootStrapIORs.h"

#include "support/Failures.h"
#include "support/ScopedEnv.h"
#include "support/StderrCapture.h"
#include "support/TempDir.h"

#include <EpTypes.hh>
#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

using hvc_test::ScopedEnv;
using hvc_test::TempHome;
using hvc_util::BootStrapIORs;

using hvc_test::reasonOf;

namespace {

std::string env(const char* name) {
    const char* v = std::getenv(name);
    return v != nullptr ? v : "(unset)";
}

std::string loadFailure(const std::string& text) {
    return reasonOf([&] { BootStrapIORs::setIORs(text.c_str()); });
}

} // namespace

TEST(BootStrapIORs, WithoutInstallationRootOrScriptNothingLoads) {
    EXPECT_EQ(reasonOf([] { BootStrapIORs::bootstrapIORs(true); }),
              "BootstrapIOR : HVC_HOME is not set");
    EXPECT_EQ(reasonOf([] {
                  char b[8192];
                  BootStrapIORs::getIORs(b);
              }),
              "BootstrapIOR : HVC_HOME is not set");

    // An installation root far longer than any fixed command buffer.
    const std::string root = "/tmp/" + std::string(400, 'r');
    ScopedEnv longRoot("HVC_HOME", root);
    EXPECT_EQ(reasonOf([] { BootStrapIORs::bootstrapIORs(true); }),
              "BootstrapIOR : Error in CreateProcess, when trying to start \"" + root +
                  "/bin/GetIORS.sh\"");
    EXPECT_FALSE(BootStrapIORs::isBootstrapped());
}

TEST(BootStrapIORs, LoadsEntriesWithCarriageReturnsAndEqualsInValuesAndEmptyOnesRemove) {
    ScopedEnv clean("GONE", "here");
    clean.unset("A");
    clean.unset("B");
    TempHome home(TempHome::printing("A=1\r\nB=x=y\r\n\r\n"));
    BootStrapIORs::bootstrapIORs(false);
    EXPECT_EQ(env("A"), "1");
    EXPECT_EQ(env("B"), "x=y");
    EXPECT_TRUE(BootStrapIORs::isBootstrapped());
    EXPECT_TRUE(BootStrapIORs::setIORs("GONE=\nKEPT=a b\n"));
    EXPECT_EQ(env("GONE"), "(unset)");
    EXPECT_EQ(env("KEPT"), "a b");
}

TEST(BootStrapIORs, EmptyOutputAndBadLinesFailWithTheirTexts) {
    TempHome home(TempHome::printing(""));
    EXPECT_EQ(reasonOf([] { BootStrapIORs::bootstrapIORs(true); }), "BootstrapIOR Error : ");
    EXPECT_FALSE(BootStrapIORs::isBootstrapped());

    ScopedEnv clean;
    clean.unset("A");
    EXPECT_EQ(loadFailure("A=1\nThis is a sentence\nC=3\n"),
              "BootstrapIOR : Error when parsing variable: Didn't encounter '=' when reading "
              "name of variable This is a sentence\nC=3\n");
    EXPECT_EQ(env("A"), "1"); // entries before the bad one stay set
    EXPECT_EQ(loadFailure(" A=1"), "BootstrapIOR Error :  A=1");
    EXPECT_EQ(loadFailure("\nA=1"), "BootstrapIOR Error : \nA=1");
    EXPECT_EQ(loadFailure("=1"), "BootstrapIOR : Could not set the environment variable : =1");
}

TEST(BootStrapIORs, OutputIsCutAt8191Bytes) {
    ScopedEnv clean;
    clean.unset("A");
    TempHome home(TempHome::printing("A=" + std::string(9000, 'x')));
    char buffer[8192];
    BootStrapIORs::getIORs(buffer);
    EXPECT_EQ(std::string(buffer).size(), 8191u);
    BootStrapIORs::bootstrapIORs(true);
    EXPECT_EQ(env("A"), std::string(8189, 'x'));
}

TEST(BootStrapIORs, RunsOnceUnlessForcedAndTheScriptSeesEarlierEntries) {
    TempHome home("echo run >> \"$HVC_HOME/runs\"\necho SEEN=${FIRST:-none}\necho FIRST=yes\n");
    BootStrapIORs::bootstrapIORs(false);
    BootStrapIORs::bootstrapIORs(false);
    EXPECT_EQ(home.runs(), 1);
    EXPECT_EQ(env("SEEN"), "none");
    BootStrapIORs::bootstrapIORs(true);
    EXPECT_EQ(home.runs(), 2);
    EXPECT_EQ(env("SEEN"), "yes");
}

TEST(BootStrapIORs, CapturesStandardErrorLeavesOurStandardOutputAndReapsTheScript) {
    TempHome home("echo A=1\necho B=2 >&2\n");
    struct stat before, after;
    ASSERT_EQ(::fstat(STDOUT_FILENO, &before), 0);
    hvc_test::StderrCapture ours;
    char buffer[8192];
    BootStrapIORs::getIORs(buffer);
    EXPECT_EQ(std::string(buffer), "A=1\nB=2\n");
    EXPECT_EQ(ours.text(), "");
    ASSERT_EQ(::fstat(STDOUT_FILENO, &after), 0);
    EXPECT_EQ(before.st_ino, after.st_ino);
    EXPECT_EQ(before.st_dev, after.st_dev);
    // No child is left to reap: the script's process was waited for.
    errno = 0;
    EXPECT_EQ(::waitpid(-1, nullptr, WNOHANG), -1);
    EXPECT_EQ(errno, ECHILD);
}

namespace {

// Whether the process whose id the script wrote to `file` under the home is
// still running (a killed one may linger as a zombie until its new parent
// reaps it).
bool running(const TempHome& home, const std::string& file) {
    std::ifstream in(home.path() + "/" + file);
    pid_t pid = 0;
    in >> pid;
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    if (pid <= 0 || !std::getline(stat, line))
        return false;
    const std::size_t end = line.rfind(')');
    return end != std::string::npos && end + 2 < line.size() && line[end + 2] != 'Z';
}

// Whether the process recorded in `file` has gone within a second: a killed
// process that is not ours to reap takes a moment to end.
bool endsSoon(const TempHome& home, const std::string& file) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(1);
    while (running(home, file)) {
        if (std::chrono::steady_clock::now() > until)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

long millisecondsSince(std::chrono::steady_clock::time_point start) {
    return static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                 std::chrono::steady_clock::now() - start)
                                 .count());
}

} // namespace

TEST(BootStrapIORs, ScriptPastItsTimeLimitIsKilledWithItsGroupAndNamed) {
    ScopedEnv limit("HVC_SCRIPT_TIMEOUT_MS", "300");
    TempHome home("echo A=1\nsleep 30 &\necho $! > \"$HVC_HOME/child\"\necho $$ > "
                  "\"$HVC_HOME/script\"\nwait\n");
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(reasonOf([] { BootStrapIORs::bootstrapIORs(true); }),
              "BootstrapIOR : Error in CreateProcess, when trying to start \"" + home.scriptPath() +
                  "\": timed out after 300 ms");
    EXPECT_LT(millisecondsSince(start), 2000);
    EXPECT_FALSE(BootStrapIORs::isBootstrapped());
    EXPECT_FALSE(running(home, "script"));
    EXPECT_TRUE(endsSoon(home, "child")); // its whole process group went
    errno = 0;
    EXPECT_EQ(::waitpid(-1, nullptr, WNOHANG), -1); // and the script was reaped
    EXPECT_EQ(errno, ECHILD);
}

TEST(BootStrapIORs, BackgroundChildHoldingTheOutputDoesNotKeepTheCallerWaiting) {
    ScopedEnv clean;
    clean.unset("A");
    TempHome home("echo A=1\nsleep 30 &\necho $! > \"$HVC_HOME/child\"\n");
    const auto start = std::chrono::steady_clock::now();
    BootStrapIORs::bootstrapIORs(true);
    EXPECT_LT(millisecondsSince(start), 2000);
    EXPECT_EQ(env("A"), "1");
    // What the script started is its own business; it was not killed.
    EXPECT_TRUE(running(home, "child"));
    std::ifstream in(home.path() + "/child");
    pid_t child = 0;
    in >> child;
    ::kill(child, SIGKILL);
}

TEST(BootStrapIORs, ScriptThatClosesItsOutputAndStaysIsEndedAtTheLimitItsOutputKept) {
    ScopedEnv clean;
    clean.unset("A");
    clean.set("HVC_SCRIPT_TIMEOUT_MS", "300");
    TempHome home("echo A=1\necho $$ > \"$HVC_HOME/script\"\nexec >&- 2>&-\nsleep 30\n");
    BootStrapIORs::bootstrapIORs(true);
    EXPECT_EQ(env("A"), "1");
    EXPECT_FALSE(running(home, "script"));
}

TEST(BootStrapIORs, ConcurrentUnforcedCallsRunTheScriptOnce) {
    TempHome home("echo run >> \"$HVC_HOME/runs\"\nsleep 0.2\necho A=1\n");
    std::vector<std::thread> threads;
    for (int i = 0; i < 8; ++i)
        threads.emplace_back([] { BootStrapIORs::bootstrapIORs(false); });
    for (std::thread& t : threads)
        t.join();
    EXPECT_EQ(home.runs(), 1);
    EXPECT_TRUE(BootStrapIORs::isBootstrapped());
}
