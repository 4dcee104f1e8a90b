// hvcutil as its users run it: a process per command against a child
// hvc-sandbox (or none), checked by its exit status, its output and what it
// leaves on the platform.
#include "hvc_util/Session.h"
#include "hvc_util/UserProfile.h"

#include "support/ChildProcess.h"
#include "support/ScopedEnv.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <regex>
#include <string>
#include <unistd.h>
#include <vector>

using hvc_test::ProgramRun;

namespace {

const char* const temporaryName =
    "temp_[0-9]{2}_[A-Z][a-z]{2}_[0-9]{4}_[0-9]{2}_[0-9]{2}_[0-9]{2}_[0-9]+";

ProgramRun hvcutil(std::vector<std::string> args, const std::string& input = "") {
    args.insert(args.begin(), HVCUTIL_EXE);
    return hvc_test::runProgram(args, input);
}

// The output of an hvcutil run that must end with status 0.
std::string succeeded(std::vector<std::string> args, const std::string& input = "") {
    const ProgramRun run = hvcutil(args, input);
    EXPECT_EQ(run.ending, "exit 0") << args[0] << " " << args[1] << ": " << run.err;
    return run.out;
}

// A child hvc-sandbox named by HVC_HOME, its one user the process user "tester".
class Platform {
public:
    Platform() : user("USERNAME", "tester"), sandbox(), home("HVC_HOME", sandbox.home()) {}

    // The names of the sessions the platform holds, asked through the library.
    std::vector<std::string> sessions() {
        EpSession::SessionManager_var manager = hvc_util::Session::getSessionManager();
        DosTypes::StringSeq_var names = manager->getSessionNames();
        return std::vector<std::string>(names->get_buffer(), names->get_buffer() + names->length());
    }

private:
    hvc_test::ScopedEnv user;
    hvc_test::SandboxProcess sandbox;
    hvc_test::ScopedEnv home;
};

std::string lineAfter(const std::string& text, const std::string& label) {
    std::smatch m;
    if (std::regex_search(text, m, std::regex("(^|\n)" + label + "([^\n]*)")))
        return m[2];
    return "";
}

} // namespace

TEST(Hvcutil, NoCommandLeavesATemporarySessionBehindUnlessKept) {
    Platform platform;
    std::string out = succeeded({"session", "current"});
    EXPECT_TRUE(std::regex_match(lineAfter(out, "name: "), std::regex(temporaryName))) << out;
    EXPECT_EQ(lineAfter(out, "temporary: "), "yes");
    EXPECT_EQ(succeeded({"interpreter", "set", "Store", "Proj", "alice"}), "");
    succeeded({"priority", "set", "Store", "Proj", "lab", "field"});
    EXPECT_EQ(succeeded({"key", "resolve", "hvc:Sandbox/Demo/well-A1"}),
              "hvc:Sandbox/Demo/well-A1\n");
    EXPECT_EQ(platform.sessions(), std::vector<std::string>());

    // Kept, the session stays and its name is printed for later commands.
    out = succeeded({"session", "current", "--keep"});
    const std::string current = lineAfter(out, "name: ");
    EXPECT_EQ(lineAfter(out, "session: "), ""); // the name: line says it already
    out = succeeded({"interpreter", "set", "Store", "Proj", "alice", "--keep"});
    const std::string written = lineAfter(out, "session: ");
    EXPECT_TRUE(std::regex_match(written, std::regex(temporaryName))) << out;
    std::vector<std::string> expected{current, written};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(platform.sessions(), expected);

    EXPECT_EQ(succeeded({"interpreter", "get", "Store", "Proj", "-session", written}), "alice\n");
    // A named session is never removed by the command that uses it.
    out = succeeded({"session", "current", "-session", current});
    EXPECT_EQ(lineAfter(out, "name: "), current);
    EXPECT_EQ(platform.sessions(), expected);
}

TEST(Hvcutil, ReadsWithoutASessionNameCreateNothingAndSaySo) {
    Platform platform;
    const std::vector<std::vector<std::string>> reads = {{"interpreter", "get"},
                                                         {"interpreter", "get", "Store", "Proj"},
                                                         {"priority", "get", "S", "P"}};
    for (const auto& args : reads) {
        const ProgramRun run = hvcutil(args);
        EXPECT_EQ(run.ending, "exit 2");
        EXPECT_EQ(run.err, "hvcutil: " + args[0] +
                               " get needs a session name (-session NAME): a "
                               "read does not create a temporary session\n");
        EXPECT_EQ(run.out, "");
    }
    EXPECT_EQ(platform.sessions(), std::vector<std::string>());

    const ProgramRun run = hvcutil({"priority", "get", "S", "P", "-session", "nosuch"});
    EXPECT_EQ(run.ending, "exit 1");
    EXPECT_EQ(run.err, "hvcutil: EpSession::SessionNotExistException: No session named 'nosuch'\n");
}

TEST(Hvcutil, PasswordsComeFromStandardInputAndExistsAnswersYesOrNo) {
    Platform platform;
    ProgramRun run = hvcutil({"password", "set", "Store", "Proj"}, "hunter2\n");
    EXPECT_EQ(run.ending, "exit 0") << run.err;
    EXPECT_EQ(run.out + run.err, "");
    succeeded({"password", "set", "Store", "Dos"}, "p4ss word\r\nsecond line\n");

    EXPECT_EQ(succeeded({"password", "exists", "Store", "Proj"}), "yes\n");
    run = hvcutil({"password", "exists", "Store", "Other"});
    EXPECT_EQ(run.ending, "exit 3");
    EXPECT_EQ(run.out, "no\n");
    EXPECT_EQ(run.err, "");

    // On the command line it is refused, and nothing is recorded.
    run = hvcutil({"password", "set", "Store", "Listed", "hunter2"});
    EXPECT_EQ(run.ending, "exit 2");
    EXPECT_EQ(run.err, "hvcutil: password set takes the password on standard input, not on the "
                       "command line\n");
    run = hvcutil({"password", "set", "Store", "Empty"}, "");
    EXPECT_EQ(run.ending, "exit 2");
    EXPECT_EQ(run.err,
              "hvcutil: password set reads the password from standard input, which gave none\n");
    for (const char* project : {"Listed", "Empty"})
        EXPECT_EQ(hvcutil({"password", "exists", "Store", project}).ending, "exit 3") << project;

    // The platform opens what was sealed: the first line, without its line end.
    EpUser::UserProfile_var profile = hvc_util::UserProfile::getUserProfile();
    EXPECT_TRUE(profile->checkProjectPassword("Store", "Proj", "hunter2"));
    EXPECT_TRUE(profile->checkProjectPassword("Store", "Dos", "p4ss word"));
}

TEST(Hvcutil, APasswordTypedAtATerminalIsNotEchoed) {
    hvc_test::ScopedEnv user("USERNAME", "tester");
    int master = -1;
    int terminal = -1;
    ASSERT_EQ(::openpty(&master, &terminal, nullptr, nullptr, nullptr), 0);
    std::string seen;
    std::string ending;
    {
        hvc_test::ChildProcess tool({HVCUTIL_EXE, "--sandbox", "password", "set", "Store", "Proj"},
                                    terminal, terminal, terminal);
        ::close(terminal);
        // Reads what the terminal shows until `until` appears (empty: until
        // the tool has closed it).
        auto readUntil = [&](const std::string& until) {
            const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
            while ((until.empty() || seen.find(until) == std::string::npos) &&
                   std::chrono::steady_clock::now() < deadline) {
                pollfd p{master, POLLIN, 0};
                if (::poll(&p, 1, 100) <= 0)
                    continue;
                char buffer[512];
                const ssize_t n = ::read(master, buffer, sizeof buffer);
                if (n <= 0)
                    return;
                seen.append(buffer, static_cast<std::size_t>(n));
            }
        };
        readUntil("Password for Store/Proj: ");
        ASSERT_NE(seen.find("Password for Store/Proj: "), std::string::npos) << seen;
        ASSERT_EQ(::write(master, "typed-secret\n", 13), 13);
        readUntil("");
        ending = tool.waitForExit(30);
    }
    ::close(master);
    EXPECT_EQ(ending, "exit 0") << seen;
    EXPECT_EQ(seen.find("typed-secret"), std::string::npos) << seen;
}

TEST(Hvcutil, SandboxIsAnOptionOfHvcutilBeforeTheCommandOnly) {
    ProgramRun run = hvcutil({"session", "current", "--sandbox"});
    EXPECT_EQ(run.ending, "exit 2");
    EXPECT_EQ(run.err.rfind("usage: hvcutil session ", 0), 0u) << run.err;

    // After the command it is the command's word, an option's value included.
    hvc_test::ScopedEnv user("USERNAME", "tester");
    run = hvcutil({"--sandbox", "session", "current", "-session", "--sandbox"});
    EXPECT_EQ(run.ending, "exit 1");
    EXPECT_EQ(run.err,
              "hvcutil: EpTypes::BadArgumentsException: '--sandbox' is not a valid session name\n");

    run = hvcutil({"--verbose", "doctor"});
    EXPECT_EQ(run.ending, "exit 2");
    EXPECT_EQ(run.err.rfind("hvcutil: unknown option '--verbose'\nusage: hvcutil [--sandbox] ", 0),
              0u)
        << run.err;
    run = hvcutil({"--help"});
    EXPECT_EQ(run.ending, "exit 0");
    EXPECT_NE(run.out.find("\nexit status: 0 ok, 1 failure, 2 usage, 3 the answer \"no\" to a "
                           "yes/no question\n"),
              std::string::npos)
        << run.out;
}

TEST(Hvcutil, ANilSessionFromThePlatformIsSaidAndPointsAtDoctor) {
    const std::string noSession =
        "hvcutil: no current session: no session is named and a temporary one could not be "
        "created (the platform could not be reached or refused; run 'hvcutil doctor' to see "
        "why)\n";
    for (const auto& args : std::vector<std::vector<std::string>>{
             {"session", "current"}, {"interpreter", "set", "S", "P", "x"}}) {
        const ProgramRun run = hvcutil(args);
        EXPECT_EQ(run.ending, "exit 1");
        EXPECT_EQ(run.err, noSession);
    }
}
