// How hvcutil reports failures and misuse: one line on stderr and an exit
// status.
#pragma once

#include <functional>

namespace hvcutil {

// hvcutil's exit statuses.
enum ExitStatus {
    exitOk = 0,
    exitFailure = 1,
    exitUsage = 2,
    exitNo = 3, // the answer "no" to a yes/no question, which is no failure
};

// Runs `body`, turning the library's failures into a line on stderr and
// exitFailure. Main runs every command through it.
int reporting(const std::function<int()>& body);

// Prints `usage` for `command` on stderr; returns exitUsage.
int usageOf(const char* command, const char* usage);

} // namespace hvcutil
