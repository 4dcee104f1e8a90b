// The data-type converter factories of the sandbox: a default and a scaling
// factory per platform user, offered through the trader for that user.
#pragma once

#include "ConverterServants.h"

#include "sandbox/Room.h"

#include <map>
#include <string>
#include <vector>

namespace hvc_sandbox {

// Holds each user's two factory servants, activated in the room's POA.
class ConvertersRoom : public Room {
public:
    const char* name() const override { return "converters"; }
    void start(Platform& platform, PortableServer::POA_ptr poa) override;

    // Exports each user's two factories through the library's
    // Trader::exportObject under their interfaces' repository ids, with the
    // user's account as "UserName"; a factory the trader offers already (kept
    // by a platform with a home) is not offered twice.
    void exportOffers(Platform& platform) override;

    // For tests: a new reference to the user's factory; nil for an unknown
    // account.
    CORBA::Object_ptr defaultFactory(const std::string& account) const;
    CORBA::Object_ptr scalingFactory(const std::string& account) const;
    // The offer identifiers the export gave, in export order.
    const std::vector<std::string>& offerIds() const { return offers; }

private:
    struct UserFactories {
        PortableServer::Servant_var<DefaultConverterFactoryServant> defaultServant;
        PortableServer::Servant_var<ScalingConverterFactoryServant> scalingServant;
        CORBA::Object_var defaultRef;
        CORBA::Object_var scalingRef;
    };
    std::vector<std::string> accounts; // in the platform's order
    std::map<std::string, UserFactories> factories;
    std::vector<std::string> offers;
};

} // namespace hvc_sandbox
