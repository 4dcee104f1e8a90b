// The sandbox platform: every remote service the library talks to, hosted
// on loopback in this process, for tests, tools and development without a
// platform installation.
#pragma once

#include "UserDirectory.h"

#include <omniORB4/CORBA.h>

#include <map>
#include <string>
#include <vector>

namespace hvc_sandbox {

class UserProfileServant;

// Activates its servants in the root POA of the process ORB; the POA owns
// them. The platform's references are duplicates it holds of its own.
class Platform {
public:
    struct UserSpec {
        std::string account;
        std::string principal;
    };
    struct Options {
        // Platform users; empty means the user who runs the process, known
        // under the login name on this host.
        std::vector<UserSpec> users;
    };

    // The process ORB, listening on loopback only unless an endpoint is
    // configured. The caller owns the returned reference.
    static CORBA::ORB_ptr initOrb();

    explicit Platform(const Options& options = Options());
    Platform(const Platform&) = delete;
    Platform& operator=(const Platform&) = delete;

    // Registers every service under its bind name in the naming service.
    // Returns false, with the reason in `why`, when none is configured or it
    // cannot be reached.
    bool bindNames(std::string& why);

    // NAME=VALUE lines naming every service reference, as the reference script
    // prints them.
    std::string referenceLines() const;

    // Writes DIR/bin/GetIORS.sh printing referenceLines() and DIR/etc/password.pub
    // with the platform's public key. Raises std::runtime_error on failure.
    void writeHome(const std::string& dir) const;

    // The reference held in the reference variable `variable` (a new reference
    // owned by the caller), or nil.
    CORBA::Object_ptr reference(const std::string& variable) const;
    // Stringified form of the same.
    std::string ior(const std::string& variable) const;

    // Deactivates the object behind `variable`: it then no longer exists for
    // any client (a knob for tests).
    void deactivate(const std::string& variable);

    // The profile servant of a user, owned by the POA; null for an unknown account.
    UserProfileServant* profile(const std::string& account) const;

    UserDirectory& users() { return directory; }
    const std::vector<UserSpec>& userSpecs() const { return specs; }
    const std::string& publicKey() const { return publicKeyBase64; }
    const std::string& secretKey() const { return secretKeyBase64; }

    // The one line a started sandbox prints.
    std::string readyLine(const std::string& home) const;

private:
    struct Entry {
        std::string variable; // reference variable, or empty
        std::string bindName; // name in the naming service, or empty
        CORBA::Object_var ref;
        PortableServer::ObjectId_var oid;
    };

    CORBA::Object_ptr activate(PortableServer::Servant servant, const std::string& variable,
                               const std::string& bindName);
    const Entry* find(const std::string& variable) const;

    CORBA::ORB_var orb;
    PortableServer::POA_var poa;
    UserDirectory directory;
    std::vector<UserSpec> specs;
    std::vector<Entry> entries;
    std::map<std::string, UserProfileServant*> profiles;
    std::string publicKeyBase64;
    std::string secretKeyBase64;
};

} // namespace hvc_sandbox
