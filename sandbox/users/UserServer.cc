#include "UserServer.h"

#include "AliasServiceServant.h"
#include "PasswordTable.h"

#include "sandbox/Platform.h"
#include "sandbox/common/Activation.h"

#include "hvc_util/String.h"
#include "hvc_util/System.h"

#include <stdexcept>

namespace hvc_sandbox {

namespace {

using hvc_util::ServiceCatalogue;

std::string hostName() {
    hvc_util::String name;
    hvc_util::System::getNodeName(name);
    return name.isSet() && *name.getValue() != '\0' ? name.getValue() : "localhost";
}

} // namespace

UserServer::UserServer() = default;
UserServer::~UserServer() = default;

void UserServer::start(Platform& platform, PortableServer::POA_ptr poa) {
    aliases = new AliasServiceServant(directory);
    CORBA::Object_var aliasRef = Activation::activate(poa, aliases.in());
    platform.publish(ServiceCatalogue::Service::AliasService, poa, aliasRef);

    const std::string host = hostName();
    const PasswordTable passwords(platform.publicKey(), platform.secretKey());
    const ServiceCatalogue::Entry& profileEntry =
        ServiceCatalogue::entry(ServiceCatalogue::Service::UserProfile);
    // Every user's sessions find the data servers' factories in the
    // platform's factory finder.
    CosLifeCycle::FactoryFinder_var factories = platform.factoryFinderRef();
    bool first = true;
    for (const Platform::UserSpec& spec : platform.userSpecs()) {
        directory.addUser(spec.account, spec.principal, host);
        PortableServer::Servant_var<UserProfileServant> servant(
            new UserProfileServant(spec.account, poa, passwords, factories.in()));
        CORBA::Object_var ref = Activation::activate(poa, servant.in());
        platform.publishName(profileEntry.bindName + spec.account, ref);
        if (first)
            platform.publish(ServiceCatalogue::Service::UserProfile, poa, ref);
        first = false;
        profiles[spec.account] = servant;
    }
}

UserProfileServant& UserServer::profile(const std::string& account) const {
    auto found = profiles.find(account);
    if (found == profiles.end())
        throw std::out_of_range("no sandbox user " + account);
    return *found->second.in();
}

} // namespace hvc_sandbox
