// Connecting structured push clients to a notification channel.
#include "hvc_util/Notification.h"

#include "bindings/Handlers.h"

#include <utility>

namespace hvc_util {

namespace {

using namespace CosNotifyChannelAdmin;

const char* const newConsumerAdminFailure = "Failed in getNewConsumerAdmin";
const char* const newSupplierAdminFailure = "Failed in getNewSupplierAdmin";
const char* const connectConsumerFailure = "Problem in connectStructuredPushConsumer ";
const char* const connectSupplierFailure = "Failed in connectStructuredPushSupplier";
const char* const newProxyConsumerFailure = "Failed in getNewStructuredProxyPushConsumer";

// Every exception of the operation, remote or local, becomes its one text.
template <class Body> auto guarded(const char* text, Body&& body) -> decltype(body()) {
    return withHandlers(OperationFailures{text, text}, std::forward<Body>(body));
}

[[noreturn]] void fail(const char* text) {
    throw EpTypes::FailedOperationException(text);
}

// Best effort: a proxy that a failed connect obtained is disconnected, so the
// failure leaves nothing behind on the channel. Whatever this raises is
// dropped; the caller reports the original failure.
void discard(ProxySupplier_ptr proxy) {
    try {
        StructuredProxyPushSupplier_var structured = StructuredProxyPushSupplier::_narrow(proxy);
        if (!CORBA::is_nil(structured))
            structured->disconnect_structured_push_supplier();
    } catch (...) {
    }
}

void discard(ProxyConsumer_ptr proxy) {
    try {
        StructuredProxyPushConsumer_var structured = StructuredProxyPushConsumer::_narrow(proxy);
        if (!CORBA::is_nil(structured))
            structured->disconnect_structured_push_consumer();
    } catch (...) {
    }
}

// Narrows a proxy the channel handed out to the structured push kind and
// connects the caller's client with `connect`. The proxy is discarded when
// either step fails; a proxy of another kind is a failure with `text`.
template <class Structured, class Proxy, class Connect>
typename Structured::_ptr_type connectedProxy(Proxy proxy, const char* text, Connect&& connect) {
    try {
        typename Structured::_var_type structured = Structured::_narrow(proxy);
        if (CORBA::is_nil(structured))
            fail(text);
        connect(structured.in());
        return structured._retn();
    } catch (...) {
        discard(proxy);
        throw;
    }
}

ProxyConsumer_ptr obtainPushConsumer(EventChannel_ptr channel) {
    SupplierAdmin_var admin = channel->default_supplier_admin();
    ProxyID id;
    return admin->obtain_notification_push_consumer(STRUCTURED_EVENT, id);
}

} // namespace

ConsumerAdmin_ptr Notification::getNewConsumerAdmin(EventChannel_ptr channel,
                                                    const InterFilterGroupOperator& op) {
    return guarded(newConsumerAdminFailure, [&] {
        if (CORBA::is_nil(channel))
            fail(newConsumerAdminFailure);
        AdminID id;
        return channel->new_for_consumers(op, id);
    });
}

SupplierAdmin_ptr Notification::getNewSupplierAdmin(EventChannel_ptr channel,
                                                    const InterFilterGroupOperator& op) {
    return guarded(newSupplierAdminFailure, [&] {
        if (CORBA::is_nil(channel))
            fail(newSupplierAdminFailure);
        AdminID id;
        return channel->new_for_suppliers(op, id);
    });
}

StructuredProxyPushSupplier_ptr
Notification::connectStructuredPushConsumer(EventChannel_ptr channel,
                                            CosNotifyComm::StructuredPushConsumer_ptr consumer) {
    return guarded(connectConsumerFailure, [&] {
        if (CORBA::is_nil(channel) || CORBA::is_nil(consumer))
            fail(connectConsumerFailure);
        ConsumerAdmin_var admin = channel->default_consumer_admin();
        ProxyID id;
        ProxySupplier_var proxy = admin->obtain_notification_push_supplier(STRUCTURED_EVENT, id);
        return connectedProxy<StructuredProxyPushSupplier>(
            proxy.in(), connectConsumerFailure, [&](StructuredProxyPushSupplier_ptr structured) {
                structured->connect_structured_push_consumer(consumer);
            });
    });
}

StructuredProxyPushConsumer_ptr
Notification::connectStructuredPushSupplier(EventChannel_ptr channel,
                                            CosNotifyComm::StructuredPushSupplier_ptr supplier) {
    return guarded(connectSupplierFailure, [&] {
        if (CORBA::is_nil(channel))
            fail(connectSupplierFailure);
        ProxyConsumer_var proxy = obtainPushConsumer(channel);
        return connectedProxy<StructuredProxyPushConsumer>(
            proxy.in(), connectSupplierFailure, [&](StructuredProxyPushConsumer_ptr structured) {
                // A nil supplier is allowed: it only means the channel cannot
                // tell the supplier when it is disconnected.
                structured->connect_structured_push_supplier(supplier);
            });
    });
}

StructuredProxyPushConsumer_ptr
Notification::getNewStructuredProxyPushConsumer(EventChannel_ptr channel) {
    return guarded(newProxyConsumerFailure, [&] {
        if (CORBA::is_nil(channel))
            fail(newProxyConsumerFailure);
        ProxyConsumer_var proxy = obtainPushConsumer(channel);
        return StructuredProxyPushConsumer::_narrow(proxy);
    });
}

} // namespace hvc_util
