#include "bindings/private/PasswordSeal.h"

#include "bindings/private/SodiumText.h"

#include <sodium.h>

namespace hvc_util {

const char* const PasswordSeal::prefix = "sealed:";

std::string PasswordSeal::seal(const std::string& publicKeyBase64, const std::string& clear) {
    std::vector<unsigned char> key;
    if (!SodiumText::ready() || !SodiumText::fromBase64(publicKeyBase64, key) ||
        key.size() != crypto_box_PUBLICKEYBYTES)
        return std::string();
    std::vector<unsigned char> sealed(crypto_box_SEALBYTES + clear.size());
    crypto_box_seal(sealed.data(), reinterpret_cast<const unsigned char*>(clear.data()),
                    clear.size(), key.data());
    return prefix + SodiumText::toBase64(sealed.data(), sealed.size());
}

} // namespace hvc_util
