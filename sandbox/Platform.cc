#include "Platform.h"

#include "Activation.h"
#include "AliasServiceServant.h"
#include "FactoryFinderServant.h"
#include "PasswordTable.h"
#include "PlaceholderServant.h"
#include "ServerServant.h"
#include "UserProfileServant.h"
#include "bindings/Diagnostics.h"
#include "bindings/Environment.h"
#include "bindings/Orb.h"
#include "bindings/internal/PasswordSeal.h"
#include "hvc_util/String.h"
#include "hvc_util/System.h"

#include <CosNotifyChannelAdmin.hh>
#include <CosTrading.hh>
#include <EpCoordinateService.hh>
#include <EpReferenceValueService.hh>
#include <EpUnitOfMeasureService.hh>
#include <omniORB4/Naming.hh>

#include <fstream>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace hvc_sandbox {

namespace {

std::string hostName() {
    hvc_util::String name;
    hvc_util::System::getNodeName(name);
    return name.isSet() && *name.getValue() != '\0' ? name.getValue() : "localhost";
}

void makeDirectory(const std::string& path) {
    if (::mkdir(path.c_str(), 0755) != 0 && errno != EEXIST)
        throw std::runtime_error("cannot create " + path);
}

void writeFile(const std::string& path, const std::string& text, mode_t mode) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    out.close();
    if (!out || ::chmod(path.c_str(), mode) != 0)
        throw std::runtime_error("cannot write " + path);
}

} // namespace

CORBA::ORB_ptr Platform::initOrb() {
    // Servants are for this machine only: listen on loopback unless the
    // caller configured an endpoint of its own.
    const bool setHere = hvc_util::Environment::get("ORBendPoint") == nullptr;
    if (setHere)
        hvc_util::Environment::set("ORBendPoint", "giop:tcp:127.0.0.1:");
    CORBA::ORB_var orb = hvc_util::Orb::init();
    if (setHere)
        hvc_util::Environment::set("ORBendPoint", "");
    return orb._retn();
}

Platform::Platform(const Options& options) : orb(initOrb()), specs(options.users) {
    CORBA::Object_var rootObj = orb->resolve_initial_references("RootPOA");
    poa = PortableServer::POA::_narrow(rootObj);
    PortableServer::POAManager_var manager = poa->the_POAManager();
    manager->activate();
    hvc_util::PasswordSeal::keyPair(publicKeyBase64, secretKeyBase64);

    if (specs.empty()) {
        const char* login = hvc_util::Environment::userName();
        const std::string name = login != nullptr ? login : "sandbox";
        specs.push_back({name, name});
    }

    // The coordinate server hands out its finder and factory by interface.
    CORBA::Object_var finder =
        activate(new PlaceholderServant({EpCoordinateService::Finder::_PD_repoId}),
                 "HVC_COORD_FIND_IOR", "");
    CORBA::Object_var factory =
        activate(new PlaceholderServant({EpCoordinateService::Factory::_PD_repoId}),
                 "HVC_COORD_FACT_IOR", "");
    auto* coordinateFactories = new FactoryFinderServant;
    coordinateFactories->add(EpCoordinateService::Finder::_PD_repoId, finder);
    coordinateFactories->add(EpCoordinateService::Factory::_PD_repoId, factory);
    CORBA::Object_var finderObj = activate(coordinateFactories, "", "");
    CosLifeCycle::FactoryFinder_var coordinateFinder =
        CosLifeCycle::FactoryFinder::_narrow(finderObj);
    CORBA::Object_var server =
        activate(new ServerServant(coordinateFinder), "", "EpCoordinateService");

    CORBA::Object_var units =
        activate(new PlaceholderServant(
                     {EpUnitOfMeasureService::Server::_PD_repoId, EpServer::Server::_PD_repoId}),
                 "HVC_UNITS_IOR", "Server.EpUnitOfMeasureService");
    CORBA::Object_var trader = activate(
        new PlaceholderServant(
            {CosTrading::Lookup::_PD_repoId, CosTrading::TraderComponents::_PD_repoId,
             CosTrading::SupportAttributes::_PD_repoId, CosTrading::ImportAttributes::_PD_repoId}),
        "HVC_TRADER_IOR", "TradingService");
    CORBA::Object_var channels =
        activate(new PlaceholderServant({CosNotifyChannelAdmin::EventChannelFactory::_PD_repoId}),
                 "HVC_NOTIFY_IOR", "NotificationService");
    CORBA::Object_var values = activate(
        new PlaceholderServant({EpReferenceValueService::ReferenceValueService::_PD_repoId}),
        "HVC_RVS_IOR", "Server.EpReferenceValueService");
    CORBA::Object_var aliases =
        activate(new AliasServiceServant(directory), "HVC_UAS_IOR", "Server.EpUser_AliasService");

    const std::string host = hostName();
    const PasswordTable passwords(publicKeyBase64, secretKeyBase64);
    for (std::size_t i = 0; i < specs.size(); ++i) {
        directory.addUser(specs[i].account, specs[i].principal, host);
        auto* servant = new UserProfileServant(specs[i].account, poa, passwords);
        profiles[specs[i].account] = servant;
        CORBA::Object_var profile =
            activate(servant, i == 0 ? "HVC_USER_IOR" : "", "UserProfile." + specs[i].account);
    }
}

CORBA::Object_ptr Platform::activate(PortableServer::Servant servant, const std::string& variable,
                                     const std::string& bindName) {
    Entry entry;
    entry.variable = variable;
    entry.bindName = bindName;
    entry.ref = Activation::activate(poa, servant, &entry.oid);
    CORBA::Object_ptr result = CORBA::Object::_duplicate(entry.ref.in());
    entries.push_back(std::move(entry));
    return result;
}

bool Platform::bindNames(std::string& why) {
    try {
        CORBA::Object_var obj = orb->resolve_initial_references("NameService");
        CosNaming::NamingContext_var root = CosNaming::NamingContext::_narrow(obj);
        if (CORBA::is_nil(root)) {
            why = "the naming service reference is not a naming context";
            return false;
        }
        for (const Entry& e : entries) {
            if (e.bindName.empty())
                continue;
            CosNaming::Name name;
            name.length(1);
            name[0].id = e.bindName.c_str();
            name[0].kind = "";
            root->rebind(name, e.ref.in());
        }
        return true;
    } catch (const CORBA::ORB::InvalidName&) {
        why = "no naming service is configured";
    } catch (const CORBA::NO_RESOURCES&) {
        why = "no naming service is configured";
    } catch (const CORBA::Exception& e) {
        why = "the naming service failed: " + hvc_util::Diagnostics::describe(e);
    }
    return false;
}

std::string Platform::referenceLines() const {
    std::string lines;
    for (const Entry& e : entries) {
        if (e.variable.empty())
            continue;
        CORBA::String_var text = orb->object_to_string(e.ref.in());
        lines += e.variable + "=" + text.in() + "\n";
    }
    return lines;
}

void Platform::writeHome(const std::string& dir) const {
    makeDirectory(dir);
    makeDirectory(dir + "/bin");
    makeDirectory(dir + "/etc");
    writeFile(dir + "/bin/GetIORS.sh",
              "#!/bin/sh\n# References of the hvc-sandbox platform.\ncat <<'END_OF_REFERENCES'\n" +
                  referenceLines() + "END_OF_REFERENCES\n",
              0755);
    writeFile(dir + "/etc/password.pub", publicKeyBase64 + "\n", 0644);
}

const Platform::Entry* Platform::find(const std::string& variable) const {
    for (const Entry& e : entries)
        if (!variable.empty() && e.variable == variable)
            return &e;
    return nullptr;
}

CORBA::Object_ptr Platform::reference(const std::string& variable) const {
    const Entry* e = find(variable);
    return e != nullptr ? CORBA::Object::_duplicate(e->ref.in()) : CORBA::Object::_nil();
}

std::string Platform::ior(const std::string& variable) const {
    const Entry* e = find(variable);
    if (e == nullptr)
        return "";
    CORBA::String_var text = orb->object_to_string(e->ref.in());
    return text.in();
}

void Platform::deactivate(const std::string& variable) {
    const Entry* e = find(variable);
    if (e == nullptr)
        return;
    if (e->variable == "HVC_USER_IOR")
        profiles.erase(specs.front().account);
    poa->deactivate_object(e->oid.in());
}

UserProfileServant* Platform::profile(const std::string& account) const {
    auto found = profiles.find(account);
    return found != profiles.end() ? found->second : nullptr;
}

std::string Platform::readyLine(const std::string& home) const {
    std::string line = "hvc-sandbox ready: user " + specs.front().account;
    if (!home.empty())
        line += ", home " + home;
    return line;
}

} // namespace hvc_sandbox
