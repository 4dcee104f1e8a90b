#include "bindings/private/SodiumText.h"

#include <sodium.h>

namespace hvc_util {

bool SodiumText::ready() {
    static const bool ok = sodium_init() >= 0;
    return ok;
}

std::string SodiumText::toBase64(const unsigned char* bytes, std::size_t size) {
    std::string text(sodium_base64_encoded_len(size, sodium_base64_VARIANT_ORIGINAL), '\0');
    sodium_bin2base64(text.data(), text.size(), bytes, size, sodium_base64_VARIANT_ORIGINAL);
    text.resize(text.size() - 1); // the encoder's NUL
    return text;
}

bool SodiumText::fromBase64(const std::string& text, std::vector<unsigned char>& bytes) {
    bytes.resize(text.size());
    size_t size = 0;
    if (sodium_base642bin(bytes.data(), bytes.size(), text.data(), text.size(), " \t\r\n", &size,
                          nullptr, sodium_base64_VARIANT_ORIGINAL) != 0)
        return false;
    bytes.resize(size);
    return true;
}

} // namespace hvc_util
