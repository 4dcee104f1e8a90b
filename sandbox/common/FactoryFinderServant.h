// A factory finder that hands out the factories registered with it, keyed by
// their interface's repository id.
#pragma once

#include <CosLifeCycle.hh>

#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace hvc_sandbox {

// Holds one reference of its own to each registered factory. Serves any
// number of clients at once.
class FactoryFinderServant : public POA_CosLifeCycle::FactoryFinder {
public:
    // Registers `factory` under its interface's repository id; the id "*"
    // of a key asks for every factory, in the order they were added.
    void add(const std::string& repositoryId, CORBA::Object_ptr factory);

    // The factories whose repository id is the key's first id (every one
    // for "*"); raises CosLifeCycle::NoFactory when there are none.
    CosLifeCycle::Factories* find_factories(const CosLifeCycle::Key& key) override;

private:
    std::mutex lock;
    std::vector<std::pair<std::string, CORBA::Object_var>> factories;
};

} // namespace hvc_sandbox
