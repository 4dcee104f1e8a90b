#include "bindings/internal/hvc_internal.h"

#include "bindings/Environment.h"
#include "bindings/internal/PasswordSeal.h"

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

const char* lastError = "";

char* copy(const std::string& text) {
    char* out = static_cast<char*>(std::malloc(text.size() + 1));
    if (out != nullptr)
        std::memcpy(out, text.c_str(), text.size() + 1);
    return out;
}

} // namespace

extern "C" {

char* hvc_util_internal_get_principal(void) {
    const char* name = hvc_util::Environment::userName();
    if (name == nullptr) {
        lastError = "no user name in the environment (USERNAME, LOGNAME, USER)";
        return nullptr;
    }
    return copy(name);
}

char* hvc_util_internal_get_user_profile_name(const char* account) {
    if (account == nullptr || *account == '\0') {
        lastError = "no account";
        return nullptr;
    }
    return copy(std::string("UserProfile.") + account);
}

char* hvc_util_internal_id_to_key(int id) { return copy("user:" + std::to_string(id)); }

char* hvc_util_internal_encrypt(const char* text) {
    if (text == nullptr) {
        lastError = "no password text";
        return nullptr;
    }
    std::string key = hvc_util::PasswordSeal::configuredPublicKey();
    if (key.empty()) {
        lastError = "no platform public key (set HVC_PASSWORD_KEY or provide "
                    "$HVC_HOME/etc/password.pub)";
        return nullptr;
    }
    std::string sealed = hvc_util::PasswordSeal::seal(key, text);
    if (sealed.empty()) {
        lastError = "the platform public key is not a valid key";
        return nullptr;
    }
    return copy(sealed);
}

const char* hvc_util_internal_last_error(void) { return lastError; }

void hvc_util_internal_free_string(char* text) { std::free(text); }

} // extern "C"
