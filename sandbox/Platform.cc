#include "Platform.h"

#include "coordinates/CoordinateService.h"
#include "notification/NotificationService.h"
#include "refvalues/ReferenceValueService.h"
#include "trader/TraderService.h"
#include "units/UnitsService.h"
#include "users/UserServer.h"

#include "bindings/Environment.h"
#include "bindings/Orb.h"
#include "bindings/private/PasswordSeal.h"
#include "hvc_util/ExceptionDescription.h"

#include <omniORB4/IIOP.h>
#include <omniORB4/Naming.hh>
#include <omniORB4/omniIOR.h>
#include <omniORB4/omniObjRef.h>

#include <atomic>
#include <cerrno>
#include <fstream>
#include <sys/stat.h>

namespace hvc_sandbox {

namespace {

using hvc_util::ServiceCatalogue;

// The platform's list: one line per room, started in this order.
std::vector<std::unique_ptr<Room>> platformRooms() {
    std::vector<std::unique_ptr<Room>> rooms;
    rooms.push_back(std::make_unique<UserServer>());
    rooms.push_back(std::make_unique<CoordinateService>());
    rooms.push_back(std::make_unique<UnitsService>());
    rooms.push_back(std::make_unique<TraderService>());
    rooms.push_back(std::make_unique<NotificationService>());
    rooms.push_back(std::make_unique<ReferenceValueService>());
    return rooms;
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

bool isLoopback(const char* host) {
    const std::string h = host != nullptr ? host : "";
    return h.compare(0, 4, "127.") == 0 || h == "::1" || h == "localhost";
}

// Whether every IIOP address the object's reference names is a loopback one:
// the ORB's endpoints are fixed when it is first initialised, so a reference
// is the one place that tells where the platform would be reachable.
bool servedOnLoopbackOnly(CORBA::Object_ptr ref) {
    omniIOR_var ior = ref->_PR_getobj()->_getIOR();
    const IOP::TaggedProfileList& profiles = ior->iopProfiles();
    bool any = false;
    for (CORBA::ULong i = 0; i < profiles.length(); ++i) {
        if (profiles[i].tag != IOP::TAG_INTERNET_IOP)
            continue;
        IIOP::ProfileBody body;
        IIOP::unmarshalProfile(profiles[i], body);
        if (!isLoopback(body.address.host))
            return false;
        for (CORBA::ULong j = 0; j < body.components.length(); ++j) {
            // Further addresses of the same profile (TAG_ALTERNATE_IIOP_ADDRESS).
            if (body.components[j].tag == IOP::TAG_ALTERNATE_IIOP_ADDRESS)
                return false;
        }
        any = true;
    }
    return any;
}

std::string poaName() {
    static std::atomic<int> made{0};
    const int n = ++made;
    return n == 1 ? "sandbox" : "sandbox-" + std::to_string(n);
}

} // namespace

CORBA::ORB_ptr Platform::initOrb() {
    // Servants are for this machine only: listen on loopback unless the
    // caller configured an endpoint of its own.
    hvc_util::Environment::Lock lock;
    const bool setHere = !hvc_util::Environment::get("ORBendPoint");
    if (setHere)
        hvc_util::Environment::set("ORBendPoint", "giop:tcp:127.0.0.1:");
    CORBA::ORB_var orb = hvc_util::Orb::init();
    if (setHere)
        hvc_util::Environment::set("ORBendPoint", "");
    return orb._retn();
}

Platform::Platform(const Options& options) : orbRef(initOrb()), specs(options.users) {
    CORBA::Object_var rootObj = orbRef->resolve_initial_references("RootPOA");
    PortableServer::POA_var root = PortableServer::POA::_narrow(rootObj);
    PortableServer::POAManager_var manager = root->the_POAManager();
    CORBA::PolicyList none;
    platformPoa = root->create_POA(poaName().c_str(), manager, none);
    CORBA::Object_var probe = platformPoa->create_reference("IDL:omg.org/CORBA/Object:1.0");
    if (!servedOnLoopbackOnly(probe))
        throw NotLoopback(
            "the process ORB was initialised without a loopback endpoint and would serve every "
            "network interface; start the sandbox before the ORB is first used, or set "
            "ORBendPoint=giop:tcp:127.0.0.1:");
    manager->activate();
    hvc_util::PasswordSeal::keyPair(publicKeyBase64, secretKeyBase64);

    if (specs.empty()) {
        const std::string name = hvc_util::Environment::userName().value_or("sandbox");
        specs.push_back({name, name});
    }

    rooms = platformRooms();
    for (const auto& r : rooms) {
        PortableServer::POA_var poa = platformPoa->create_POA(r->name(), manager, none);
        r->start(*this, poa);
    }
}

Platform::~Platform() {
    if (stopped)
        return;
    try {
        // Etherealizes every room's servants before the rooms let go of theirs.
        platformPoa->destroy(true, true);
    } catch (const CORBA::Exception&) {
    }
}

void Platform::run() {
    orbRef->run();
}

void Platform::shutdown() {
    if (stopped)
        return;
    stopped = true;
    orbRef->shutdown(true);
    orbRef->destroy();
}

void Platform::publish(ServiceCatalogue::Service service, PortableServer::POA_ptr poa,
                       CORBA::Object_ptr ref) {
    published.push_back(
        {service, CORBA::Object::_duplicate(ref), PortableServer::POA::_duplicate(poa)});
    const ServiceCatalogue::Entry& entry = ServiceCatalogue::entry(service);
    if (entry.firstAttempt == ServiceCatalogue::FirstAttempt::Bind)
        publishName(entry.bindName, ref);
}

void Platform::publishName(const std::string& bindName, CORBA::Object_ptr ref) {
    for (const Named& n : names)
        if (n.bindName == bindName)
            return; // the first room to publish a name keeps it
    names.push_back({bindName, CORBA::Object::_duplicate(ref)});
}

bool Platform::bindNames(std::string& why) {
    try {
        CORBA::Object_var obj = orbRef->resolve_initial_references("NameService");
        CosNaming::NamingContext_var root = CosNaming::NamingContext::_narrow(obj);
        if (CORBA::is_nil(root)) {
            why = "the naming service reference is not a naming context";
            return false;
        }
        for (const Named& n : names) {
            CosNaming::Name name;
            name.length(1);
            name[0].id = n.bindName.c_str();
            name[0].kind = "";
            root->rebind(name, n.ref.in());
        }
        return true;
    } catch (const CORBA::ORB::InvalidName&) {
        why = "no naming service is configured";
    } catch (const CORBA::NO_RESOURCES&) {
        why = "no naming service is configured";
    } catch (const CORBA::Exception& e) {
        why = "the naming service failed: " + hvc_util::describe(e);
    }
    return false;
}

std::string Platform::referenceLines() const {
    std::string lines;
    for (const Published& p : published) {
        CORBA::String_var text = orbRef->object_to_string(p.ref.in());
        lines += std::string(ServiceCatalogue::entry(p.service).variable) + "=" + text.in() + "\n";
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

std::string Platform::readyLine(const std::string& home) const {
    std::string line = "hvc-sandbox ready: user " + specs.front().account;
    if (!home.empty())
        line += ", home " + home;
    return line;
}

const Platform::Published* Platform::find(ServiceCatalogue::Service service) const {
    for (const Published& p : published)
        if (p.service == service)
            return &p;
    return nullptr;
}

CORBA::Object_ptr Platform::reference(ServiceCatalogue::Service service) const {
    const Published* p = find(service);
    return p != nullptr ? CORBA::Object::_duplicate(p->ref.in()) : CORBA::Object::_nil();
}

std::string Platform::ior(ServiceCatalogue::Service service) const {
    const Published* p = find(service);
    if (p == nullptr)
        return "";
    CORBA::String_var text = orbRef->object_to_string(p->ref.in());
    return text.in();
}

void Platform::deactivate(ServiceCatalogue::Service service) {
    const Published* p = find(service);
    if (p == nullptr)
        return;
    PortableServer::ObjectId_var oid = p->poa->reference_to_id(p->ref.in());
    p->poa->deactivate_object(oid.in());
}

} // namespace hvc_sandbox
