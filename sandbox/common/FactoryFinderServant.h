// A factory finder that hands out the factories registered with it, each
// registered under the name components (id and kind) it answers to.
#pragma once

#include <CosLifeCycle.hh>

#include <mutex>
#include <string>
#include <vector>

namespace hvc_sandbox {

// Holds one reference of its own to each registered factory. Safe to use
// from any thread.
class FactoryFinderServant : public POA_CosLifeCycle::FactoryFinder {
public:
    struct Component {
        std::string kind;
        std::string id;
    };

    // Registers `factory` under `components`.
    void add(std::vector<Component> components, CORBA::Object_ptr factory);
    // Registers `factory` under its interface: one component of kind
    // EpFactory::FACTORY_INTERFACE holding the repository id.
    void addInterface(const std::string& repositoryId, CORBA::Object_ptr factory);

    // The factories registered under every component of the key (its id and
    // its kind alike), in registration order; raises CosLifeCycle::NoFactory
    // when none is, or the key is empty.
    CosLifeCycle::Factories* find_factories(const CosLifeCycle::Key& key) override;

private:
    struct Entry {
        std::vector<Component> components;
        CORBA::Object_var factory;
    };
    std::mutex lock;
    std::vector<Entry> entries;
};

} // namespace hvc_sandbox
