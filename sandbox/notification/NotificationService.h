// The notification service of the sandbox: for now a placeholder channel
// factory.
#pragma once

#include "sandbox/common/PlaceholderRoom.h"

#include <CosNotifyChannelAdmin.hh>

namespace hvc_sandbox {

class NotificationService : public PlaceholderRoom {
public:
    NotificationService()
        : PlaceholderRoom("notification", hvc_util::ServiceCatalogue::Service::ChannelFactory,
                          {CosNotifyChannelAdmin::EventChannelFactory::_PD_repoId}) {}
};

} // namespace hvc_sandbox
