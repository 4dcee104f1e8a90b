// The consumer and supplier administrations of a channel: each hands out
// structured push proxies and keeps them until their clients disconnect.
#pragma once

#include "ChannelState.h"
#include "ProxyServants.h"
#include "ProxyTable.h"
#include "Unused.h"

namespace hvc_sandbox {

class EventChannelServant;

// Holds its channel (for MyChannel and the channel's delivery) and owns its
// proxies. Thread-safe.
class ConsumerAdminServant
    : public POA_CosNotifyChannelAdmin::ConsumerAdmin,
      public QoSAdminUnused,
      public NotifySubscribeUnused,
      public FilterAdminUnused,
      public MappingFiltersUnused<CosNotifyChannelAdmin::_impl_ConsumerAdmin> {
public:
    ConsumerAdminServant(EventChannelServant& channel, PortableServer::POA_ptr poa,
                         const AdminState& state);
    ~ConsumerAdminServant() override;

    CosNotifyChannelAdmin::AdminID MyID() override;
    CosNotifyChannelAdmin::EventChannel_ptr MyChannel() override;
    CosNotifyChannelAdmin::InterFilterGroupOperator MyOperator() override;
    CosNotifyChannelAdmin::ProxyIDSeq* pull_suppliers() override;
    CosNotifyChannelAdmin::ProxyIDSeq* push_suppliers() override;
    CosNotifyChannelAdmin::ProxySupplier_ptr
    get_proxy_supplier(CosNotifyChannelAdmin::ProxyID id) override;
    CosNotifyChannelAdmin::ProxySupplier_ptr
    obtain_notification_pull_supplier(CosNotifyChannelAdmin::ClientType type,
                                      CosNotifyChannelAdmin::ProxyID& id) override;
    // STRUCTURED_EVENT only; other client types raise NO_IMPLEMENT.
    CosNotifyChannelAdmin::ProxySupplier_ptr
    obtain_notification_push_supplier(CosNotifyChannelAdmin::ClientType type,
                                      CosNotifyChannelAdmin::ProxyID& id) override;
    // The default administration lives as long as its channel: BAD_OPERATION.
    void destroy() override;
    CosEventChannelAdmin::ProxyPushSupplier_ptr obtain_push_supplier() override;
    CosEventChannelAdmin::ProxyPullSupplier_ptr obtain_pull_supplier() override;

    EventChannelServant& channel() { return *owner; }
    // Drops a proxy whose client disconnected or went away.
    void forget(CosNotifyChannelAdmin::ProxyID id) { proxies.forget(id); }
    // Ends every proxy's connection; the channel is letting go of this one.
    void close() { proxies.closeAll(); }

private:
    PortableServer::Servant_var<EventChannelServant> owner;
    const AdminState state;
    ProxyTable<StructuredProxyPushSupplierServant> proxies;
};

// The supplier's side, the mirror of ConsumerAdminServant.
class SupplierAdminServant : public POA_CosNotifyChannelAdmin::SupplierAdmin,
                             public QoSAdminUnused,
                             public NotifyPublishUnused,
                             public FilterAdminUnused {
public:
    SupplierAdminServant(EventChannelServant& channel, PortableServer::POA_ptr poa,
                         const AdminState& state);
    ~SupplierAdminServant() override;

    CosNotifyChannelAdmin::AdminID MyID() override;
    CosNotifyChannelAdmin::EventChannel_ptr MyChannel() override;
    CosNotifyChannelAdmin::InterFilterGroupOperator MyOperator() override;
    CosNotifyChannelAdmin::ProxyIDSeq* pull_consumers() override;
    CosNotifyChannelAdmin::ProxyIDSeq* push_consumers() override;
    CosNotifyChannelAdmin::ProxyConsumer_ptr
    get_proxy_consumer(CosNotifyChannelAdmin::ProxyID id) override;
    CosNotifyChannelAdmin::ProxyConsumer_ptr
    obtain_notification_pull_consumer(CosNotifyChannelAdmin::ClientType type,
                                      CosNotifyChannelAdmin::ProxyID& id) override;
    // STRUCTURED_EVENT only; other client types raise NO_IMPLEMENT.
    CosNotifyChannelAdmin::ProxyConsumer_ptr
    obtain_notification_push_consumer(CosNotifyChannelAdmin::ClientType type,
                                      CosNotifyChannelAdmin::ProxyID& id) override;
    // The default administration lives as long as its channel: BAD_OPERATION.
    void destroy() override;
    CosEventChannelAdmin::ProxyPushConsumer_ptr obtain_push_consumer() override;
    CosEventChannelAdmin::ProxyPullConsumer_ptr obtain_pull_consumer() override;

    EventChannelServant& channel() { return *owner; }
    void forget(CosNotifyChannelAdmin::ProxyID id) { proxies.forget(id); }
    void close() { proxies.closeAll(); }

private:
    PortableServer::Servant_var<EventChannelServant> owner;
    const AdminState state;
    ProxyTable<StructuredProxyPushConsumerServant> proxies;
};

} // namespace hvc_sandbox
