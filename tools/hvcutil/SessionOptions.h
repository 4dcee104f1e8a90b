// The platform's standard options on hvcutil's command line, and the session
// they name.
#pragma once

#include <EpSession.hh>

#include <string>
#include <vector>

namespace hvcutil {

// Acts on -session, -projectSet and -envfile (through
// Session::parseCmdLineArgs) and returns the other words, in order.
std::vector<std::string> standardOptions(const std::vector<std::string>& args);

// Takes the word --keep out of `words`; true when it was there.
bool takeKeep(std::vector<std::string>& words);

// Whether the current session is named (halvercast.sessionName, set by
// -session, an -envfile or the caller's environment).
bool sessionNamed();

// For a command that only reads a session: without a session name it says
// that it needs one and returns exitUsage; otherwise exitOk.
int requireSessionName(const char* command);

// The session a command works in: the named one, or else a new temporary
// session that the command removes when it ends, unless it is kept.
class CurrentSession {
public:
    // The named session: its failure reaches the caller as the library raises
    // it (an unknown name is EpSession::SessionNotExistException). Without a
    // name, Session::getSession() makes a temporary one; when it answers nil,
    // std::runtime_error says so and points at hvcutil doctor.
    explicit CurrentSession(bool keep);
    // Removes a temporary session this command made and did not keep, on
    // every path out of the command; a failure to do so is a line on stderr.
    ~CurrentSession();
    CurrentSession(const CurrentSession&) = delete;
    CurrentSession& operator=(const CurrentSession&) = delete;

    EpSession::Session_ptr in() const { return session.in(); }
    // Whether this command made the session as a temporary one.
    bool temporary() const { return made; }
    const std::string& name() const { return sessionName; }

    // Ends the command that would return `status`: removes the temporary
    // session unless kept, in which case its name is printed ("session:
    // NAME") when `announceKept`. Returns `status`, or exitFailure when the
    // removal failed.
    int finish(int status, bool announceKept = true);

private:
    EpSession::Session_var session;
    std::string sessionName;
    bool keep;
    bool made = false;
    bool finished = false;
};

} // namespace hvcutil
