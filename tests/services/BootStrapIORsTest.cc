#include "hvc_util/BootStrapIORs.h"

#include "support/Failures.h"
#include "support/ScopedEnv.h"
#include "support/StderrCapture.h"
#include "support/TempDir.h"

#include <EpTypes.hh>
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

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
    try {
        BootStrapIORs::setIORs(text.c_str());
    } catch (const EpTypes::FailedOperationException& e) {
        return e.reason.in();
    }
    return "(no exception)";
}

} // namespace

TEST(BootStrapIORs, WithoutInstallationRootNothingRunsAndStateStays) {
    EXPECT_EQ(reasonOf([] { BootStrapIORs::bootstrapIORs(true); }),
              "BootstrapIOR : HVC_HOME is not set");
    EXPECT_FALSE(BootStrapIORs::isBootstrapped());
    EXPECT_EQ(reasonOf([] {
                  char b[8192];
                  BootStrapIORs::getIORs(b);
              }),
              "BootstrapIOR : HVC_HOME is not set");
}

TEST(BootStrapIORs, MissingScriptNamesItsWholePath) {
    // An installation root far longer than any fixed command buffer.
    TempHome home(TempHome::printing("A=1\n"));
    const std::string root = home.path() + "/" + std::string(400, 'r');
    ScopedEnv longRoot("HVC_HOME", root);
    EXPECT_EQ(reasonOf([] { BootStrapIORs::bootstrapIORs(true); }),
              "BootstrapIOR : Error in CreateProcess, when trying to start \"" + root +
                  "/bin/GetIORS.sh\"");
    EXPECT_FALSE(BootStrapIORs::isBootstrapped());
}

TEST(BootStrapIORs, LoadsEntriesWithCarriageReturnsAndEqualsInValues) {
    ScopedEnv clean;
    clean.unset("A");
    clean.unset("B");
    TempHome home(TempHome::printing("A=1\r\nB=x=y\r\n\r\n"));
    BootStrapIORs::bootstrapIORs(false);
    EXPECT_EQ(env("A"), "1");
    EXPECT_EQ(env("B"), "x=y");
    EXPECT_TRUE(BootStrapIORs::isBootstrapped());
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

TEST(BootStrapIORs, EmptyValueRemovesTheVariable) {
    ScopedEnv vars("GONE", "here");
    EXPECT_TRUE(BootStrapIORs::setIORs("GONE=\nKEPT=a b\n"));
    EXPECT_EQ(env("GONE"), "(unset)");
    EXPECT_EQ(env("KEPT"), "a b");
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

TEST(BootStrapIORs, RunsOnceUnlessForced) {
    TempHome home(TempHome::printing("A=1\n"));
    BootStrapIORs::bootstrapIORs(false);
    BootStrapIORs::bootstrapIORs(false);
    EXPECT_EQ(home.runs(), 1);
    BootStrapIORs::bootstrapIORs(true);
    EXPECT_EQ(home.runs(), 2);
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

TEST(BootStrapIORs, ScriptSeesEntriesOfEarlierRuns) {
    TempHome home("echo SEEN=${FIRST:-none}\necho FIRST=yes\n");
    BootStrapIORs::bootstrapIORs(true);
    EXPECT_EQ(env("SEEN"), "none");
    BootStrapIORs::bootstrapIORs(true);
    EXPECT_EQ(env("SEEN"), "yes");
}
