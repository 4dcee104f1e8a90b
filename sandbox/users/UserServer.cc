#include "UserServer.h"

#include "AliasServiceServant.h"
#include "PasswordTable.h"

#include "sandbox/Platform.h"
#include "sandbox/common/Activation.h"

#include "hvc_util/String.h"
#include "hvc_util/System.h"

#include <stdexcept>
#include <vector>

namespace hvc_sandbox {

namespace {

using hvc_util::ServiceCatalogue;

std::string hostName() {
    hvc_util::String name;
    hvc_util::System::getNodeName(name);
    return name.isSet() && *name.getValue() != '\0' ? name.getValue() : "localhost";
}

// The user server's tables, one step per version; steps are only appended.
const std::vector<std::string> schema = {
    "CREATE TABLE users(id INTEGER PRIMARY KEY, account TEXT NOT NULL UNIQUE,"
    " full_name TEXT NOT NULL, email TEXT NOT NULL);"
    "CREATE TABLE aliases(user_id INTEGER NOT NULL REFERENCES users(id),"
    " position INTEGER NOT NULL, host_name TEXT NOT NULL, user_name TEXT NOT NULL,"
    " os_name TEXT NOT NULL, scope INTEGER NOT NULL, PRIMARY KEY(user_id, position));"
    // Properties of profiles, sessions and project sets, by their object id.
    "CREATE TABLE properties(owner TEXT NOT NULL, name TEXT NOT NULL, value BLOB NOT NULL,"
    " PRIMARY KEY(owner, name));"
    "CREATE TABLE sessions(id TEXT PRIMARY KEY, account TEXT NOT NULL, name TEXT NOT NULL,"
    " identifier BLOB NOT NULL, marker TEXT NOT NULL, project_set TEXT,"
    " UNIQUE(account, name));"
    "CREATE TABLE project_sets(account TEXT NOT NULL, name TEXT NOT NULL,"
    " PRIMARY KEY(account, name));"
    "CREATE TABLE projects(account TEXT NOT NULL, set_name TEXT NOT NULL,"
    " position INTEGER NOT NULL, project TEXT NOT NULL,"
    " PRIMARY KEY(account, set_name, position),"
    " FOREIGN KEY(account, set_name) REFERENCES project_sets(account, name));",
};

} // namespace

UserServer::UserServer() = default;
UserServer::~UserServer() = default;

void UserServer::start(Platform& platform, PortableServer::POA_ptr poa) {
    StateStore& store = platform.state();
    store.migrate(name(), schema);
    directory.keepIn(store);
    aliases = new AliasServiceServant(directory);
    CORBA::Object_var aliasRef = Activation::activate(poa, "aliases", aliases.in());
    platform.publish(ServiceCatalogue::Service::AliasService, poa, aliasRef);

    // Users the state already knows stay; named ones it does not know join
    // them (the login user only joins a platform that has nobody yet).
    const bool known = !directory.users().empty();
    const std::string host = hostName();
    for (const Platform::UserSpec& wanted : platform.userSpecs())
        if ((platform.usersNamed() || !known) && !directory.knows(wanted.account))
            directory.addUser(wanted.account, wanted.principal, host);

    const PasswordTable passwords(platform.publicKey(), platform.secretKey());
    const ServiceCatalogue::Entry& profileEntry =
        ServiceCatalogue::entry(ServiceCatalogue::Service::UserProfile);
    // Every user's sessions find the data servers' factories in the
    // platform's factory finder.
    CosLifeCycle::FactoryFinder_var factories = platform.factoryFinderRef();
    bool first = true;
    for (const UserDirectory::User& user : directory.users()) {
        PortableServer::Servant_var<UserProfileServant> servant(
            new UserProfileServant(user.account, poa, passwords, store, factories.in()));
        CORBA::Object_var ref =
            Activation::activate(poa, UserProfileServant::objectIdOf(user.account), servant.in());
        platform.publishName(profileEntry.bindName + user.account, ref);
        if (first) {
            platform.publish(ServiceCatalogue::Service::UserProfile, poa, ref);
            firstUser = user.account;
        }
        first = false;
        profiles[user.account] = servant;
    }
}

UserProfileServant& UserServer::profile(const std::string& account) const {
    auto found = profiles.find(account);
    if (found == profiles.end())
        throw std::out_of_range("no sandbox user " + account);
    return *found->second.in();
}

} // namespace hvc_sandbox
