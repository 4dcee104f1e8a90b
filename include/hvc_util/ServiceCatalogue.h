// The platform's services that the library resolves and caches: one entry per
// service, the only place where a service's environment variable, bind name
// and resolution rules are spelled. The library's resolver, hvcutil doctor,
// the sandbox and the tests all read it.
#pragma once

#include <hvc_util/Export.h>

#include <omniORB4/CORBA.h>

#include <cstddef>

namespace hvc_util {

// Constant data only; owns nothing and is safe to read from any thread.
class HVC_UTIL_API ServiceCatalogue {
public:
    // One identifier per entry, in the catalogue's order.
    enum class Service {
        CoordinateFinder,
        CoordinateFactory,
        ChannelFactory,
        ReferenceValues,
        TraderLookup,
        UnitsServer,
        AliasService,
        UserProfile,
    };

    // How the first means of resolution looks for the service.
    enum class FirstAttempt {
        // Bind `bindName` in the naming service and narrow it.
        Bind,
        // Bind the platform server `bindName` (an EpServer::Server) and ask its
        // factory finder for a factory of the entry's interface.
        ServerFactory,
        // Ask the alias service for the process user's account and bind
        // `bindName` followed by that account.
        AliasLookup,
    };

    struct Entry {
        Service service;
        const char* interfaceName; // scoped name; also the profile property's name
        const char* repositoryId;
        const char* operation; // name of the resolving operation, as in messages
        const char* variable;  // environment variable holding a stringified reference
        const char* bindName;  // name in the naming service (a prefix for AliasLookup)
        FirstAttempt firstAttempt;
        bool emptyCountsAsAbsent; // an empty variable runs the script like a missing one
        bool forceScript;         // the script runs again even when a run succeeded
        bool consultProfile;      // the user profile's property is the last means
        // Fixed failure text; null for "Error in <operation>; cannot resolve
        // '<interface>' service.".
        const char* failureText;
        bool printFailure; // the failure text also goes to stderr before the throw
        // FailedOperationException raised while resolving (an unknown alias, a
        // failing reference script) leaves the operation.
        bool failuresPass;
        // Calls the entry's resolving operation: a new reference the caller
        // owns, or what that operation raises.
        CORBA::Object_ptr (*resolve)();
    };

    // Every entry, in order; `size()` of them.
    static const Entry* begin();
    static const Entry* end();
    static std::size_t size();

    static const Entry& entry(Service service);
    // The entry of the scoped interface name; null for none.
    static const Entry* find(const char* interfaceName);
};

} // namespace hvc_util
