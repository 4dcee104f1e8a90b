#include "bindings/internal/hvc_internal.h"

#include "bindings/Environment.h"
#include "bindings/private/PasswordSeal.h"
#include "hvc_util/ServiceCatalogue.h"

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <optional>
#include <string>

namespace {

// Per thread, as errno is: the failure of this thread's last call.
thread_local const char* lastError = "";

// The platform's public key: HVC_PASSWORD_KEY, else the first line of
// $HVC_HOME/etc/password.pub; empty when neither is available.
std::string configuredPublicKey() {
    if (std::optional<std::string> key = hvc_util::Environment::get("HVC_PASSWORD_KEY");
        key && !key->empty())
        return *key;
    const std::optional<std::string> home = hvc_util::Environment::get("HVC_HOME");
    if (!home)
        return std::string();
    std::ifstream file(*home + "/etc/password.pub");
    std::string line;
    std::getline(file, line);
    return line;
}

char* copy(const std::string& text) {
    char* out = static_cast<char*>(std::malloc(text.size() + 1));
    if (out != nullptr)
        std::memcpy(out, text.c_str(), text.size() + 1);
    return out;
}

} // namespace

extern "C" {

char* hvc_util_internal_get_principal(void) {
    const std::optional<std::string> name = hvc_util::Environment::userName();
    if (!name) {
        lastError = "no user name in the environment (USERNAME, LOGNAME, USER)";
        return nullptr;
    }
    return copy(*name);
}

char* hvc_util_internal_get_user_profile_name(const char* account) {
    if (account == nullptr || *account == '\0') {
        lastError = "no account";
        return nullptr;
    }
    // The user server registers each profile under the catalogue's prefix.
    return copy(std::string(hvc_util::ServiceCatalogue::entry(
                                hvc_util::ServiceCatalogue::Service::UserProfile)
                                .bindName) +
                account);
}

char* hvc_util_internal_id_to_key(int id) {
    return copy("user:" + std::to_string(id));
}

char* hvc_util_internal_encrypt(const char* text) {
    if (text == nullptr) {
        lastError = "no password text";
        return nullptr;
    }
    std::string key = configuredPublicKey();
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

const char* hvc_util_internal_last_error(void) {
    return lastError;
}

void hvc_util_internal_free_string(char* text) {
    std::free(text);
}

} // extern "C"
