// An in-process sandbox platform for one test, with the process user known to
// it as the platform user "tester" and the service variables naming it.
#pragma once

#include "sandbox/Platform.h"
#include "sandbox/users/UserServer.h"
#include "support/ScopedEnv.h"

#include <memory>

namespace hvc_test {

using Service = hvc_util::ServiceCatalogue::Service;

class SessionPlatform {
public:
    SessionPlatform() {
        env.set("USERNAME", "tester");
        hvc_sandbox::Platform::Options options;
        options.users.push_back({"tester", "tester"});
        options.users.push_back({"bob", "bob"});
        platform = std::make_unique<hvc_sandbox::Platform>(options);
        for (Service service : {Service::AliasService, Service::UserProfile})
            env.set(hvc_util::ServiceCatalogue::entry(service).variable, platform->ior(service));
        env.set("HVC_PASSWORD_KEY", platform->publicKey());
    }

    hvc_sandbox::Platform& operator*() { return *platform; }
    hvc_sandbox::Platform* operator->() { return platform.get(); }
    hvc_sandbox::UserProfileServant& profile() {
        return platform->room<hvc_sandbox::UserServer>().profile("tester");
    }
    hvc_sandbox::UserDirectory& users() {
        return platform->room<hvc_sandbox::UserServer>().users();
    }
    hvc_sandbox::SessionManagerServant& sessions() { return profile().sessions(); }
    hvc_sandbox::ProjectSetManagerServant& projectSets() { return profile().projectSets(); }
    ScopedEnv& environment() { return env; }

private:
    ScopedEnv env;
    std::unique_ptr<hvc_sandbox::Platform> platform;
};

} // namespace hvc_test
