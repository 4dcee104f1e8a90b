#include "bindings/Diagnostics.h"

#include <cstdarg>
#include <cstdio>
#include <iostream>

namespace hvc_util {

void Diagnostics::print(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::vfprintf(stderr, format, args);
    va_end(args);
    std::fflush(stderr);
}

void Diagnostics::line(const std::string& text) {
    std::cerr << text << std::endl;
}

} // namespace hvc_util
