#include "SessionOptions.h"

#include "Reporting.h"

#include "hvc_util/Session.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>

namespace hvcutil {

namespace {

const char* const sessionNameVariable = "halvercast.sessionName";

// getSession() answers nil without saying why: the reason is on the platform's side.
const char* const noTemporarySession =
    "no current session: no session is named and a temporary one could not be created (the "
    "platform could not be reached or refused; run 'hvcutil doctor' to see why)";

} // namespace

std::vector<std::string> standardOptions(const std::vector<std::string>& args) {
    std::vector<const char*> argv;
    argv.push_back("hvcutil");
    for (const std::string& a : args)
        argv.push_back(a.c_str());
    int kept = 0;
    char** rest =
        hvc_util::Session::parseCmdLineArgs(argv.data(), static_cast<int>(argv.size()), &kept);
    std::vector<std::string> words;
    for (int i = 0; i < kept; ++i) {
        if (i > 0)
            words.push_back(rest[i]);
        delete[] rest[i];
    }
    delete[] rest;
    return words;
}

bool takeKeep(std::vector<std::string>& words) {
    auto at = std::find(words.begin(), words.end(), "--keep");
    if (at == words.end())
        return false;
    words.erase(at);
    return true;
}

bool sessionNamed() {
    return std::getenv(sessionNameVariable) != nullptr;
}

int requireSessionName(const char* command) {
    if (sessionNamed())
        return exitOk;
    std::fprintf(stderr,
                 "hvcutil: %s needs a session name (-session NAME): a read does not create a "
                 "temporary session\n",
                 command);
    return exitUsage;
}

CurrentSession::CurrentSession(bool keepIt) : keep(keepIt) {
    if (const char* named = std::getenv(sessionNameVariable); named != nullptr) {
        // Asked by name, the library says exactly why it cannot be had.
        sessionName = named;
        session = hvc_util::Session::getSession(hvc_util::String(named));
        return;
    }
    session = hvc_util::Session::getSession();
    if (CORBA::is_nil(session))
        throw std::runtime_error(noTemporarySession);
    made = true;
    try {
        CORBA::String_var name = session->name();
        sessionName = name.in();
    } catch (...) {
        finish(exitFailure); // no destructor runs for this object
        throw;
    }
}

CurrentSession::~CurrentSession() {
    if (!finished)
        finish(exitFailure);
}

int CurrentSession::finish(int status, bool announceKept) {
    if (finished || !made)
        return status;
    finished = true;
    if (keep) {
        if (announceKept)
            std::printf("session: %s\n", sessionName.c_str());
        return status;
    }
    const int removal = reporting([&] {
        hvc_util::Session::removeIfTemporary(session);
        return exitOk;
    });
    if (removal == exitOk)
        return status;
    std::fprintf(stderr, "hvcutil: the temporary session %s is left on the platform\n",
                 sessionName.c_str());
    return exitFailure;
}

} // namespace hvcutil
