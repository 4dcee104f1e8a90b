// How hvcutil reports failures and misuse: one line on stderr and an exit
// status.
#pragma once

#include <functional>

namespace hvcutil {

// Runs `body`, turning the library's failures into a line on stderr and
// exit status 1. Main runs every command through it.
int reporting(const std::function<int()>& body);

// Prints `usage` for `command` on stderr; returns exit status 2.
int usageOf(const char* command, const char* usage);

} // namespace hvcutil
