// The trading service of the sandbox: a lookup and a register over one offer
// table, with the platform's interfaces as service types.
#pragma once

#include "LookupServant.h"
#include "RegisterServant.h"
#include "TraderCore.h"

#include "sandbox/Room.h"

#include <memory>

namespace hvc_sandbox {

// Owns the trader's core and holds its two servants; publishes the lookup.
// The trader never withdraws an offer by itself, whether or not its object
// still exists. Its offers are kept in the platform's state (the "trader"
// tables).
class TraderService : public Room {
public:
    const char* name() const override { return "trader"; }
    void start(Platform& platform, PortableServer::POA_ptr poa) override;

    // For tests: the offers and the live iterators.
    TraderCore& core() { return *trader; }

private:
    std::unique_ptr<TraderCore> trader;
    PortableServer::Servant_var<LookupServant> lookup;
    PortableServer::Servant_var<RegisterServant> traderRegister;
};

} // namespace hvc_sandbox
