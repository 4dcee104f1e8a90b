#include "FactoryFinderServant.h"

namespace hvc_sandbox {

void FactoryFinderServant::add(const std::string& repositoryId, CORBA::Object_ptr factory) {
    std::lock_guard<std::mutex> hold(lock);
    factories[repositoryId] = CORBA::Object::_duplicate(factory);
}

CosLifeCycle::Factories* FactoryFinderServant::find_factories(const CosLifeCycle::Key& key) {
    std::lock_guard<std::mutex> hold(lock);
    if (key.length() == 0)
        throw CosLifeCycle::NoFactory(key);
    auto found = factories.find(key[0].id.in());
    if (found == factories.end())
        throw CosLifeCycle::NoFactory(key);
    CosLifeCycle::Factories_var out = new CosLifeCycle::Factories;
    out->length(1);
    out[0] = CORBA::Object::_duplicate(found->second.in());
    return out._retn();
}

} // namespace hvc_sandbox
