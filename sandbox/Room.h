// One service of the sandbox platform: its servants, in a POA of its own.
#pragma once

#include <omniORB4/CORBA.h>

namespace hvc_sandbox {

class Platform;

// A service the platform composes. The platform owns its rooms; a room owns
// its servants through PortableServer::Servant_var holders and the POA it is
// given. Rooms are started in the platform's list order, so a room may ask
// for the references of the rooms before it.
class Room {
public:
    virtual ~Room() = default;

    // The room's name: its folder and the name of its POA.
    virtual const char* name() const = 0;

    // Activates the room's servants in `poa`, a child POA the platform made for
    // this room, and publishes its references through `platform`. Raises a
    // CORBA exception or std::runtime_error when it cannot start.
    virtual void start(Platform& platform, PortableServer::POA_ptr poa) = 0;

    // Exports the room's objects to the platform's trader through the
    // library, as a platform's servers do once the platform runs. Raises what
    // the library raises. Most rooms export nothing.
    virtual void exportOffers(Platform& platform) {}
};

} // namespace hvc_sandbox
