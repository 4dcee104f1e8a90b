// Notification service access: the channel factory of the platform's events,
// connecting structured push clients to a channel, and building and parsing
// the platform's structured events.
#pragma once

#include <hvc_util/Export.h>

#include <CosNotifyChannelAdmin.hh>
#include <DosTypes.hh>
#include <EpCoordinateService.hh>
#include <EpEventService.hh>

#include <atomic>

namespace hvc_util {

// Set of static operations, never instantiated. Owns one cached
// channel-factory reference for the life of the process: threads asking at
// once share one resolution, and once cached a call is one atomic load and a
// _duplicate; the reference carries the library's call timeout. Every other
// operation keeps nothing and is safe to call from several threads. Returned
// references, strings, sequences and events are new and owned by the caller.
class HVC_UTIL_API Notification {
public:
    // The notification channel factory. Raises EpTypes::FailedOperationException
    // "Error in getChannelFactory; cannot resolve
    // 'CosNotifyChannelAdmin::EventChannelFactory' service." when unresolved.
    static CosNotifyChannelAdmin::EventChannelFactory_ptr getChannelFactory();

    // Name of the environment variable holding the channel factory's reference.
    static const char* channelFactoryEnvironmentVariableName();

    // A new consumer (supplier) administration of `channel` for the filter-group
    // operator `op`; the administration's identifier is dropped. Any failure,
    // a nil channel included, raises EpTypes::FailedOperationException
    // "Failed in getNewConsumerAdmin" ("Failed in getNewSupplierAdmin").
    static CosNotifyChannelAdmin::ConsumerAdmin_ptr
    getNewConsumerAdmin(CosNotifyChannelAdmin::EventChannel_ptr channel,
                        const CosNotifyChannelAdmin::InterFilterGroupOperator& op);
    static CosNotifyChannelAdmin::SupplierAdmin_ptr
    getNewSupplierAdmin(CosNotifyChannelAdmin::EventChannel_ptr channel,
                        const CosNotifyChannelAdmin::InterFilterGroupOperator& op);

    // Connects `consumer` to a new structured push supplier proxy of the
    // channel's default consumer administration and returns the proxy. Any
    // failure, a nil channel or consumer included, raises
    // EpTypes::FailedOperationException "Problem in connectStructuredPushConsumer "
    // (trailing blank) and leaves no proxy behind on the channel.
    static CosNotifyChannelAdmin::StructuredProxyPushSupplier_ptr
    connectStructuredPushConsumer(CosNotifyChannelAdmin::EventChannel_ptr channel,
                                  CosNotifyComm::StructuredPushConsumer_ptr consumer);

    // Connects `supplier` (nil allowed) to a new structured push consumer proxy
    // of the channel's default supplier administration and returns the proxy,
    // to which the caller pushes its events. Any failure, a nil channel
    // included, raises EpTypes::FailedOperationException
    // "Failed in connectStructuredPushSupplier" and leaves no proxy behind.
    static CosNotifyChannelAdmin::StructuredProxyPushConsumer_ptr
    connectStructuredPushSupplier(CosNotifyChannelAdmin::EventChannel_ptr channel,
                                  CosNotifyComm::StructuredPushSupplier_ptr supplier);

    // A new structured push consumer proxy of the channel's default supplier
    // administration, not connected; nil when the proxy the channel hands out
    // is of another kind. Any failure, a nil channel included, raises
    // EpTypes::FailedOperationException "Failed in getNewStructuredProxyPushConsumer".
    static CosNotifyChannelAdmin::StructuredProxyPushConsumer_ptr
    getNewStructuredProxyPushConsumer(CosNotifyChannelAdmin::EventChannel_ptr channel);

    // A new platform event: the platform's domain, `typeName`, the null
    // identifier's text as event name, `sender` (nil allowed) as variable-header
    // entry 0 followed by `variableHeader`, then `filterableData` and `body`.
    // The caller owns the result (delete). A null `typeName` raises
    // CORBA::BAD_PARAM.
    static CosNotification::StructuredEvent*
    buildEvent(const char* typeName, CORBA::Object_ptr sender,
               const CosNotification::PropertySeq& variableHeader,
               const CosNotification::PropertySeq& filterableData, const CORBA::Any& body);

    // Takes a platform event apart. Strings and the sender are new and the
    // caller's (their former values are overwritten, not freed); the sequences
    // and `body` receive copies. Raises EpTypes::FailedOperationException
    // "Invalid event.  Expected event domain = <platform's> not <event's>"
    // before handing out anything; when variable-header entry 0 is not the
    // sender, writes "Failed operation...\n" to stderr and raises
    // "Invalid event. The first element of the variable header property does
    // not contain the event sender." after handing out the two names.
    static void parseEvent(const CosNotification::StructuredEvent& event, char*& eventName,
                           char*& typeName, CORBA::Object_ptr& sender,
                           CosNotification::PropertySeq& variableHeader,
                           CosNotification::PropertySeq& filterableData, CORBA::Any& body);

    // The standard event kinds. Each applies parseEvent's checks first and
    // hands out the sender (and, for a data change, the two names) before it
    // checks the kind's data, raising EpTypes::FailedOperationException with
    // the kind's text when the data is not where the kind keeps it. A value of
    // an unexpected type in a rightly named field leaves the output as it was.
    static void parseCursorLocationEvent(const CosNotification::StructuredEvent& event,
                                         CORBA::Object_ptr& sender,
                                         EpCoordinateService::Coordinate& location,
                                         DosTypes::StringSeq& axisLabels);
    static void parseDataChangeEvent(const CosNotification::StructuredEvent& event,
                                     char*& eventName, char*& typeName, CORBA::Object_ptr& sender,
                                     CORBA::Any& data);
    static void parsePointOfInterestEvent(const CosNotification::StructuredEvent& event,
                                          CORBA::Object_ptr& sender,
                                          EpCoordinateService::Coordinate& location,
                                          EpEventService::MouseButtonPressed& button,
                                          DosTypes::StringSeq& axisLabels);
    // `objects` becomes empty when the field holds no sequence of references.
    static void parseObjectSelectionEvent(const CosNotification::StructuredEvent& event,
                                          CORBA::Object_ptr& sender, DosTypes::ObjectSeq& objects);

private:
    Notification() = delete;
    static std::atomic<CosNotifyChannelAdmin::EventChannelFactory_ptr> channelFactory;
};

} // namespace hvc_util
