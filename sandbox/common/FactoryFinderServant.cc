#include "FactoryFinderServant.h"

#include <cstring>

namespace hvc_sandbox {

void FactoryFinderServant::add(const std::string& repositoryId, CORBA::Object_ptr factory) {
    std::lock_guard<std::mutex> hold(lock);
    for (auto& f : factories)
        if (f.first == repositoryId) {
            f.second = CORBA::Object::_duplicate(factory);
            return;
        }
    factories.emplace_back(repositoryId, CORBA::Object::_duplicate(factory));
}

CosLifeCycle::Factories* FactoryFinderServant::find_factories(const CosLifeCycle::Key& key) {
    std::lock_guard<std::mutex> hold(lock);
    if (key.length() == 0)
        throw CosLifeCycle::NoFactory(key);
    const bool all = std::strcmp(key[0].id.in(), "*") == 0;
    CosLifeCycle::Factories_var out = new CosLifeCycle::Factories;
    for (const auto& f : factories) {
        if (!all && f.first != key[0].id.in())
            continue;
        const CORBA::ULong at = out->length();
        out->length(at + 1);
        out[at] = CORBA::Object::_duplicate(f.second.in());
    }
    if (out->length() == 0)
        throw CosLifeCycle::NoFactory(key);
    return out._retn();
}

} // namespace hvc_sandbox
