// BootStrapIORs::setIORs over arbitrary script output: it either loads every
// NAME=VALUE line into the environment, or stops at the first bad line with
// that line's failure text, the lines before it loaded. The environment is
// compared with what the lines say and put back after every input.
#include <hvc_util/BootStrapIORs.h>

#include "FuzzCheck.h"
#include "FuzzEnvironment.h"

#include <EpTypes.hh>

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace {

// The script's output is cut at 8191 bytes; a little more still exercises
// every path and keeps the environment small.
constexpr std::size_t inputLimit = 8192;

bool isNameChar(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
}

bool isLineEnd(char c) {
    return c == '\r' || c == '\n';
}

// What the text should do: the entries it loads, in order, and the failure
// that stops it (empty when it loads all).
struct Expected {
    std::vector<std::pair<std::string, std::string>> entries;
    std::string failure;
};

Expected expectedOf(const std::string& text) {
    Expected out;
    std::size_t p = 0;
    while (p < text.size() && isNameChar(text[p]))
        ++p;
    if (p == text.size() || text[p] != '=') {
        out.failure = "BootstrapIOR Error : " + text;
        return out;
    }
    std::size_t line = 0;
    while (line < text.size()) {
        std::size_t q = line;
        while (q < text.size() && isNameChar(text[q]))
            ++q;
        if (q == text.size() || text[q] != '=') {
            out.failure = "BootstrapIOR : Error when parsing variable: Didn't encounter '=' when "
                          "reading name of variable " +
                          text.substr(line);
            return out;
        }
        std::size_t end = q + 1;
        while (end < text.size() && !isLineEnd(text[end]))
            ++end;
        if (q == line) {
            out.failure = "BootstrapIOR : Could not set the environment variable : " +
                          text.substr(line, end - line);
            return out;
        }
        out.entries.emplace_back(text.substr(line, q - line), text.substr(q + 1, end - q - 1));
        while (end < text.size() && isLineEnd(text[end]))
            ++end;
        line = end;
    }
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > inputLimit)
        return 0;
    static const hvc_fuzz::EnvironmentMap before = hvc_fuzz::environmentNow();
    std::string text(reinterpret_cast<const char*>(data), size);
    if (const std::size_t nul = text.find('\0'); nul != std::string::npos)
        text.resize(nul); // the operation reads a C string
    const Expected expected = expectedOf(text);

    std::string failure;
    try {
        HVC_FUZZ_CHECK(hvc_util::BootStrapIORs::setIORs(text.c_str()));
    } catch (const EpTypes::FailedOperationException& e) {
        failure = e.reason.in();
        HVC_FUZZ_CHECK(!failure.empty());
    }
    HVC_FUZZ_CHECK(failure == expected.failure);
    HVC_FUZZ_CHECK(hvc_fuzz::environmentNow() == hvc_fuzz::withEntries(before, expected.entries));
    hvc_fuzz::restoreEnvironment(before);
    return 0;
}
