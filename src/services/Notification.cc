#include "hvc_util/Notification.h"

#include "bindings/Diagnostics.h"
#include "services/ServiceResolver.h"

namespace hvc_util {

namespace {

const ServiceCatalogue::Entry& channelFactoryEntry =
    ServiceCatalogue::entry(ServiceCatalogue::Service::ChannelFactory);

void printBindFailure(const CORBA::Exception&) {
    Diagnostics::print("Could not bind to CosNotifyChannelAdmin::EventChannelFactory\n");
    Diagnostics::print("Ensure that the Notification service is running.\n\n");
}

const ServiceRow channelFactoryRow{channelFactoryEntry, printBindFailure};

} // namespace

std::atomic<CosNotifyChannelAdmin::EventChannelFactory_ptr> Notification::channelFactory{nullptr};

CosNotifyChannelAdmin::EventChannelFactory_ptr Notification::getChannelFactory() {
    return ServiceResolver::resolve<CosNotifyChannelAdmin::EventChannelFactory>(
        channelFactoryRow, channelFactory,
        [](CORBA::ORB_ptr orb) { return Orb::bind(orb, channelFactoryEntry.bindName); });
}

const char* Notification::channelFactoryEnvironmentVariableName() {
    return channelFactoryEntry.variable;
}

} // namespace hvc_util
