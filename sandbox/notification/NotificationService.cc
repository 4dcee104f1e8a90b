#include "NotificationService.h"

#include "sandbox/Platform.h"
#include "sandbox/common/Activation.h"

namespace hvc_sandbox {

NotificationService::~NotificationService() {
    if (channels.in() != nullptr)
        channels->close();
}

void NotificationService::start(Platform& platform, PortableServer::POA_ptr poa) {
    channels = new EventChannelFactoryServant(poa);
    CORBA::Object_var ref = Activation::activate(poa, channels.in());
    channels->activated(ref);
    ChannelState platformState;
    platformState.id = platformChannel;
    channels->restore(platformState);
    platform.publish(hvc_util::ServiceCatalogue::Service::ChannelFactory, poa, ref);
}

std::size_t NotificationService::consumers(CosNotifyChannelAdmin::ChannelID id) {
    return channels->channel(id)->hub().consumers();
}

} // namespace hvc_sandbox
