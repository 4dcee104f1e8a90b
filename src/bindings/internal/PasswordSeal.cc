#include "bindings/internal/PasswordSeal.h"

#include "bindings/Environment.h"

#include <sodium.h>

#include <fstream>
#include <vector>

namespace hvc_util {

const char* const PasswordSeal::prefix = "sealed:";

namespace {

bool ready() {
    static const bool ok = sodium_init() >= 0;
    return ok;
}

std::string toBase64(const unsigned char* bytes, size_t size) {
    std::string text(sodium_base64_encoded_len(size, sodium_base64_VARIANT_ORIGINAL), '\0');
    sodium_bin2base64(text.data(), text.size(), bytes, size, sodium_base64_VARIANT_ORIGINAL);
    text.resize(text.size() - 1); // the encoder's NUL
    return text;
}

bool fromBase64(const std::string& text, std::vector<unsigned char>& bytes) {
    bytes.resize(text.size());
    size_t size = 0;
    if (sodium_base642bin(bytes.data(), bytes.size(), text.data(), text.size(), " \t\r\n", &size,
                          nullptr, sodium_base64_VARIANT_ORIGINAL) != 0)
        return false;
    bytes.resize(size);
    return true;
}

} // namespace

std::string PasswordSeal::seal(const std::string& publicKeyBase64, const std::string& clear) {
    std::vector<unsigned char> key;
    if (!ready() || !fromBase64(publicKeyBase64, key) || key.size() != crypto_box_PUBLICKEYBYTES)
        return std::string();
    std::vector<unsigned char> sealed(crypto_box_SEALBYTES + clear.size());
    crypto_box_seal(sealed.data(), reinterpret_cast<const unsigned char*>(clear.data()),
                    clear.size(), key.data());
    return prefix + toBase64(sealed.data(), sealed.size());
}

bool PasswordSeal::open(const std::string& publicKeyBase64, const std::string& secretKeyBase64,
                        const std::string& sealed, std::string& clear) {
    std::vector<unsigned char> pub, sec, box;
    const std::string head(prefix);
    if (!ready() || sealed.compare(0, head.size(), head) != 0 ||
        !fromBase64(publicKeyBase64, pub) || !fromBase64(secretKeyBase64, sec) ||
        !fromBase64(sealed.substr(head.size()), box) || pub.size() != crypto_box_PUBLICKEYBYTES ||
        sec.size() != crypto_box_SECRETKEYBYTES || box.size() < crypto_box_SEALBYTES)
        return false;
    std::vector<unsigned char> out(box.size() - crypto_box_SEALBYTES);
    if (crypto_box_seal_open(out.data(), box.data(), box.size(), pub.data(), sec.data()) != 0)
        return false;
    clear.assign(out.begin(), out.end());
    return true;
}

void PasswordSeal::keyPair(std::string& publicKeyBase64, std::string& secretKeyBase64) {
    unsigned char pub[crypto_box_PUBLICKEYBYTES];
    unsigned char sec[crypto_box_SECRETKEYBYTES];
    ready();
    crypto_box_keypair(pub, sec);
    publicKeyBase64 = toBase64(pub, sizeof pub);
    secretKeyBase64 = toBase64(sec, sizeof sec);
    sodium_memzero(sec, sizeof sec);
}

std::string PasswordSeal::configuredPublicKey() {
    if (const char* key = Environment::get("HVC_PASSWORD_KEY"); key != nullptr && *key != '\0')
        return key;
    const char* home = Environment::get("HVC_HOME");
    if (home == nullptr)
        return std::string();
    std::ifstream file(std::string(home) + "/etc/password.pub");
    std::string line;
    std::getline(file, line);
    return line;
}

} // namespace hvc_util
