// A servant of the test's own, served in the process ORB's root POA.
#pragma once

#include "sandbox/common/Activation.h"
#include "support/RootPoa.h"

#include <utility>

namespace hvc_test {

// One object in the root POA from construction until kill() or the holder's
// end; after kill() every call on `ref` raises OBJECT_NOT_EXIST as a dead
// server's would, while `servant` stays usable. Not thread-safe.
template <class Servant, class Ref> class Served {
public:
    template <class... Args>
    explicit Served(Args&&... args)
        : poa(activeRootPoa()), servant(new Servant(std::forward<Args>(args)...)) {
        CORBA::Object_var obj = hvc_sandbox::Activation::activate(poa, servant.in(), &oid);
        ref = Ref::_narrow(obj);
    }
    ~Served() {
        try {
            kill();
        } catch (const CORBA::Exception&) {
            // The ORB has gone already.
        }
    }
    Served(const Served&) = delete;
    Served& operator=(const Served&) = delete;

    void kill() {
        if (alive) {
            alive = false;
            poa->deactivate_object(oid.in());
        }
    }

    PortableServer::POA_var poa;
    PortableServer::ObjectId_var oid;
    PortableServer::Servant_var<Servant> servant;
    typename Ref::_var_type ref;

private:
    bool alive = true;
};

} // namespace hvc_test
