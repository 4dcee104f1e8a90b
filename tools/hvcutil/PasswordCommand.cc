// hvcutil password: the user's project passwords, kept sealed by the profile.
#include "CommandTable.h"
#include "Reporting.h"
#include "SessionOptions.h"

#include "hvc_util/UserProfile.h"

#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>
#include <termios.h>
#include <unistd.h>

namespace hvcutil {

namespace {

const char* const usage = "set STORE PROJECT (the password on standard input) | "
                          "exists STORE PROJECT [-envfile FILE]";

// The terminal's settings while echo is off, for a signal to put back.
termios echoing;
volatile std::sig_atomic_t echoOff = 0;

void restoreEcho(int signal) {
    if (echoOff != 0)
        ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &echoing);
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

// Reads one line without its line end; false at end of input before any.
bool readLine(std::string& line) {
    line.clear();
    int c;
    bool any = false;
    while ((c = std::getchar()) != EOF) {
        any = true;
        if (c == '\n')
            break;
        line += static_cast<char>(c);
    }
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return any;
}

// The password: the first line of standard input, or on a terminal the
// answer to a prompt typed with echo off. False when none is given.
bool readPassword(const std::string& store, const std::string& project, std::string& password) {
    if (::isatty(STDIN_FILENO) == 0 || ::tcgetattr(STDIN_FILENO, &echoing) != 0)
        return readLine(password);
    termios quiet = echoing;
    quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
    quiet.c_lflag |= ECHONL;
    const int signals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};
    for (int s : signals)
        std::signal(s, restoreEcho);
    echoOff = 1;
    ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet);
    // Echo is off before the prompt shows, so nothing typed after it echoes.
    std::fprintf(stderr, "Password for %s/%s: ", store.c_str(), project.c_str());
    std::fflush(stderr);
    const bool given = readLine(password);
    ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &echoing);
    echoOff = 0;
    for (int s : signals)
        std::signal(s, SIG_DFL);
    return given;
}

// Clears the password's bytes before its memory is given back.
struct Wiped {
    std::string& text;
    ~Wiped() { ::explicit_bzero(text.data(), text.size()); }
};

int set(const std::string& store, const std::string& project) {
    std::string password;
    const Wiped wiped{password};
    if (!readPassword(store, project, password)) {
        std::fprintf(stderr, "hvcutil: password set reads the password from standard input, "
                             "which gave none\n");
        return exitUsage;
    }
    EpUser::UserProfile_var profile = hvc_util::UserProfile::getUserProfile();
    const char* stores[] = {store.c_str()};
    const char* projects[] = {project.c_str()};
    const char* passwords[] = {password.c_str()};
    hvc_util::UserProfile::setProjectPassword(profile, stores, projects, passwords, 1);
    return exitOk;
}

int run(const std::vector<std::string>& args) {
    const std::vector<std::string> words = standardOptions(args);
    if (words.size() == 3 && words[0] == "set")
        return set(words[1], words[2]);
    if (words.size() == 4 && words[0] == "set") {
        // Every process listing would show it; it is not passed on.
        std::fprintf(stderr, "hvcutil: password set takes the password on standard input, not "
                             "on the command line\n");
        return exitUsage;
    }
    if (words.size() == 3 && words[0] == "exists") {
        EpUser::UserProfile_var profile = hvc_util::UserProfile::getUserProfile();
        const bool known = hvc_util::UserProfile::projectPasswordExists(profile, words[1].c_str(),
                                                                        words[2].c_str());
        std::printf("%s\n", known ? "yes" : "no");
        return known ? exitOk : exitNo;
    }
    return usageOf("password", usage);
}

const CommandRegistration registration({"password", usage,
                                        "record a project password (read from standard input, "
                                        "sealed before it leaves this process) or ask whether "
                                        "one is recorded (exit 0 yes, 3 no)",
                                        run});

} // namespace

} // namespace hvcutil
