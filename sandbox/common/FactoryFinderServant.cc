#include "FactoryFinderServant.h"

#include <EpFactory.hh>

#include <algorithm>

namespace hvc_sandbox {

void FactoryFinderServant::add(std::vector<Component> components, CORBA::Object_ptr factory) {
    std::lock_guard<std::mutex> hold(lock);
    entries.push_back({std::move(components), CORBA::Object::_duplicate(factory)});
}

void FactoryFinderServant::addInterface(const std::string& repositoryId,
                                        CORBA::Object_ptr factory) {
    add({{EpFactory::FACTORY_INTERFACE, repositoryId}}, factory);
}

CosLifeCycle::Factories* FactoryFinderServant::find_factories(const CosLifeCycle::Key& key) {
    std::lock_guard<std::mutex> hold(lock);
    CosLifeCycle::Factories_var found = new CosLifeCycle::Factories;
    for (const Entry& entry : entries) {
        const bool all = key.length() > 0 && [&] {
            for (CORBA::ULong i = 0; i < key.length(); ++i) {
                const bool has = std::any_of(
                    entry.components.begin(), entry.components.end(), [&](const Component& c) {
                        return c.id == key[i].id.in() && c.kind == key[i].kind.in();
                    });
                if (!has)
                    return false;
            }
            return true;
        }();
        if (!all)
            continue;
        const CORBA::ULong at = found->length();
        found->length(at + 1);
        found[at] = CORBA::Object::_duplicate(entry.factory.in());
    }
    if (found->length() == 0)
        throw CosLifeCycle::NoFactory(key);
    return found._retn();
}

} // namespace hvc_sandbox
