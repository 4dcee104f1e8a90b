// The channel factory and its channels.
#pragma once

#include "ChannelState.h"
#include "EventHub.h"
#include "Unused.h"

#include "sandbox/common/StateStore.h"

#include <atomic>
#include <map>
#include <mutex>
#include <vector>

namespace hvc_sandbox {

class ConsumerAdminServant;
class SupplierAdminServant;
class EventChannelFactoryServant;

// One channel: its administrations (owned, through Servant_var holders) and
// the delivery of its events. Thread-safe.
class EventChannelServant : public POA_CosNotifyChannelAdmin::EventChannel,
                            public QoSAdminUnused,
                            public AdminPropertiesUnused {
public:
    // Serves `state`'s channel in `poa` once started.
    EventChannelServant(EventChannelFactoryServant& factory, PortableServer::POA_ptr poa,
                        const ChannelState& state);
    // Activates the channel and the administrations its state names.
    void start();
    ~EventChannelServant() override;

    CosNotifyChannelAdmin::EventChannelFactory_ptr MyFactory() override;
    CosNotifyChannelAdmin::ConsumerAdmin_ptr default_consumer_admin() override;
    CosNotifyChannelAdmin::SupplierAdmin_ptr default_supplier_admin() override;
    CosNotifyFilter::FilterFactory_ptr default_filter_factory() override;
    CosNotifyChannelAdmin::ConsumerAdmin_ptr
    new_for_consumers(CosNotifyChannelAdmin::InterFilterGroupOperator op,
                      CosNotifyChannelAdmin::AdminID& id) override;
    CosNotifyChannelAdmin::SupplierAdmin_ptr
    new_for_suppliers(CosNotifyChannelAdmin::InterFilterGroupOperator op,
                      CosNotifyChannelAdmin::AdminID& id) override;
    CosNotifyChannelAdmin::ConsumerAdmin_ptr
    get_consumeradmin(CosNotifyChannelAdmin::AdminID id) override;
    CosNotifyChannelAdmin::SupplierAdmin_ptr
    get_supplieradmin(CosNotifyChannelAdmin::AdminID id) override;
    CosNotifyChannelAdmin::AdminIDSeq* get_all_consumeradmins() override;
    CosNotifyChannelAdmin::AdminIDSeq* get_all_supplieradmins() override;
    CosEventChannelAdmin::ConsumerAdmin_ptr for_consumers() override;
    CosEventChannelAdmin::SupplierAdmin_ptr for_suppliers() override;
    // Disconnects every proxy, deactivates the channel and its
    // administrations and leaves the factory.
    void destroy() override;

    // For the sandbox.
    CosNotifyChannelAdmin::EventChannel_ptr reference() const;
    CosNotifyChannelAdmin::ChannelID id() const { return channelId; }
    ChannelState state() const;
    EventHub& hub() { return delivery; }
    // A knob for tests: while set, proxies refuse to connect their clients
    // (NO_RESOURCES, as a channel at its limit would).
    void refuseConnects(bool on) { refusing = on; }
    bool refusesConnects() const { return refusing; }
    // Disconnects every proxy and deactivates the channel and its
    // administrations; with `wait`, also waits for the delivery threads
    // (never from a delivery thread).
    void close(bool wait);
    // An administration destroyed by its client.
    void forgetConsumerAdmin(CosNotifyChannelAdmin::AdminID id);
    void forgetSupplierAdmin(CosNotifyChannelAdmin::AdminID id);

private:
    template <class Servant> struct Admin {
        PortableServer::Servant_var<Servant> servant;
        CORBA::Object_var ref;
    };

    CosNotifyChannelAdmin::AdminID addConsumerAdmin(const AdminState& admin);
    CosNotifyChannelAdmin::AdminID addSupplierAdmin(const AdminState& admin);
    // The channel's state becomes `next`, kept in the platform's state first;
    // lock held.
    void change(const ChannelState& next);
    // The object id of the channel, or of one of its administrations.
    std::string objectId() const;
    std::string adminId(const char* side, CosNotifyChannelAdmin::AdminID id) const;

    EventChannelFactoryServant& factory;
    PortableServer::POA_var poa;
    const CosNotifyChannelAdmin::ChannelID channelId;
    CosNotifyChannelAdmin::EventChannel_var self;
    EventHub delivery;
    std::atomic<bool> refusing{false};

    mutable std::mutex lock;
    ChannelState record;
    std::map<CosNotifyChannelAdmin::AdminID, Admin<ConsumerAdminServant>> consumerAdmins;
    std::map<CosNotifyChannelAdmin::AdminID, Admin<SupplierAdminServant>> supplierAdmins;
    bool closed = false;
};

// The factory: makes, lists and finds channels; owns them through Servant_var
// holders. Thread-safe. The channels and their administrations are kept in
// the platform's state (the "notification" tables), which outlives the
// factory, and restored from it under the same references; connections are
// not kept.
class EventChannelFactoryServant : public POA_CosNotifyChannelAdmin::EventChannelFactory {
public:
    EventChannelFactoryServant(PortableServer::POA_ptr poa, StateStore& store);

    // The notification tables, one step per version; steps are only appended.
    static const std::vector<std::string>& schema();
    // Every channel the state keeps, in identifier order.
    static std::vector<ChannelState> kept(StateStore& store);
    ~EventChannelFactoryServant() override;

    // Raises UnsupportedQoS (UnsupportedAdmin) naming each property given:
    // channels take none.
    CosNotifyChannelAdmin::EventChannel_ptr
    create_channel(const CosNotification::QoSProperties& initialQos,
                   const CosNotification::AdminProperties& initialAdmin,
                   CosNotifyChannelAdmin::ChannelID& id) override;
    CosNotifyChannelAdmin::ChannelIDSeq* get_all_channels() override;
    // ChannelNotFound for an unknown identifier.
    CosNotifyChannelAdmin::EventChannel_ptr
    get_event_channel(CosNotifyChannelAdmin::ChannelID id) override;

    // For the sandbox. The reference the factory was activated under.
    void activated(CORBA::Object_ptr ref);
    CosNotifyChannelAdmin::EventChannelFactory_ptr reference() const;
    // Makes a channel as `state` describes it (its identifier included) and
    // returns its identifier; with `state.id` taken, the next free one.
    CosNotifyChannelAdmin::ChannelID restore(ChannelState state);
    // As restore(), keeping the new channel in the platform's state.
    CosNotifyChannelAdmin::ChannelID create(ChannelState state);
    // Keeps a channel's state (a Transaction of the caller's may hold it).
    void keep(const ChannelState& state);
    // Every channel's state, in identifier order.
    std::vector<ChannelState> states() const;
    // The channel's servant (the caller's holder); raises std::out_of_range.
    PortableServer::Servant_var<EventChannelServant> channel(CosNotifyChannelAdmin::ChannelID id);
    // A channel destroyed by its client: kept until its deliveries end.
    void forget(CosNotifyChannelAdmin::ChannelID id);
    // Closes every channel and waits for its deliveries to end.
    void close();

private:
    PortableServer::POA_var poa;
    StateStore& store;
    CosNotifyChannelAdmin::EventChannelFactory_var self;
    mutable std::mutex lock;
    std::map<CosNotifyChannelAdmin::ChannelID, PortableServer::Servant_var<EventChannelServant>>
        channels;
    // Destroyed channels whose delivery threads may still be ending; joined
    // later, on a thread that is none of theirs.
    std::vector<PortableServer::Servant_var<EventChannelServant>> closing;
    CosNotifyChannelAdmin::ChannelID next = 0;

    // Lets go of the closing channels whose deliveries have ended; lock held.
    void reapClosing();
};

} // namespace hvc_sandbox
