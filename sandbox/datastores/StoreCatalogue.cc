#include "StoreCatalogue.h"

#include "sandbox/common/DataKeyText.h"
#include "sandbox/common/JsonMembers.h"

#include <set>
#include <stdexcept>
#include <utility>

namespace hvc_sandbox {

// The bytes of stores.json, built in by the build.
extern const unsigned char storesJson[];
extern const std::size_t storesJsonSize;

namespace {

std::string plainName(const nlohmann::json& object, const char* member, const std::string& where) {
    std::string name = JsonMembers::text(object, member, where);
    if (!DataKeyText::isPlainName(name))
        throw std::runtime_error(where + ": \"" + member + "\" must be a non-empty name without " +
                                 "'%', '/', '|' or control characters");
    return name;
}

} // namespace

std::vector<StoreCatalogue::Store> StoreCatalogue::parse(const std::string& source) {
    nlohmann::json root;
    const nlohmann::json& storesList = JsonMembers::list(source, "data stores", "stores", root);

    std::vector<Store> stores;
    std::set<std::string> storeNames;
    for (const nlohmann::json& s : storesList) {
        const std::string where = "data store " + std::to_string(stores.size() + 1);
        if (!s.is_object())
            throw std::runtime_error(where + " must be an object");
        Store store;
        store.name = plainName(s, "name", where);
        store.factoryType = plainName(s, "factoryType", where);
        if (!storeNames.insert(store.name).second)
            throw std::runtime_error("data store " + store.name + " is named twice");
        if (!s.contains("objects") || !s["objects"].is_array())
            throw std::runtime_error("data store " + store.name + ": \"objects\" must be an array");
        std::set<std::pair<std::string, std::string>> keys;
        for (const nlohmann::json& o : s["objects"]) {
            const std::string at =
                "data store " + store.name + ", object " + std::to_string(store.objects.size() + 1);
            if (!o.is_object())
                throw std::runtime_error(at + " must be an object");
            Object object;
            object.projectName = JsonMembers::text(o, "project", at);
            object.localKey = JsonMembers::text(o, "localKey", at);
            object.dataType = JsonMembers::text(o, "dataType", at);
            object.entry = o;
            if (!keys.insert({object.projectName, object.localKey}).second)
                throw std::runtime_error(at + ": local key " + object.localKey +
                                         " is used twice in project " + object.projectName);
            store.objects.push_back(std::move(object));
        }
        stores.push_back(std::move(store));
    }
    return stores;
}

std::vector<StoreCatalogue::Store> StoreCatalogue::builtIn() {
    return parse(std::string(reinterpret_cast<const char*>(storesJson), storesJsonSize));
}

} // namespace hvc_sandbox
