// The sandbox's notification channel through the library's connect
// operations: administrations, proxies, delivery to every consumer once and
// in order, and what happens to consumers that die, block or fall behind.
#include "Consumers.h"

#include "hvc_util/Notification.h"
#include "sandbox/Platform.h"
#include "sandbox/notification/NotificationService.h"

#include "support/Failures.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace CosNotifyChannelAdmin;
using hvc_sandbox::EventHub;
using hvc_sandbox::NotificationService;
using hvc_test::reasonOf;
using hvc_test::RecordingConsumer;
using hvc_util::Notification;

class ChannelTest : public ::testing::Test {
protected:
    void SetUp() override {
        platform = std::make_unique<hvc_sandbox::Platform>();
        channel = sandboxChannel()->reference();
        CORBA::Object_var obj = platform->orb()->resolve_initial_references("RootPOA");
        root = PortableServer::POA::_narrow(obj);
    }

    NotificationService& room() { return platform->room<NotificationService>(); }
    PortableServer::Servant_var<hvc_sandbox::EventChannelServant> sandboxChannel() {
        return room().factory().channel(NotificationService::platformChannel);
    }

    // A recording consumer served by the test, and its reference.
    CosNotifyComm::StructuredPushConsumer_ptr serve(RecordingConsumer* servant) {
        servants.emplace_back(servant);
        PortableServer::ObjectId_var id = root->activate_object(servant);
        CORBA::Object_var ref = root->id_to_reference(id.in());
        return CosNotifyComm::StructuredPushConsumer::_narrow(ref);
    }

    // A recording consumer connected to the channel; `proxy`, when given,
    // receives its proxy supplier.
    RecordingConsumer* connected(StructuredProxyPushSupplier_var* proxy = nullptr) {
        auto* servant = new RecordingConsumer;
        CosNotifyComm::StructuredPushConsumer_var ref = serve(servant);
        StructuredProxyPushSupplier_var p =
            Notification::connectStructuredPushConsumer(channel, ref);
        if (proxy != nullptr)
            *proxy = p._retn();
        return servant;
    }

    StructuredProxyPushConsumer_ptr supplier() {
        return Notification::connectStructuredPushSupplier(
            channel, CosNotifyComm::StructuredPushSupplier::_nil());
    }

    static void push(StructuredProxyPushConsumer_ptr proxy, int from, int to) {
        for (int i = from; i < to; ++i) {
            CosNotification::StructuredEvent_var e = Notification::buildEvent(
                ("e" + std::to_string(i)).c_str(), CORBA::Object::_nil(),
                CosNotification::PropertySeq(), CosNotification::PropertySeq(), CORBA::Any());
            proxy->push_structured_event(e.in());
        }
    }

    static std::vector<std::string> names(int from, int to) {
        std::vector<std::string> all;
        for (int i = from; i < to; ++i)
            all.push_back("e" + std::to_string(i));
        return all;
    }

    std::unique_ptr<hvc_sandbox::Platform> platform;
    EventChannel_var channel;
    PortableServer::POA_var root;
    std::vector<PortableServer::Servant_var<RecordingConsumer>> servants;
};

TEST_F(ChannelTest, ConnectsGiveDistinctProxiesOfTheDefaultAdministrations) {
    auto* servant = new RecordingConsumer;
    CosNotifyComm::StructuredPushConsumer_var consumer = serve(servant);
    StructuredProxyPushSupplier_var first =
        Notification::connectStructuredPushConsumer(channel, consumer);
    StructuredProxyPushSupplier_var second =
        Notification::connectStructuredPushConsumer(channel, consumer);
    EXPECT_FALSE(first->_is_equivalent(second));
    ConsumerAdmin_var admin = channel->default_consumer_admin();
    ProxyIDSeq_var ids = admin->push_suppliers();
    EXPECT_EQ(ids->length(), 2u);
    EXPECT_EQ(admin->MyID(), 0);
    ConsumerAdmin_var firstAdmin = first->MyAdmin();
    EXPECT_TRUE(firstAdmin->_is_equivalent(admin));
    EXPECT_EQ(first->MyType(), PUSH_STRUCTURED);

    // The connected proxy refuses another consumer; a nil one is a bad parameter.
    EXPECT_THROW(first->connect_structured_push_consumer(consumer),
                 CosEventChannelAdmin::AlreadyConnected);
    ProxyID id;
    ProxySupplier_var fresh = admin->obtain_notification_push_supplier(STRUCTURED_EVENT, id);
    StructuredProxyPushSupplier_var freshStructured = StructuredProxyPushSupplier::_narrow(fresh);
    EXPECT_THROW(freshStructured->connect_structured_push_consumer(
                     CosNotifyComm::StructuredPushConsumer::_nil()),
                 CORBA::BAD_PARAM);

    // A nil supplier is allowed; an unconnected proxy consumer refuses events.
    StructuredProxyPushConsumer_var pushing = supplier();
    StructuredProxyPushConsumer_var idle = Notification::getNewStructuredProxyPushConsumer(channel);
    ASSERT_FALSE(CORBA::is_nil(idle));
    EXPECT_THROW(push(idle, 0, 1), CosEventComm::Disconnected);
    SupplierAdmin_var supplierAdmin = channel->default_supplier_admin();
    ProxyIDSeq_var consumerIds = supplierAdmin->push_consumers();
    EXPECT_EQ(consumerIds->length(), 2u);
    pushing->disconnect_structured_push_consumer();
    consumerIds = supplierAdmin->push_consumers();
    EXPECT_EQ(consumerIds->length(), 1u);
}

TEST_F(ChannelTest, NewAdministrationsKeepTheirOperator) {
    for (InterFilterGroupOperator op : {AND_OP, OR_OP}) {
        ConsumerAdmin_var consumers = Notification::getNewConsumerAdmin(channel, op);
        SupplierAdmin_var suppliers = Notification::getNewSupplierAdmin(channel, op);
        EXPECT_EQ(consumers->MyOperator(), op);
        EXPECT_EQ(suppliers->MyOperator(), op);
        EXPECT_NE(consumers->MyID(), 0);
        EventChannel_var owner = consumers->MyChannel();
        EXPECT_TRUE(owner->_is_equivalent(channel));
        ConsumerAdmin_var found = channel->get_consumeradmin(consumers->MyID());
        EXPECT_TRUE(found->_is_equivalent(consumers));
    }
    AdminIDSeq_var ids = channel->get_all_consumeradmins();
    EXPECT_EQ(ids->length(), 3u);
    const hvc_sandbox::ChannelState state = sandboxChannel()->state();
    ASSERT_EQ(state.consumerAdmins.size(), 3u);
    EXPECT_EQ(state.consumerAdmins[2].op, OR_OP);

    ConsumerAdmin_var extra = channel->get_consumeradmin(ids[1]);
    extra->destroy();
    ids = channel->get_all_consumeradmins();
    EXPECT_EQ(ids->length(), 2u);
    EXPECT_THROW(channel->get_consumeradmin(state.consumerAdmins[1].id), AdminNotFound);
    ConsumerAdmin_var defaults = channel->default_consumer_admin();
    EXPECT_THROW(defaults->destroy(), CORBA::BAD_OPERATION);
}

TEST_F(ChannelTest, NilAndFailingChannelsGiveEachOperationsText) {
    auto* servant = new RecordingConsumer;
    CosNotifyComm::StructuredPushConsumer_var consumer = serve(servant);
    const EventChannel_ptr nil = EventChannel::_nil();
    for (EventChannel_ptr target : {nil, channel.in()}) {
        if (target != nil) // a channel whose every operation raises OBJECT_NOT_EXIST
            sandboxChannel()->destroy();
        EXPECT_EQ(
            reasonOf([&] { return Notification::connectStructuredPushConsumer(target, consumer); }),
            "Problem in connectStructuredPushConsumer ");
        EXPECT_EQ(reasonOf([&] {
                      return Notification::connectStructuredPushSupplier(
                          target, CosNotifyComm::StructuredPushSupplier::_nil());
                  }),
                  "Failed in connectStructuredPushSupplier");
        EXPECT_EQ(reasonOf([&] { return Notification::getNewStructuredProxyPushConsumer(target); }),
                  "Failed in getNewStructuredProxyPushConsumer");
        EXPECT_EQ(reasonOf([&] { return Notification::getNewConsumerAdmin(target, AND_OP); }),
                  "Failed in getNewConsumerAdmin");
        EXPECT_EQ(reasonOf([&] { return Notification::getNewSupplierAdmin(target, OR_OP); }),
                  "Failed in getNewSupplierAdmin");
    }
}

TEST_F(ChannelTest, NilConsumerAndRefusedConnectsLeaveNothingBehind) {
    EXPECT_EQ(reasonOf([&] {
                  return Notification::connectStructuredPushConsumer(
                      channel, CosNotifyComm::StructuredPushConsumer::_nil());
              }),
              "Problem in connectStructuredPushConsumer ");
    auto* servant = new RecordingConsumer;
    CosNotifyComm::StructuredPushConsumer_var consumer = serve(servant);
    sandboxChannel()->refuseConnects(true);
    EXPECT_EQ(
        reasonOf([&] { return Notification::connectStructuredPushConsumer(channel, consumer); }),
        "Problem in connectStructuredPushConsumer ");
    EXPECT_EQ(reasonOf([&] {
                  return Notification::connectStructuredPushSupplier(
                      channel, CosNotifyComm::StructuredPushSupplier::_nil());
              }),
              "Failed in connectStructuredPushSupplier");
    ConsumerAdmin_var consumers = channel->default_consumer_admin();
    SupplierAdmin_var suppliers = channel->default_supplier_admin();
    EXPECT_EQ(ProxyIDSeq_var(consumers->push_suppliers())->length(), 0u);
    EXPECT_EQ(ProxyIDSeq_var(suppliers->push_consumers())->length(), 0u);
}

TEST_F(ChannelTest, FactoryMakesAndFindsChannelsAndRefusesWhatItDoesNotServe) {
    EventChannelFactory_var factory = room().factory().reference();
    ChannelID id = -1;
    EventChannel_var made = factory->create_channel(CosNotification::QoSProperties(),
                                                    CosNotification::AdminProperties(), id);
    EXPECT_EQ(id, 1);
    EventChannel_var found = factory->get_event_channel(id);
    EXPECT_TRUE(found->_is_equivalent(made));
    EXPECT_EQ(ChannelIDSeq_var(factory->get_all_channels())->length(), 2u);
    EXPECT_THROW(factory->get_event_channel(9), ChannelNotFound);
    CosNotification::QoSProperties qos;
    qos.length(1);
    qos[0].name = CosNotification::MaxQueueLength;
    qos[0].value <<= CORBA::Long(3);
    EXPECT_THROW(factory->create_channel(qos, CosNotification::AdminProperties(), id),
                 CosNotification::UnsupportedQoS);

    made->destroy();
    EXPECT_EQ(ChannelIDSeq_var(factory->get_all_channels())->length(), 1u);
    EXPECT_THROW(made->default_consumer_admin(), CORBA::OBJECT_NOT_EXIST);

    ConsumerAdmin_var admin = channel->default_consumer_admin();
    ProxyID proxy;
    EXPECT_THROW(channel->get_qos(), CORBA::NO_IMPLEMENT);
    EXPECT_THROW(channel->default_filter_factory(), CORBA::NO_IMPLEMENT);
    EXPECT_THROW(admin->add_filter(CosNotifyFilter::Filter::_nil()), CORBA::NO_IMPLEMENT);
    EXPECT_THROW(admin->obtain_notification_pull_supplier(STRUCTURED_EVENT, proxy),
                 CORBA::NO_IMPLEMENT);
    EXPECT_THROW(admin->obtain_notification_push_supplier(SEQUENCE_EVENT, proxy),
                 CORBA::NO_IMPLEMENT);
}

TEST_F(ChannelTest, EveryConsumerGetsEveryEventOnceInPushOrder) {
    StructuredProxyPushSupplier_var leaving;
    std::vector<RecordingConsumer*> consumers = {connected(&leaving), connected(), connected()};
    StructuredProxyPushConsumer_var first = supplier();
    StructuredProxyPushConsumer_var second = supplier();
    push(first, 0, 100);
    push(second, 100, 200);
    for (RecordingConsumer* c : consumers)
        EXPECT_EQ(c->waitFor(200), names(0, 200));

    // A consumer that leaves gets nothing more; the others go on.
    leaving->disconnect_structured_push_supplier();
    push(first, 200, 210);
    EXPECT_EQ(consumers[1]->waitFor(210), names(0, 210));
    EXPECT_EQ(consumers[0]->names().size(), 200u);
    EXPECT_EQ(room().consumers(), 2u);
}

TEST_F(ChannelTest, AGoneConsumerIsDroppedWhileTheOtherKeepsReceiving) {
    StructuredProxyPushSupplier_var goneProxy;
    RecordingConsumer* gone = connected(&goneProxy);
    RecordingConsumer* staying = connected();
    StructuredProxyPushConsumer_var proxy = supplier();
    push(proxy, 0, 10);
    ASSERT_EQ(gone->waitFor(10).size(), 10u);

    PortableServer::ObjectId_var id = root->servant_to_id(gone);
    root->deactivate_object(id.in());
    push(proxy, 10, 20);
    EXPECT_EQ(staying->waitFor(20), names(0, 20));
    for (int waited = 0; room().consumers() != 1 && waited < 200; ++waited)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(room().consumers(), 1u);
    ConsumerAdmin_var admin = channel->default_consumer_admin();
    EXPECT_EQ(ProxyIDSeq_var(admin->push_suppliers())->length(), 1u);
    EXPECT_THROW(goneProxy->MyType(), CORBA::OBJECT_NOT_EXIST);
}

TEST_F(ChannelTest, ABlockedConsumerDelaysNeitherTheSupplierNorTheOthers) {
    RecordingConsumer* blocked = connected();
    RecordingConsumer* other = connected();
    blocked->block();
    StructuredProxyPushConsumer_var proxy = supplier();
    push(proxy, 0, 1);
    ASSERT_TRUE(blocked->waitBlocked(10));

    // Everything is pushed and delivered to the other while the first waits.
    const int total = static_cast<int>(EventHub::queueBound) + 11;
    push(proxy, 1, total);
    EXPECT_EQ(other->waitFor(total).size(), static_cast<std::size_t>(total));
    EXPECT_EQ(blocked->names().size(), 1u);

    // Its queue kept the newest events: the oldest ten waiting were discarded.
    blocked->release();
    std::vector<std::string> got = blocked->waitFor(total - 10);
    ASSERT_EQ(got.size(), static_cast<std::size_t>(total - 10));
    EXPECT_EQ(got[0], "e0");
    EXPECT_EQ(got[1], "e11");
    EXPECT_EQ(got.back(), "e" + std::to_string(total - 1));
}

TEST_F(ChannelTest, DestroyingThePlatformStopsDeliveriesWithConsumersConnected) {
    RecordingConsumer* servant = connected();
    StructuredProxyPushConsumer_var pushing = supplier();
    push(pushing, 0, 50);
    platform.reset();
    EXPECT_LE(servant->names().size(), 50u);
}

} // namespace
