#include "Platform.h"

#include "common/Activation.h"
#include "converters/ConvertersRoom.h"
#include "coordinates/CoordinateService.h"
#include "datastores/DataStoresRoom.h"
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
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <netinet/in.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace hvc_sandbox {

namespace {

// How long one naming-service call of a stopping platform may take.
constexpr CORBA::ULong unbindTimeoutMs = 200;

// A bind name as the naming service's one-component name.
CosNaming::Name nameOf(const std::string& bindName) {
    CosNaming::Name name;
    name.length(1);
    name[0].id = bindName.c_str();
    name[0].kind = "";
    return name;
}

using hvc_util::ServiceCatalogue;

// The platform's list: one line per room, started in this order.
std::vector<std::unique_ptr<Room>> platformRooms() {
    std::vector<std::unique_ptr<Room>> rooms;
    rooms.push_back(std::make_unique<UserServer>());
    // Units before coordinates: the coordinate systems' axes name their units.
    rooms.push_back(std::make_unique<UnitsService>());
    rooms.push_back(std::make_unique<CoordinateService>());
    rooms.push_back(std::make_unique<TraderService>());
    rooms.push_back(std::make_unique<ConvertersRoom>());
    rooms.push_back(std::make_unique<DataStoresRoom>());
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

// The loopback port of the object's first IIOP profile; 0 for none.
int portOf(CORBA::Object_ptr ref) {
    omniIOR_var ior = ref->_PR_getobj()->_getIOR();
    const IOP::TaggedProfileList& profiles = ior->iopProfiles();
    for (CORBA::ULong i = 0; i < profiles.length(); ++i) {
        if (profiles[i].tag != IOP::TAG_INTERNET_IOP)
            continue;
        IIOP::ProfileBody body;
        IIOP::unmarshalProfile(profiles[i], body);
        return body.address.port;
    }
    return 0;
}

// A loopback port nothing listens on at the time of the call.
int freePort() {
    const int s = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    const bool found = s >= 0 &&
                       ::bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
                       ::getsockname(s, reinterpret_cast<sockaddr*>(&address), &length) == 0;
    if (s >= 0)
        ::close(s);
    if (!found)
        throw std::runtime_error(std::string("no free loopback port: ") + std::strerror(errno));
    return ntohs(address.sin_port);
}

// Makes every connection a client opened to `port` end with a reset when it
// is closed. A client whose connection merely ended would find out only by
// sending its next request into it and would then not know whether the
// request was served; a reset connection fails that request before it
// leaves, and the client's ORB sends it again on a new connection (to the
// restarted platform, when it has a home).
void resetClientConnections(int port) {
    DIR* fds = ::opendir("/proc/self/fd");
    if (fds == nullptr)
        return;
    while (const dirent* entry = ::readdir(fds)) {
        const int fd = std::atoi(entry->d_name);
        struct stat st;
        sockaddr_in local{};
        socklen_t length = sizeof local;
        int listening = 0;
        socklen_t flagLength = sizeof listening;
        if (fd <= 2 || ::fstat(fd, &st) != 0 || !S_ISSOCK(st.st_mode) ||
            ::getsockname(fd, reinterpret_cast<sockaddr*>(&local), &length) != 0 ||
            local.sin_family != AF_INET || ntohs(local.sin_port) != port ||
            ::getsockopt(fd, SOL_SOCKET, SO_ACCEPTCONN, &listening, &flagLength) != 0 ||
            listening != 0)
            continue;
        const linger reset{1, 0};
        ::setsockopt(fd, SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
    }
    ::closedir(fds);
}

// Names of the POAs of platforms without a home, one per instance in a
// process; a platform with a home always has the same.
std::string poaName() {
    static std::atomic<int> made{0};
    const int n = ++made;
    return n == 1 ? "sandbox" : "sandbox-" + std::to_string(n);
}
const char* const homePoaName = "sandbox-home";

using Unusable = StateStore::Unusable;

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string trimmed(std::string text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' '))
        text.pop_back();
    return text;
}

} // namespace

CORBA::ORB_ptr Platform::initOrb() {
    return initOrb("");
}

CORBA::ORB_ptr Platform::initOrb(const std::string& endpoint) {
    // Servants are for this machine only: listen on loopback unless the
    // caller configured an endpoint of its own; a platform with a home
    // listens where its references say.
    hvc_util::Environment::Lock lock;
    const bool setHere = !endpoint.empty() || !hvc_util::Environment::get("ORBendPoint");
    const std::optional<std::string> former = hvc_util::Environment::get("ORBendPoint");
    if (setHere)
        hvc_util::Environment::set("ORBendPoint",
                                   endpoint.empty() ? "giop:tcp:127.0.0.1:" : endpoint.c_str());
    CORBA::ORB_var orb;
    try {
        orb = hvc_util::Orb::init();
    } catch (...) {
        if (setHere)
            hvc_util::Environment::set("ORBendPoint", former.value_or("").c_str());
        throw;
    }
    if (setHere)
        hvc_util::Environment::set("ORBendPoint", former.value_or("").c_str());
    return orb._retn();
}

Platform::Platform(const Options& options)
    : specs(options.users), named(!options.users.empty()), types(options.serviceTypes) {
    const bool homed = !options.home.empty();
    const int recordedPort = homed ? openHome(options.home) : 0;
    if (!homed)
        store = std::make_unique<StateStore>();
    // A home's port is chosen once and given to the ORB explicitly, from the
    // first start on: the ORB then lets a restart listen on it again while
    // connections of the former process are still closing.
    const int port = homed && recordedPort == 0 ? freePort() : recordedPort;
    CORBA::Object_var rootObj;
    try {
        orbRef = initOrb(homed ? "giop:tcp:127.0.0.1:" + std::to_string(port) : std::string());
        rootObj = orbRef->resolve_initial_references("RootPOA");
    } catch (const CORBA::INITIALIZE&) {
        if (!homed)
            throw;
        throw Unusable("cannot listen on 127.0.0.1:" + std::to_string(port) +
                       ", the port the references of " + options.home +
                       " name; is another program using it?");
    }
    PortableServer::POA_var root = PortableServer::POA::_narrow(rootObj);
    PortableServer::POAManager_var manager = root->the_POAManager();
    // Ids are the rooms' own names and keys; under a home, objects outlive
    // the process and answer to the same references after a restart.
    CORBA::PolicyList policies;
    policies.length(homed ? 2 : 1);
    policies[0] = root->create_id_assignment_policy(PortableServer::USER_ID);
    if (homed)
        policies[1] = root->create_lifespan_policy(PortableServer::PERSISTENT);
    try {
        platformPoa = root->create_POA(homed ? homePoaName : poaName().c_str(), manager, policies);
    } catch (const PortableServer::POA::AdapterAlreadyExists&) {
        throw Unusable("a sandbox with a home already runs in this process");
    }
    PortableServer::ObjectId_var probeId = PortableServer::string_to_ObjectId("probe");
    CORBA::Object_var probe =
        platformPoa->create_reference_with_id(probeId.in(), "IDL:omg.org/CORBA/Object:1.0");
    if (!servedOnLoopbackOnly(probe))
        throw NotLoopback(
            "the process ORB was initialised without a loopback endpoint and would serve every "
            "network interface; start the sandbox before the ORB is first used, or set "
            "ORBendPoint=giop:tcp:127.0.0.1:");
    if (homed) {
        const int listening = portOf(probe);
        if (recordedPort == 0)
            store->setFact("port", std::to_string(listening));
        else if (listening != recordedPort)
            throw Unusable("the process ORB already listens on port " + std::to_string(listening) +
                           ", but the references of " + options.home + " name port " +
                           std::to_string(recordedPort) +
                           ": start the sandbox before the ORB is first used");
        keysOfHome(options.home);
    } else {
        hvc_util::PasswordSeal::keyPair(publicKeyBase64, secretKeyBase64);
    }
    manager->activate();

    if (specs.empty()) {
        const std::string name = hvc_util::Environment::userName().value_or("sandbox");
        specs.push_back({name, name});
    }

    factoryFinder = new FactoryFinderServant;
    CORBA::Object_var finder = Activation::activate(platformPoa, "factories", factoryFinder.in());
    factoryFinderObj = CosLifeCycle::FactoryFinder::_narrow(finder.in());

    rooms = platformRooms();
    for (const auto& r : rooms) {
        PortableServer::POA_var poa = platformPoa->create_POA(r->name(), manager, policies);
        r->start(*this, poa);
    }
}

int Platform::openHome(const std::string& home) {
    makeDirectory(home);
    makeDirectory(home + "/var");
    makeDirectory(home + "/etc");
    const std::string lockPath = home + "/var/sandbox.lock";
    homeLock = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (homeLock < 0)
        throw Unusable("cannot open " + lockPath + ": " + std::strerror(errno));
    if (::flock(homeLock, LOCK_EX | LOCK_NB) != 0) {
        const std::string holder = trimmed(readFile(lockPath));
        ::close(homeLock);
        homeLock = -1;
        throw Unusable("another hvc-sandbox" + (holder.empty() ? "" : " (process " + holder + ")") +
                       " serves the home " + home);
    }
    const std::string pid = std::to_string(::getpid()) + "\n";
    if (::ftruncate(homeLock, 0) != 0 ||
        ::pwrite(homeLock, pid.data(), pid.size(), 0) != static_cast<ssize_t>(pid.size())) {
        // The lock holds without the note; only the message of a second
        // sandbox would lack the process number.
    }
    store = std::make_unique<StateStore>(home + "/var/sandbox.db");
    const std::optional<std::string> recorded = store->fact("port");
    if (!recorded)
        return 0;
    char* end = nullptr;
    const long port = std::strtol(recorded->c_str(), &end, 10);
    if (end == recorded->c_str() || *end != '\0' || port <= 0 || port > 65535)
        throw Unusable(store->path() + " records no port the sandbox can listen on (\"" +
                       *recorded + "\")");
    return static_cast<int>(port);
}

void Platform::keysOfHome(const std::string& home) {
    const std::string secretPath = home + "/etc/password.key";
    struct stat st;
    if (::stat(secretPath.c_str(), &st) == 0) {
        if ((st.st_mode & 077) != 0) {
            char mode[8];
            std::snprintf(mode, sizeof mode, "%04o", static_cast<unsigned>(st.st_mode & 07777));
            throw Unusable(secretPath +
                           " holds the platform's secret key but others may read it "
                           "(mode " +
                           std::string(mode) + "); make it 0600: chmod 600 " + secretPath);
        }
        secretKeyBase64 = trimmed(readFile(secretPath));
        if (!hvc_util::PasswordSeal::publicKeyOf(secretKeyBase64, publicKeyBase64))
            throw Unusable(secretPath + " holds no secret key the platform can use");
        return;
    }
    hvc_util::PasswordSeal::keyPair(publicKeyBase64, secretKeyBase64);
    const int fd = ::open(secretPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    const std::string text = secretKeyBase64 + "\n";
    const bool written =
        fd >= 0 && ::fchmod(fd, 0600) == 0 &&
        ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size()) &&
        ::fsync(fd) == 0;
    if (fd >= 0)
        ::close(fd);
    if (!written)
        throw Unusable("cannot write the platform's secret key to " + secretPath + ": " +
                       std::strerror(errno));
}

Platform::~Platform() {
    if (!stopped) {
        unbindNames();
        try {
            // Etherealizes every room's servants before the rooms let go of theirs.
            platformPoa->destroy(true, true);
        } catch (const CORBA::Exception&) {
        }
    }
    if (homeLock >= 0)
        ::close(homeLock);
}

int Platform::port() const {
    PortableServer::ObjectId_var id = PortableServer::string_to_ObjectId("probe");
    CORBA::Object_var probe =
        platformPoa->create_reference_with_id(id.in(), "IDL:omg.org/CORBA/Object:1.0");
    return portOf(probe);
}

void Platform::run() {
    orbRef->run();
}

void Platform::unbindNames() {
    if (CORBA::is_nil(namingContext))
        return;
    // A naming service that has stopped answering must not hold up a stop.
    omniORB::setClientCallTimeout(namingContext.in(), unbindTimeoutMs);
    try {
        for (const Named& n : names) {
            const CosNaming::Name name = nameOf(n.bindName);
            try {
                // Only a name that is still ours: another platform may have
                // taken it since.
                CORBA::Object_var bound = namingContext->resolve(name);
                if (bound->_is_equivalent(n.ref.in()))
                    namingContext->unbind(name);
            } catch (const CosNaming::NamingContext::NotFound&) {
            }
        }
    } catch (const CORBA::Exception&) {
        // Unreachable or refusing: the names stay, as they would after a crash.
    }
    namingContext = CosNaming::NamingContext::_nil();
}

void Platform::shutdown() {
    if (stopped)
        return;
    stopped = true;
    unbindNames();
    resetClientConnections(port());
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
            const CosNaming::Name name = nameOf(n.bindName);
            root->rebind(name, n.ref.in());
        }
        namingContext = root._retn();
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

void Platform::exportOffers() {
    const auto trader = ServiceCatalogue::Service::TraderLookup;
    hvc_util::Environment::set(ServiceCatalogue::entry(trader).variable, ior(trader).c_str());
    for (const auto& r : rooms)
        r->exportOffers(*this);
}

CosLifeCycle::FactoryFinder_ptr Platform::factoryFinderRef() const {
    return CosLifeCycle::FactoryFinder::_duplicate(factoryFinderObj.in());
}

std::string Platform::readyLine(const std::string& home) const {
    std::string line = "hvc-sandbox ready: user " + room<UserServer>().firstAccount();
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
