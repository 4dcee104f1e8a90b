// The notification service of the sandbox: a channel factory whose channels
// deliver structured events from push suppliers to push consumers, with one
// channel, the platform's, made at start.
#pragma once

#include "ChannelServants.h"

#include "sandbox/Room.h"

namespace hvc_sandbox {

// Owns the channel factory and, through it, every channel; destroying the
// room closes the channels and waits for their delivery threads.
class NotificationService : public Room {
public:
    // The channel made at start, which the platform's programs share.
    static constexpr CosNotifyChannelAdmin::ChannelID platformChannel = 0;

    ~NotificationService() override;

    const char* name() const override { return "notification"; }
    void start(Platform& platform, PortableServer::POA_ptr poa) override;

    // For tests.
    EventChannelFactoryServant& factory() { return *channels; }
    // Consumers the channel delivers to now.
    std::size_t consumers(CosNotifyChannelAdmin::ChannelID id = platformChannel);

private:
    PortableServer::Servant_var<EventChannelFactoryServant> channels;
};

} // namespace hvc_sandbox
