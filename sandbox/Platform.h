// The sandbox platform: every remote service the library talks to, hosted on
// loopback in this process, for tests, tools and development without a
// platform installation.
#pragma once

#include "Room.h"
#include "common/FactoryFinderServant.h"
#include "common/StateStore.h"

#include <hvc_util/ServiceCatalogue.h>

#include <omniORB4/CORBA.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace hvc_sandbox {

// Composes its rooms (one per service, sandbox/<room>/) from one list and
// starts them, each in a child POA of the platform's own POA. Owns the rooms
// and, through the POAs, their servants; destroying the platform destroys its
// POAs. Holds the process ORB, whose life it ends only when asked
// (shutdown). Published references are the platform's own; every reference it
// hands out is new and the caller's. Start, knobs and shutdown are for one
// thread; the servants themselves serve any number of clients at once.
class Platform {
public:
    struct UserSpec {
        std::string account;
        std::string principal;
    };
    struct Options {
        // Platform users; empty means the user who runs the process, known
        // under the login name on this host (or, with a home, the users it
        // already knows).
        std::vector<UserSpec> users;
        // Service types the trader knows beside the repository ids of the
        // platform's interfaces.
        std::vector<std::string> serviceTypes;
        // The platform's home: DIR/var/sandbox.db holds its state,
        // DIR/etc/password.key its secret key (mode 0600), and it listens on
        // the loopback port recorded there, in persistent POAs, so that
        // everything clients created and every reference handed out survive
        // a restart. Empty: the platform lives in memory.
        std::string home;
    };

    // Raised when the process ORB would not listen on loopback only.
    struct NotLoopback : std::runtime_error {
        using std::runtime_error::runtime_error;
    };

    // The process ORB. When this call initialises it, it listens on loopback
    // only unless ORBendPoint names an endpoint. The caller owns the result.
    static CORBA::ORB_ptr initOrb();

    // Starts every room. Raises NotLoopback when the process ORB was
    // initialised earlier without a loopback endpoint (it would serve every
    // network interface); StateStore::Unusable when the home cannot be used
    // (its database is damaged, another program's or newer, its key file is
    // readable by others, another sandbox serves it, or the process ORB
    // already listens on another port than the one its references name); a
    // CORBA exception or std::runtime_error when a room cannot start.
    explicit Platform(const Options& options = Options());
    ~Platform();
    Platform(const Platform&) = delete;
    Platform& operator=(const Platform&) = delete;

    // Serves until shutdown() is called from another thread.
    void run();
    // Stops the ORB, waiting for calls in progress, and destroys it. The
    // platform serves nothing afterwards. Idempotent.
    void shutdown();

    // Registers every published bind name in the naming service. Returns
    // false, with the reason in `why`, when none is configured or it cannot
    // be reached.
    bool bindNames(std::string& why);

    // Removes from the naming service the names bindNames registered that
    // still name this platform's objects, so that a stopped platform leaves
    // no dead names behind for the next client (best effort, each call
    // bounded). Done by shutdown() and the destructor.
    void unbindNames();

    // NAME=VALUE lines naming every published reference variable, as the
    // reference script prints them.
    std::string referenceLines() const;

    // Writes DIR/bin/GetIORS.sh printing referenceLines() and
    // DIR/etc/password.pub with the platform's public key. Raises
    // std::runtime_error on failure.
    void writeHome(const std::string& dir) const;

    // Points this process's library at the platform's trader (its reference
    // variable) and lets every room export its offers through the library:
    // the data-type converter factories, once per platform user. Call it
    // once, after bindNames when names are registered. Raises what the
    // library raises.
    void exportOffers();

    // The one line a started sandbox prints, naming its first user.
    std::string readyLine(const std::string& home) const;

    // The reference published for a catalogue service (a new reference owned
    // by the caller), or nil; and its stringified form ("" for none).
    CORBA::Object_ptr reference(hvc_util::ServiceCatalogue::Service service) const;
    std::string ior(hvc_util::ServiceCatalogue::Service service) const;

    // A knob for tests: deactivates the object published for `service`, which
    // then no longer exists for any client.
    void deactivate(hvc_util::ServiceCatalogue::Service service);

    // The room of type R (for its typed knobs); raises std::logic_error when
    // the platform has none.
    template <class R> R& room() const {
        for (const auto& r : rooms)
            if (auto* found = dynamic_cast<R*>(r.get()))
                return *found;
        throw std::logic_error("the sandbox platform has no such room");
    }

    // For rooms while they start.
    // Publishes `ref` for a catalogue service: its reference variable, and its
    // bind name when the catalogue binds it directly. `poa` is the room's POA.
    void publish(hvc_util::ServiceCatalogue::Service service, PortableServer::POA_ptr poa,
                 CORBA::Object_ptr ref);
    // Publishes `ref` under a further bind name (a platform server, a user's
    // profile).
    void publishName(const std::string& bindName, CORBA::Object_ptr ref);

    CORBA::ORB_ptr orb() const { return orbRef.in(); }
    // The users asked for (the login user when none was named).
    const std::vector<UserSpec>& userSpecs() const { return specs; }
    // Whether the users were named in the options rather than defaulted.
    bool usersNamed() const { return named; }
    // The platform's state, for rooms: in memory, or in the home's database.
    StateStore& state() const { return *store; }
    // The loopback port the platform listens on.
    int port() const;
    const std::vector<std::string>& serviceTypes() const { return types; }
    // The platform's factory finder: data servers register their factories
    // with it, and every session finds them through it.
    FactoryFinderServant& factories() { return *factoryFinder; }
    // A new reference to it, owned by the caller.
    CosLifeCycle::FactoryFinder_ptr factoryFinderRef() const;
    const std::string& publicKey() const { return publicKeyBase64; }
    const std::string& secretKey() const { return secretKeyBase64; }

private:
    struct Published {
        hvc_util::ServiceCatalogue::Service service;
        CORBA::Object_var ref;
        PortableServer::POA_var poa;
    };
    struct Named {
        std::string bindName;
        CORBA::Object_var ref;
    };

    const Published* find(hvc_util::ServiceCatalogue::Service service) const;
    // Initialises the process ORB listening on `endpoint` when this call
    // initialises it.
    static CORBA::ORB_ptr initOrb(const std::string& endpoint);
    // Locks the home, opens its state and returns the port its references
    // name (0 on its first start).
    int openHome(const std::string& home);
    // Reads the home's key pair, or makes and keeps one on its first start.
    void keysOfHome(const std::string& home);

    std::vector<UserSpec> specs;
    bool named;
    std::vector<std::string> types;
    // Held (flock) while the platform serves its home; -1 without a home.
    int homeLock = -1;
    // Before the ORB and the rooms: their servants write to it until they go.
    std::unique_ptr<StateStore> store;
    CORBA::ORB_var orbRef;
    PortableServer::POA_var platformPoa;
    PortableServer::Servant_var<FactoryFinderServant> factoryFinder;
    CosLifeCycle::FactoryFinder_var factoryFinderObj;
    std::string publicKeyBase64;
    std::string secretKeyBase64;
    std::vector<std::unique_ptr<Room>> rooms;
    std::vector<Published> published;
    std::vector<Named> names;
    CosNaming::NamingContext_var namingContext; // where bindNames registered them
    bool stopped = false;
};

} // namespace hvc_sandbox
