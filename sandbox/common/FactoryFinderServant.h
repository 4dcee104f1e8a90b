// A factory finder that hands out the factories registered with it, keyed by
// their interface's repository id.
#pragma once

#include <CosLifeCycle.hh>

#include <map>
#include <mutex>
#include <string>

namespace hvc_sandbox {

// Holds one reference of its own to each registered factory.
class FactoryFinderServant : public POA_CosLifeCycle::FactoryFinder {
public:
    void add(const std::string& repositoryId, CORBA::Object_ptr factory);

    // The factories whose repository id is the key's first id; raises
    // CosLifeCycle::NoFactory when there are none.
    CosLifeCycle::Factories* find_factories(const CosLifeCycle::Key& key) override;

private:
    std::mutex lock;
    std::map<std::string, CORBA::Object_var> factories;
};

} // namespace hvc_sandbox
