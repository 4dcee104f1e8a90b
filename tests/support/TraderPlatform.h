// An in-process sandbox platform whose trader the library uses (its reference
// variable names it), with the process user known as "tester", a second user
// "bob", and further service types for tests; plus objects to offer.
#pragma once

#include "sandbox/Platform.h"
#include "sandbox/common/Activation.h"
#include "sandbox/common/PlaceholderServant.h"
#include "sandbox/trader/TraderService.h"
#include "support/ChildProcess.h"
#include "support/ScopedEnv.h"

#include <hvc_util/Trader.h>

#include <memory>
#include <string>

namespace hvc_test {

class TraderPlatform {
public:
    static constexpr const char* thingType = "IDL:Test/Thing:1.0";

    TraderPlatform() {
        env.set("USERNAME", "tester");
        hvc_sandbox::Platform::Options options;
        options.users = {{"tester", "tester"}, {"bob", "bob"}};
        options.serviceTypes = {thingType, "Test::Other"};
        platform = std::make_unique<hvc_sandbox::Platform>(options);
        useTrader(platform->ior(hvc_util::ServiceCatalogue::Service::TraderLookup));
        CORBA::Object_var rootObj = platform->orb()->resolve_initial_references("RootPOA");
        poa = PortableServer::POA::_narrow(rootObj.in());
    }

    // Points the library at another trader (before its first use).
    void useTrader(const std::string& ior) {
        env.set(hvc_util::Trader::traderLookupEnvironmentVariableName(), ior);
    }

    hvc_sandbox::Platform& operator*() { return *platform; }
    hvc_sandbox::Platform* operator->() { return platform.get(); }
    hvc_sandbox::TraderCore& trader() {
        return platform->room<hvc_sandbox::TraderService>().core();
    }
    ScopedEnv& environment() { return env; }
    PortableServer::POA_ptr rootPoa() { return poa.in(); }

    // A new live object of thingType, owned by the caller.
    CORBA::Object_ptr thing() {
        PortableServer::Servant_var<hvc_sandbox::PlaceholderServant> servant(
            new hvc_sandbox::PlaceholderServant({thingType}));
        return hvc_sandbox::Activation::activate(poa, servant.in());
    }

    // Ends the object's existence: it then says it does not exist.
    void end(CORBA::Object_ptr object) {
        PortableServer::ObjectId_var id = poa->reference_to_id(object);
        poa->deactivate_object(id.in());
    }

    // A reference to an object whose server cannot be reached (as when its
    // process has ended): asking it anything raises CORBA::TRANSIENT.
    CORBA::Object_ptr unreachable() {
        const std::string where =
            "corbaloc::127.0.0.1:" + std::to_string(freeLoopbackPort()) + "/Thing";
        return platform->orb()->string_to_object(where.c_str());
    }

private:
    ScopedEnv env;
    std::unique_ptr<hvc_sandbox::Platform> platform;
    PortableServer::POA_var poa;
};

// Properties from name=value texts, each value a string.
inline CosTrading::PropertySeq
properties(std::initializer_list<std::pair<const char*, const char*>> items) {
    CosTrading::PropertySeq seq;
    seq.length(static_cast<CORBA::ULong>(items.size()));
    CORBA::ULong i = 0;
    for (const auto& [name, value] : items) {
        seq[i].name = name;
        seq[i++].value <<= value;
    }
    return seq;
}

// The names of `properties`, in order.
inline std::vector<std::string> namesOf(const CosTrading::PropertySeq& properties) {
    std::vector<std::string> names;
    for (CORBA::ULong i = 0; i < properties.length(); ++i)
        names.push_back(properties[i].name.in());
    return names;
}

// The string value of the named property; "<none>" when absent.
inline std::string valueOf(const CosTrading::PropertySeq& properties, const std::string& name) {
    for (CORBA::ULong i = 0; i < properties.length(); ++i) {
        const char* text = nullptr;
        if (name == properties[i].name.in())
            return (properties[i].value >>= text) ? text : "<not a string>";
    }
    return "<none>";
}

} // namespace hvc_test
