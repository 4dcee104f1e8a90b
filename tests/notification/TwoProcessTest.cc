// Events across processes: the test supplies through an hvc-sandbox of its
// own, and hvcutil listeners in processes of their own consume.
#include "hvc_util/BootStrapIORs.h"
#include "hvc_util/Notification.h"

#include "support/ChildProcess.h"
#include "support/ScopedEnv.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>

namespace {

using namespace CosNotifyChannelAdmin;
using hvc_util::Notification;

class TwoProcessTest : public ::testing::Test {
protected:
    void SetUp() override {
        home.set("HVC_HOME", sandbox.home());
        EventChannelFactory_var factory = Notification::getChannelFactory();
        channel = factory->get_event_channel(0);
        admin = channel->default_consumer_admin();
        proxy = Notification::connectStructuredPushSupplier(
            channel, CosNotifyComm::StructuredPushSupplier::_nil());
    }

    // An hvcutil listener, connected on return: it says so on its standard
    // error, which joins its output here.
    std::unique_ptr<hvc_test::ChildProcess> listener(const std::vector<std::string>& args) {
        std::vector<std::string> argv{"/bin/sh", "-c", "exec \"$0\" events listen \"$@\" 2>&1",
                                      std::getenv("HVC_HVCUTIL_EXE")};
        argv.insert(argv.end(), args.begin(), args.end());
        auto child = std::make_unique<hvc_test::ChildProcess>(argv);
        child->waitForLine("listening on channel 0", 20);
        return child;
    }

    // Waits until the channel's default consumer administration has `count`
    // proxies.
    bool consumerProxies(CORBA::ULong count) {
        for (int waited = 0; waited < 1000; ++waited) {
            ProxyIDSeq_var ids = admin->push_suppliers();
            if (ids->length() == count)
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return false;
    }

    void pushCursors(int from, int to) {
        for (int i = from; i < to; ++i) {
            EpCoordinateService::Coordinate location{};
            location.point.x = i;
            CosNotification::PropertySeq data;
            data.length(1);
            data[0].name = EpEventService::CURSOR_LOCATION_FIELD;
            data[0].value <<= location;
            CosNotification::StructuredEvent_var event = Notification::buildEvent(
                EpEventService::CURSOR_LOCATION_EVENT, CORBA::Object::_nil(),
                CosNotification::PropertySeq(), data, CORBA::Any());
            proxy->push_structured_event(event.in());
        }
    }

    static std::string line(int x) {
        return "cursor sender=nil location=NullSystem  " + std::to_string(x) +
               ".000000     0.000000     0.000000  labels=[]";
    }

    // Reads the next `count` cursor lines and checks they are the events
    // from..to in order.
    static void expectLines(hvc_test::ChildProcess& child, int from, int to) {
        for (int i = from; i < to; ++i)
            ASSERT_EQ(child.waitForLine("cursor ", 20), line(i));
    }

    hvc_test::SandboxProcess sandbox;
    hvc_test::ScopedEnv home;
    EventChannel_var channel;
    ConsumerAdmin_var admin;
    StructuredProxyPushConsumer_var proxy;
};

TEST_F(TwoProcessTest, EveryCursorEventArrivesOnceAndInOrder) {
    auto child = listener({"--count", "300"});
    ASSERT_TRUE(consumerProxies(1));
    pushCursors(0, 300);
    expectLines(*child, 0, 300);
    EXPECT_EQ(child->waitForExit(10), "exit 0");
    // The listener disconnected as it left.
    EXPECT_TRUE(consumerProxies(0));
}

TEST_F(TwoProcessTest, AConsumerThatDiesMidStreamIsDroppedWhileTheOtherKeepsReceiving) {
    auto dying = listener({});
    auto staying = listener({});
    ASSERT_TRUE(consumerProxies(2));
    pushCursors(0, 50);
    expectLines(*dying, 0, 50);
    expectLines(*staying, 0, 50);
    ::kill(dying->pid(), SIGKILL);
    pushCursors(50, 100);
    expectLines(*staying, 50, 100);
    EXPECT_TRUE(consumerProxies(1));
}

TEST_F(TwoProcessTest, SandboxStopsWithinASecondWithAConsumerConnected) {
    auto child = listener({});
    ASSERT_TRUE(consumerProxies(1));
    pushCursors(0, 20);
    expectLines(*child, 0, 20);
    EXPECT_EQ(sandbox.process().signalAndWait(SIGTERM, 1000), "exit 0")
        << "hvc-sandbox, asked to stop, did not exit 0 within a second";
}

} // namespace
