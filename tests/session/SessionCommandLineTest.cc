#include "hvc_util/Session.h"

#include "support/ScopedEnv.h"
#include "support/StderrCapture.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

using hvc_util::Session;

namespace {

// The arguments parseCmdLineArgs keeps, released as its contract says.
std::vector<std::string> parse(std::vector<const char*> argv) {
    int kept = -1;
    char** rest = Session::parseCmdLineArgs(argv.data(), static_cast<int>(argv.size()), &kept);
    std::vector<std::string> out;
    for (int i = 0; i < kept; ++i) {
        out.push_back(rest[i]);
        delete[] rest[i];
    }
    delete[] rest;
    return out;
}

std::string env(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "<unset>";
}

using Args = std::vector<std::string>;

} // namespace

TEST(SessionCommandLine, OptionsAreConsumedAndOthersKeptInOrder) {
    // One without its value is kept and sets nothing.
    EXPECT_EQ(parse({"prog", "-session"}), (Args{"prog", "-session"}));
    EXPECT_EQ(env("halvercast.sessionName"), "<unset>");
    EXPECT_EQ(parse({"-envfile"}), (Args{"-envfile"}));
    EXPECT_EQ(parse({}), Args{});

    EXPECT_EQ(parse({"prog", "-session", "S1", "file.txt"}), (Args{"prog", "file.txt"}));
    EXPECT_EQ(env("halvercast.sessionName"), "S1");

    EXPECT_EQ(parse({"prog", "-projectSet", "P1", "-x", "-session", "S2", "-session", "S3"}),
              (Args{"prog", "-x"}));
    EXPECT_EQ(env("halvercast.projectSetName"), "P1");
    EXPECT_EQ(env("halvercast.sessionName"), "S3"); // the later one wins

    // Options match case and whole argument only.
    EXPECT_EQ(parse({"prog", "-Session", "S4", "--session", "S5"}),
              (Args{"prog", "-Session", "S4", "--session", "S5"}));
    EXPECT_EQ(env("halvercast.sessionName"), "S3");

    // Long values are set whole.
    const std::string name(5000, 's');
    const std::string set(3000, 'p');
    EXPECT_EQ(parse({"prog", "-session", name.c_str(), "-projectSet", set.c_str()}),
              (Args{"prog"}));
    EXPECT_EQ(env("halvercast.sessionName"), name);
    EXPECT_EQ(env("halvercast.projectSetName"), set);
}

TEST(SessionCommandLine, EnvironmentFileLinesSetValuesWithoutLineEnds) {
    hvc_test::TempDir dir;
    const std::string longValue(10000, 'v');
    const std::string file =
        dir.write("vars.env",
                  "A=1\nB=2\r\nC=x=y z\n\nnot an entry\n=nameless\nL=" + longValue + "\nLAST=end");
    hvc_test::ScopedEnv scoped("B", "former");
    EXPECT_EQ(parse({"prog", "-envfile", file.c_str(), "rest"}), (Args{"prog", "rest"}));
    EXPECT_EQ(env("A"), "1");
    EXPECT_EQ(env("B"), "2");
    EXPECT_EQ(env("C"), "x=y z");
    EXPECT_EQ(env("L"), longValue);
    EXPECT_EQ(env("LAST"), "end");
}

TEST(SessionCommandLine, OptionsTakeEffectInTheirOrder) {
    hvc_test::TempDir dir;
    const std::string file = dir.write("s.env", "halvercast.sessionName=FromFile\n");
    parse({"prog", "-session", "FromOption", "-envfile", file.c_str()});
    EXPECT_EQ(env("halvercast.sessionName"), "FromFile");
    parse({"prog", "-envfile", file.c_str(), "-session", "FromOption"});
    EXPECT_EQ(env("halvercast.sessionName"), "FromOption");
}

TEST(SessionCommandLine, UnreadableEnvironmentFilesAreReportedAndParsingGoesOn) {
    hvc_test::TempDir dir;
    const std::string missing = dir.path() + "/missing.env";
    hvc_test::StderrCapture capture;
    EXPECT_EQ(parse({"prog", "-envfile", missing.c_str(), "-session", "S1", "tail"}),
              (Args{"prog", "tail"}));
    EXPECT_EQ(parse({"prog", "-envfile", dir.path().c_str()}), (Args{"prog"}));
    EXPECT_EQ(capture.text(), "Can't open environment variable file '" + missing +
                                  "' for reading.\n"
                                  "Error reading environment variable file '" +
                                  dir.path() + "'\n");
    EXPECT_EQ(env("halvercast.sessionName"), "S1");
}
