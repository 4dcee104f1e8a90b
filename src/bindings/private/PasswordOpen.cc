// The platform's side of sealed passwords: key pairs and opening.
#include "bindings/private/PasswordSeal.h"

#include "bindings/private/SodiumText.h"

#include <sodium.h>

namespace hvc_util {

bool PasswordSeal::open(const std::string& publicKeyBase64, const std::string& secretKeyBase64,
                        const std::string& sealed, std::string& clear) {
    std::vector<unsigned char> pub, sec, box;
    const std::string head(prefix);
    if (!SodiumText::ready() || sealed.compare(0, head.size(), head) != 0 ||
        !SodiumText::fromBase64(publicKeyBase64, pub) ||
        !SodiumText::fromBase64(secretKeyBase64, sec) ||
        !SodiumText::fromBase64(sealed.substr(head.size()), box) ||
        pub.size() != crypto_box_PUBLICKEYBYTES || sec.size() != crypto_box_SECRETKEYBYTES ||
        box.size() < crypto_box_SEALBYTES)
        return false;
    std::vector<unsigned char> out(box.size() - crypto_box_SEALBYTES);
    if (crypto_box_seal_open(out.data(), box.data(), box.size(), pub.data(), sec.data()) != 0)
        return false;
    clear.assign(out.begin(), out.end());
    sodium_memzero(sec.data(), sec.size());
    return true;
}

void PasswordSeal::keyPair(std::string& publicKeyBase64, std::string& secretKeyBase64) {
    unsigned char pub[crypto_box_PUBLICKEYBYTES];
    unsigned char sec[crypto_box_SECRETKEYBYTES];
    SodiumText::ready();
    crypto_box_keypair(pub, sec);
    publicKeyBase64 = SodiumText::toBase64(pub, sizeof pub);
    secretKeyBase64 = SodiumText::toBase64(sec, sizeof sec);
    sodium_memzero(sec, sizeof sec);
}

bool PasswordSeal::publicKeyOf(const std::string& secretKeyBase64, std::string& publicKeyBase64) {
    std::vector<unsigned char> sec;
    if (!SodiumText::ready() || !SodiumText::fromBase64(secretKeyBase64, sec) ||
        sec.size() != crypto_box_SECRETKEYBYTES)
        return false;
    unsigned char pub[crypto_box_PUBLICKEYBYTES];
    const bool derived = crypto_scalarmult_base(pub, sec.data()) == 0;
    sodium_memzero(sec.data(), sec.size());
    if (derived)
        publicKeyBase64 = SodiumText::toBase64(pub, sizeof pub);
    return derived;
}

} // namespace hvc_util
