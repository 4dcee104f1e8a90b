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

std::string Diagnostics::describe(const CORBA::Exception& e) {
    std::string text = "CORBA::";
    text += e._name();
    const auto* sys = CORBA::SystemException::_downcast(const_cast<CORBA::Exception*>(&e));
    if (sys == nullptr) {
        text = e._rep_id();
        return text;
    }
    const char* minor = sys->NP_minorString();
    char code[32];
    std::snprintf(code, sizeof code, "0x%lx", static_cast<unsigned long>(sys->minor()));
    text += " (minor ";
    text += minor != nullptr ? minor : code;
    switch (sys->completed()) {
    case CORBA::COMPLETED_YES:
        text += ", completed yes)";
        break;
    case CORBA::COMPLETED_NO:
        text += ", completed no)";
        break;
    default:
        text += ", completed maybe)";
        break;
    }
    return text;
}

} // namespace hvc_util
