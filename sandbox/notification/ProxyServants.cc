#include "ProxyServants.h"

#include "AdminServants.h"
#include "ChannelServants.h"
#include "Held.h"

namespace hvc_sandbox {

using namespace CosNotifyChannelAdmin;

namespace {

// The checks before a proxy takes its client, under the proxy's lock.
void admit(bool connected, bool closed, EventChannelServant& channel) {
    if (connected)
        throw CosEventChannelAdmin::AlreadyConnected();
    if (closed)
        throw CORBA::OBJECT_NOT_EXIST(0, CORBA::COMPLETED_NO);
    if (channel.refusesConnects())
        throw CORBA::NO_RESOURCES(0, CORBA::COMPLETED_NO);
}

} // namespace

StructuredProxyPushSupplierServant::StructuredProxyPushSupplierServant(ConsumerAdminServant& of,
                                                                       ProxyID proxyId)
    : admin(held(of)), id(proxyId) {}

StructuredProxyPushSupplierServant::~StructuredProxyPushSupplierServant() = default;

ProxyType StructuredProxyPushSupplierServant::MyType() {
    return PUSH_STRUCTURED;
}

ConsumerAdmin_ptr StructuredProxyPushSupplierServant::MyAdmin() {
    return admin->channel().get_consumeradmin(admin->MyID());
}

CosNotification::EventTypeSeq*
StructuredProxyPushSupplierServant::obtain_offered_types(ObtainInfoMode) {
    notImplemented();
}

void StructuredProxyPushSupplierServant::connect_structured_push_consumer(
    CosNotifyComm::StructuredPushConsumer_ptr consumer) {
    if (CORBA::is_nil(consumer))
        throw CORBA::BAD_PARAM(0, CORBA::COMPLETED_NO);
    std::lock_guard<std::mutex> hold(lock);
    admit(connected, closed, admin->channel());
    // An unreachable consumer is dropped by the delivery; the proxy goes with it.
    PortableServer::Servant_var<ConsumerAdminServant> owner = admin;
    const ProxyID proxyId = id;
    delivery =
        admin->channel().hub().connect(consumer, [owner, proxyId] { owner->forget(proxyId); });
    connected = true;
}

void StructuredProxyPushSupplierServant::suspend_connection() {
    notImplemented();
}

void StructuredProxyPushSupplierServant::resume_connection() {
    notImplemented();
}

void StructuredProxyPushSupplierServant::disconnect_structured_push_supplier() {
    close();
    admin->forget(id);
}

void StructuredProxyPushSupplierServant::close() {
    EventHub::Token ending = 0;
    {
        std::lock_guard<std::mutex> hold(lock);
        closed = true;
        ending = delivery;
        delivery = 0;
    }
    if (ending != 0)
        admin->channel().hub().disconnect(ending);
}

StructuredProxyPushConsumerServant::StructuredProxyPushConsumerServant(SupplierAdminServant& of,
                                                                       ProxyID proxyId)
    : admin(held(of)), id(proxyId) {}

StructuredProxyPushConsumerServant::~StructuredProxyPushConsumerServant() = default;

ProxyType StructuredProxyPushConsumerServant::MyType() {
    return PUSH_STRUCTURED;
}

SupplierAdmin_ptr StructuredProxyPushConsumerServant::MyAdmin() {
    return admin->channel().get_supplieradmin(admin->MyID());
}

CosNotification::EventTypeSeq*
StructuredProxyPushConsumerServant::obtain_subscription_types(ObtainInfoMode) {
    notImplemented();
}

void StructuredProxyPushConsumerServant::connect_structured_push_supplier(
    CosNotifyComm::StructuredPushSupplier_ptr s) {
    std::lock_guard<std::mutex> hold(lock);
    admit(connected, closed, admin->channel());
    supplier = CosNotifyComm::StructuredPushSupplier::_duplicate(s);
    connected = true;
}

void StructuredProxyPushConsumerServant::push_structured_event(
    const CosNotification::StructuredEvent& event) {
    {
        std::lock_guard<std::mutex> hold(lock);
        if (!connected || closed)
            throw CosEventComm::Disconnected();
    }
    admin->channel().hub().push(event);
}

void StructuredProxyPushConsumerServant::disconnect_structured_push_consumer() {
    close();
    admin->forget(id);
}

void StructuredProxyPushConsumerServant::close() {
    std::lock_guard<std::mutex> hold(lock);
    closed = true;
    supplier = CosNotifyComm::StructuredPushSupplier::_nil();
}

} // namespace hvc_sandbox
