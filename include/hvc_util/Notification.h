// Notification service access: the channel factory of the platform's events.
#pragma once

#include <hvc_util/Export.h>

#include <CosNotifyChannelAdmin.hh>

#include <atomic>

namespace hvc_util {

// Set of static operations. Owns one cached channel-factory reference for the
// life of the process; returned references are new and owned by the caller.
// Thread-safe: threads asking at once share one resolution; once cached, a
// call is one atomic load and a _duplicate. The cached reference carries the
// library's call timeout.
class HVC_UTIL_API Notification {
public:
    // The notification channel factory. Raises EpTypes::FailedOperationException
    // "Error in getChannelFactory; cannot resolve
    // 'CosNotifyChannelAdmin::EventChannelFactory' service." when unresolved.
    static CosNotifyChannelAdmin::EventChannelFactory_ptr getChannelFactory();

    // Name of the environment variable holding the channel factory's reference.
    static const char* channelFactoryEnvironmentVariableName();

private:
    static std::atomic<CosNotifyChannelAdmin::EventChannelFactory_ptr> channelFactory;
};

} // namespace hvc_util
