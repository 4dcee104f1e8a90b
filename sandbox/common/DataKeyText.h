// The text forms of a data key, shared by the sessions (which convert current
// keys) and the data stores (which convert both forms).
//
// Current form: "hvc:" STORE "/" PROJECT "/" LOCALKEY.
// Older form:   LOCALKEY "|StoreKey|name=" STORE "|factoryType=" TYPE
//               "|project=" PROJECT
// PROJECT and LOCALKEY are written with '%', '/', '|' and control characters
// as "%XX"; store names and factory types never hold them.
#pragma once

#include <string>

namespace hvc_sandbox {

class DataKeyText {
public:
    struct Parts {
        std::string storeName;
        std::string factoryType; // empty in the current form
        std::string projectName;
        std::string localKey;
    };

    static std::string current(const std::string& storeName, const std::string& projectName,
                               const std::string& localKey);
    static std::string older(const std::string& storeName, const std::string& factoryType,
                             const std::string& projectName, const std::string& localKey);

    // Whether the key carries the older form's marker.
    static bool isOlder(const std::string& key);
    // False when the text is not a key of that form.
    static bool parseCurrent(const std::string& key, Parts& out);
    static bool parseOlder(const std::string& key, Parts& out);

    // Whether a store name or factory type can stand in a key as it is.
    static bool isPlainName(const std::string& name);
};

} // namespace hvc_sandbox
