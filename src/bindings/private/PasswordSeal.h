// Sealed-box password texts: the library seals with the platform's public key,
// the platform's side (the sandbox) opens them with its secret key.
#pragma once

#include <string>

namespace hvc_util {

// Pure functions over base64 keys; safe from any thread. Sealing is the
// library's side; opening and key pairs are the platform's, in a source of
// their own so the shared library does not carry them.
class PasswordSeal {
public:
    // The prefix of every sealed text.
    static const char* const prefix;

    // Seals `clear` to the base64 public key. Returns the sealed text, or an
    // empty string when the key is not a valid base64 public key.
    static std::string seal(const std::string& publicKeyBase64, const std::string& clear);

    // Opens a sealed text with the base64 key pair; false when the text is
    // not sealed to that pair.
    static bool open(const std::string& publicKeyBase64, const std::string& secretKeyBase64,
                     const std::string& sealed, std::string& clear);

    // A fresh key pair, both in base64.
    static void keyPair(std::string& publicKeyBase64, std::string& secretKeyBase64);

    // The public key of a base64 secret key; false when it is none.
    static bool publicKeyOf(const std::string& secretKeyBase64, std::string& publicKeyBase64);
};

} // namespace hvc_util
