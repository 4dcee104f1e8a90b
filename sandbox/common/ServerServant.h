// A platform server's entry object: hands out the server's factory finder.
#pragma once

#include <EpServer.hh>

namespace hvc_sandbox {

// Holds one reference of its own to the finder. `Skeleton` is the server's
// interface: EpServer::Server or one derived from it (a service's own Server).
template <class Skeleton> class ServerServantOf : public Skeleton {
public:
    explicit ServerServantOf(CosLifeCycle::FactoryFinder_ptr f)
        : finder(CosLifeCycle::FactoryFinder::_duplicate(f)) {}

    CosLifeCycle::FactoryFinder_ptr getFactoryFinder() override {
        return CosLifeCycle::FactoryFinder::_duplicate(finder.in());
    }

private:
    CosLifeCycle::FactoryFinder_var finder;
};

using ServerServant = ServerServantOf<POA_EpServer::Server>;

} // namespace hvc_sandbox
