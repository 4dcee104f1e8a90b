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

// The process's current session (a new reference the caller owns); raises
// std::runtime_error when there is none.
EpSession::Session_ptr currentSession();

} // namespace hvcutil
