// Base64 texts of libsodium keys and boxes, shared by sealing and opening.
#pragma once

#include <string>
#include <vector>

namespace hvc_util {

class SodiumText {
public:
    // Whether libsodium is initialised (once per process).
    static bool ready();
    static std::string toBase64(const unsigned char* bytes, std::size_t size);
    // False when `text` is no base64 text (blanks and line ends are skipped).
    static bool fromBase64(const std::string& text, std::vector<unsigned char>& bytes);
};

} // namespace hvc_util
