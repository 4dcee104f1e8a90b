// A platform server's entry object: hands out the server's factory finder.
#pragma once

#include <EpServer.hh>

namespace hvc_sandbox {

// Holds one reference of its own to the finder.
class ServerServant : public POA_EpServer::Server {
public:
    explicit ServerServant(CosLifeCycle::FactoryFinder_ptr finder);

    CosLifeCycle::FactoryFinder_ptr getFactoryFinder() override;

private:
    CosLifeCycle::FactoryFinder_var finder;
};

} // namespace hvc_sandbox
