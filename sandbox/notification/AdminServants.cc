#include "AdminServants.h"

#include "ChannelServants.h"
#include "Held.h"

namespace hvc_sandbox {

using namespace CosNotifyChannelAdmin;

namespace {

// Proxies come only for structured events; the others are not used on the
// platform.
void requireStructured(ClientType type) {
    if (type != STRUCTURED_EVENT)
        notImplemented();
}

void requireRemovable(const AdminState& state) {
    if (state.id == ChannelState::defaultAdmin)
        throw CORBA::BAD_OPERATION(0, CORBA::COMPLETED_NO);
}

} // namespace

ConsumerAdminServant::ConsumerAdminServant(EventChannelServant& channel,
                                           PortableServer::POA_ptr poa, const AdminState& admin)
    : owner(held(channel)), state(admin), proxies(poa) {}

ConsumerAdminServant::~ConsumerAdminServant() = default;

AdminID ConsumerAdminServant::MyID() {
    return state.id;
}

EventChannel_ptr ConsumerAdminServant::MyChannel() {
    return owner->reference();
}

InterFilterGroupOperator ConsumerAdminServant::MyOperator() {
    return state.op;
}

ProxyIDSeq* ConsumerAdminServant::pull_suppliers() {
    return new ProxyIDSeq;
}

ProxyIDSeq* ConsumerAdminServant::push_suppliers() {
    return proxies.ids();
}

ProxySupplier_ptr ConsumerAdminServant::get_proxy_supplier(ProxyID id) {
    CORBA::Object_var ref = proxies.find(id);
    if (CORBA::is_nil(ref))
        throw ProxyNotFound();
    return ProxySupplier::_narrow(ref);
}

ProxySupplier_ptr ConsumerAdminServant::obtain_notification_pull_supplier(ClientType, ProxyID&) {
    notImplemented();
}

ProxySupplier_ptr ConsumerAdminServant::obtain_notification_push_supplier(ClientType type,
                                                                          ProxyID& id) {
    requireStructured(type);
    CORBA::Object_var ref = proxies.add(
        [this](ProxyID proxyId) { return new StructuredProxyPushSupplierServant(*this, proxyId); },
        id);
    return ProxySupplier::_narrow(ref);
}

void ConsumerAdminServant::destroy() {
    requireRemovable(state);
    owner->forgetConsumerAdmin(state.id);
}

CosEventChannelAdmin::ProxyPushSupplier_ptr ConsumerAdminServant::obtain_push_supplier() {
    notImplemented();
}

CosEventChannelAdmin::ProxyPullSupplier_ptr ConsumerAdminServant::obtain_pull_supplier() {
    notImplemented();
}

SupplierAdminServant::SupplierAdminServant(EventChannelServant& channel,
                                           PortableServer::POA_ptr poa, const AdminState& admin)
    : owner(held(channel)), state(admin), proxies(poa) {}

SupplierAdminServant::~SupplierAdminServant() = default;

AdminID SupplierAdminServant::MyID() {
    return state.id;
}

EventChannel_ptr SupplierAdminServant::MyChannel() {
    return owner->reference();
}

InterFilterGroupOperator SupplierAdminServant::MyOperator() {
    return state.op;
}

ProxyIDSeq* SupplierAdminServant::pull_consumers() {
    return new ProxyIDSeq;
}

ProxyIDSeq* SupplierAdminServant::push_consumers() {
    return proxies.ids();
}

ProxyConsumer_ptr SupplierAdminServant::get_proxy_consumer(ProxyID id) {
    CORBA::Object_var ref = proxies.find(id);
    if (CORBA::is_nil(ref))
        throw ProxyNotFound();
    return ProxyConsumer::_narrow(ref);
}

ProxyConsumer_ptr SupplierAdminServant::obtain_notification_pull_consumer(ClientType, ProxyID&) {
    notImplemented();
}

ProxyConsumer_ptr SupplierAdminServant::obtain_notification_push_consumer(ClientType type,
                                                                          ProxyID& id) {
    requireStructured(type);
    CORBA::Object_var ref = proxies.add(
        [this](ProxyID proxyId) { return new StructuredProxyPushConsumerServant(*this, proxyId); },
        id);
    return ProxyConsumer::_narrow(ref);
}

void SupplierAdminServant::destroy() {
    requireRemovable(state);
    owner->forgetSupplierAdmin(state.id);
}

CosEventChannelAdmin::ProxyPushConsumer_ptr SupplierAdminServant::obtain_push_consumer() {
    notImplemented();
}

CosEventChannelAdmin::ProxyPullConsumer_ptr SupplierAdminServant::obtain_pull_consumer() {
    notImplemented();
}

} // namespace hvc_sandbox
