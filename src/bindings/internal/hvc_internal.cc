#include "bindings/internal/hvc_internal.h"

#include "bindings/Environment.h"
#include "bindings/private/PasswordSeal.h"
#include "hvc_util/ServiceCatalogue.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <fstream>
#include <new>
#include <optional>
#include <string>

namespace {

// Per thread, so that one thread's failure never answers another's question.
// A fixed buffer: recording a failure must not itself allocate.
thread_local char lastError[256] = "";

void setLastError(const char* text) {
    std::snprintf(lastError, sizeof lastError, "%s", text);
}

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
    if (out == nullptr) {
        setLastError("out of memory");
        return nullptr;
    }
    std::memcpy(out, text.c_str(), text.size() + 1);
    return out;
}

// Runs the body of a C function: nothing may leave through the C interface,
// so every exception becomes null with its reason recorded.
template <class Body> char* guarded(Body&& body) noexcept {
    try {
        return body();
    } catch (const std::bad_alloc&) {
        setLastError("out of memory");
    } catch (const std::exception& e) {
        std::snprintf(lastError, sizeof lastError, "internal failure: %s", e.what());
    } catch (...) {
        setLastError("internal failure");
    }
    return nullptr;
}

} // namespace

extern "C" {

char* hvc_util_internal_get_principal(void) {
    return guarded([]() -> char* {
        const std::optional<std::string> name = hvc_util::Environment::userName();
        if (!name) {
            setLastError("no user name in the environment (USERNAME, LOGNAME, USER)");
            return nullptr;
        }
        return copy(*name);
    });
}

char* hvc_util_internal_get_user_profile_name(const char* account) {
    return guarded([account]() -> char* {
        if (account == nullptr || *account == '\0') {
            setLastError("no account");
            return nullptr;
        }
        // The user server registers each profile under the catalogue's prefix.
        return copy(std::string(hvc_util::ServiceCatalogue::entry(
                                    hvc_util::ServiceCatalogue::Service::UserProfile)
                                    .bindName) +
                    account);
    });
}

char* hvc_util_internal_id_to_key(int id) {
    return guarded([id] { return copy("user:" + std::to_string(id)); });
}

char* hvc_util_internal_encrypt(const char* text) {
    return guarded([text]() -> char* {
        if (text == nullptr) {
            setLastError("no password text");
            return nullptr;
        }
        std::string key = configuredPublicKey();
        if (key.empty()) {
            setLastError("no platform public key (set HVC_PASSWORD_KEY or provide "
                         "$HVC_HOME/etc/password.pub)");
            return nullptr;
        }
        std::string sealed = hvc_util::PasswordSeal::seal(key, text);
        if (sealed.empty()) {
            setLastError("the platform public key is not a valid key");
            return nullptr;
        }
        return copy(sealed);
    });
}

const char* hvc_util_internal_last_error(void) {
    return lastError;
}

void hvc_util_internal_free_string(char* text) {
    std::free(text);
}

} // extern "C"
