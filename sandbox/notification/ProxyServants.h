// The structured push proxies of a channel: the consumer's side (a proxy
// supplier that delivers the channel's events to one consumer) and the
// supplier's side (a proxy consumer to which a supplier pushes).
#pragma once

#include "EventHub.h"
#include "Unused.h"

#include <mutex>

namespace hvc_sandbox {

class ConsumerAdminServant;
class SupplierAdminServant;

// Holds its administration for MyAdmin and for leaving it on disconnect.
// Thread-safe.
class StructuredProxyPushSupplierServant
    : public POA_CosNotifyChannelAdmin::StructuredProxyPushSupplier,
      public QoSAdminUnused,
      public FilterAdminUnused,
      public NotifySubscribeUnused,
      public MappingFiltersUnused<CosNotifyChannelAdmin::_impl_ProxySupplier>,
      public EventQoSUnused<CosNotifyChannelAdmin::_impl_ProxySupplier> {
public:
    StructuredProxyPushSupplierServant(ConsumerAdminServant& admin,
                                       CosNotifyChannelAdmin::ProxyID id);
    ~StructuredProxyPushSupplierServant() override;

    CosNotifyChannelAdmin::ProxyType MyType() override;
    CosNotifyChannelAdmin::ConsumerAdmin_ptr MyAdmin() override;
    CosNotification::EventTypeSeq*
    obtain_offered_types(CosNotifyChannelAdmin::ObtainInfoMode mode) override;
    // BAD_PARAM for a nil consumer, AlreadyConnected on a second connect.
    void connect_structured_push_consumer(CosNotifyComm::StructuredPushConsumer_ptr c) override;
    void suspend_connection() override;
    void resume_connection() override;
    void disconnect_structured_push_supplier() override;

    // Ends the connection; the administration is closing.
    void close();

private:
    PortableServer::Servant_var<ConsumerAdminServant> admin;
    const CosNotifyChannelAdmin::ProxyID id;
    std::mutex lock;
    bool connected = false;
    bool closed = false;
    EventHub::Token delivery = 0;
};

// Holds its administration for MyAdmin and for leaving it on disconnect.
// Thread-safe.
class StructuredProxyPushConsumerServant
    : public POA_CosNotifyChannelAdmin::StructuredProxyPushConsumer,
      public QoSAdminUnused,
      public FilterAdminUnused,
      public NotifyPublishUnused,
      public EventQoSUnused<CosNotifyChannelAdmin::_impl_ProxyConsumer> {
public:
    StructuredProxyPushConsumerServant(SupplierAdminServant& admin,
                                       CosNotifyChannelAdmin::ProxyID id);
    ~StructuredProxyPushConsumerServant() override;

    CosNotifyChannelAdmin::ProxyType MyType() override;
    CosNotifyChannelAdmin::SupplierAdmin_ptr MyAdmin() override;
    CosNotification::EventTypeSeq*
    obtain_subscription_types(CosNotifyChannelAdmin::ObtainInfoMode mode) override;
    // A nil supplier is allowed; AlreadyConnected on a second connect.
    void connect_structured_push_supplier(CosNotifyComm::StructuredPushSupplier_ptr s) override;
    // CosEventComm::Disconnected while no supplier is connected.
    void push_structured_event(const CosNotification::StructuredEvent& event) override;
    void disconnect_structured_push_consumer() override;

    // Ends the connection; the administration is closing.
    void close();

private:
    PortableServer::Servant_var<SupplierAdminServant> admin;
    const CosNotifyChannelAdmin::ProxyID id;
    std::mutex lock;
    bool connected = false;
    bool closed = false;
    CosNotifyComm::StructuredPushSupplier_var supplier;
};

} // namespace hvc_sandbox
