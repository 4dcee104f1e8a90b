// Diagnostic lines on standard error: the library's only output.
#pragma once

#include <omniORB4/CORBA.h>

#include <string>

namespace hvc_util {

class Diagnostics {
public:
    // C formatted printing to stderr, as the platform's tools read it.
    static void print(const char* format, ...) __attribute__((format(printf, 1, 2)));

    // One line on the `cerr` stream, ended by a newline and a flush.
    static void line(const std::string& text);
};

} // namespace hvc_util
