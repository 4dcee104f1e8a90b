#include "NotificationService.h"

#include "sandbox/Platform.h"
#include "sandbox/common/Activation.h"

namespace hvc_sandbox {

NotificationService::~NotificationService() {
    if (channels.in() != nullptr)
        channels->close();
}

void NotificationService::start(Platform& platform, PortableServer::POA_ptr poa) {
    StateStore& store = platform.state();
    store.migrate(name(), EventChannelFactoryServant::schema());
    channels = new EventChannelFactoryServant(poa, store);
    CORBA::Object_var ref = Activation::activate(poa, "factory", channels.in());
    channels->activated(ref);
    const std::vector<ChannelState> kept = EventChannelFactoryServant::kept(store);
    if (kept.empty()) {
        ChannelState platformState;
        platformState.id = platformChannel;
        channels->create(platformState);
    }
    for (const ChannelState& state : kept)
        channels->restore(state);
    platform.publish(hvc_util::ServiceCatalogue::Service::ChannelFactory, poa, ref);
}

std::size_t NotificationService::consumers(CosNotifyChannelAdmin::ChannelID id) {
    return channels->channel(id)->hub().consumers();
}

} // namespace hvc_sandbox
