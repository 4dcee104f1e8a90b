// What the commands of hvcutil share: the platform's standard options, the
// current session, and reporting the library's failures.
#pragma once

#include <EpSession.hh>

#include <functional>
#include <string>
#include <vector>

namespace hvcutil {

// Acts on -session, -projectSet and -envfile (through
// Session::parseCmdLineArgs) and returns the other words, in order.
std::vector<std::string> standardOptions(const std::vector<std::string>& args);

// The process's current session (a new reference the caller owns); raises
// std::runtime_error when there is none.
EpSession::Session_ptr currentSession();

// Runs `body`, turning the library's failures into a line on stderr and
// exit status 1. Main runs every command through it.
int reporting(const std::function<int()>& body);

// Prints `usage` for `command` on stderr; returns exit status 2.
int usageOf(const char* command, const char* usage);

} // namespace hvcutil
