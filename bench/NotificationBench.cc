// Events per second from one supplier to its consumers through the sandbox's
// notification channel (a child hvc-sandbox), beside the same push loop
// straight to a bare consumer servant; and through the channel to ten
// consumers of which one never returns from a delivery. Every consumer lives
// in a child process, so every hop is a real call over loopback.
#include "hvc_util/Notification.h"
#include "support/BenchMain.h"
#include "support/ChildProcess.h"
#include "support/ChildSandbox.h"

#include "bindings/Orb.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace CosNotifyChannelAdmin;
using hvc_util::Notification;

constexpr int eventsPerRound = 200;

// The sandbox, started once for the whole run.
EventChannel_ptr platformChannel() {
    static EventChannel_var channel;
    if (CORBA::is_nil(channel)) {
        hvc_bench::startChildSandbox({}, "");
        EventChannelFactory_var factory = Notification::getChannelFactory();
        channel = factory->get_event_channel(0);
    }
    return channel.in();
}

// A sink process serving `count` consumers, and their references.
struct Sinks {
    std::unique_ptr<hvc_test::ChildProcess> process;
    std::vector<CosNotifyComm::StructuredPushConsumer_var> consumers;

    Sinks(int count, int stalled) {
        process = std::make_unique<hvc_test::ChildProcess>(std::vector<std::string>{
            HVC_EVENT_SINK_EXE, std::to_string(count), std::to_string(stalled)});
        CORBA::ORB_var orb = hvc_util::Orb::init();
        for (int i = 0; i < count; ++i) {
            CORBA::Object_var obj = orb->string_to_object(process->waitForLine("IOR:", 30).c_str());
            consumers.emplace_back(CosNotifyComm::StructuredPushConsumer::_narrow(obj));
        }
    }
};

CosNotification::StructuredEvent* cursorEvent(const char* type) {
    EpCoordinateService::Coordinate location{};
    location.point.x = 1;
    CosNotification::PropertySeq data;
    data.length(1);
    data[0].name = EpEventService::CURSOR_LOCATION_FIELD;
    data[0].value <<= location;
    return Notification::buildEvent(type, CORBA::Object::_nil(), CosNotification::PropertySeq(),
                                    data, CORBA::Any());
}

// One round: the events, then the end marker, then the sink's word that
// every live consumer has them all.
template <class Target> void rounds(benchmark::State& state, Target target, Sinks& sinks) {
    CosNotification::StructuredEvent_var event = cursorEvent(EpEventService::CURSOR_LOCATION_EVENT);
    CosNotification::StructuredEvent_var end = cursorEvent("end");
    for (auto _ : state) {
        for (int i = 0; i < eventsPerRound; ++i)
            target->push_structured_event(event.in());
        target->push_structured_event(end.in());
        sinks.process->waitForLine("round", 60);
    }
    state.SetItemsProcessed(state.iterations() * eventsPerRound);
}

void BM_DirectPush(benchmark::State& state) {
    platformChannel();
    Sinks sinks(1, -1);
    rounds(state, sinks.consumers[0].in(), sinks);
}
BENCHMARK(BM_DirectPush)->Iterations(300)->UseRealTime();

// Through the channel to `count` consumers, consumer 0 stalled when
// `stalled` says so.
void channelRounds(benchmark::State& state, int count, bool stalled) {
    EventChannel_ptr channel = platformChannel();
    Sinks sinks(count, stalled ? 0 : -1);
    std::vector<StructuredProxyPushSupplier_var> proxies;
    for (auto& consumer : sinks.consumers)
        proxies.emplace_back(Notification::connectStructuredPushConsumer(channel, consumer));
    StructuredProxyPushConsumer_var supplier = Notification::connectStructuredPushSupplier(
        channel, CosNotifyComm::StructuredPushSupplier::_nil());
    rounds(state, supplier.in(), sinks);
    supplier->disconnect_structured_push_consumer();
    for (auto& proxy : proxies) {
        try {
            proxy->disconnect_structured_push_supplier();
        } catch (const CORBA::Exception&) {
        }
    }
}

void BM_ChannelPush(benchmark::State& state) {
    channelRounds(state, 1, false);
}
BENCHMARK(BM_ChannelPush)->Iterations(300)->UseRealTime();

void BM_ChannelPushTenOneStalled(benchmark::State& state) {
    channelRounds(state, 10, true);
}
BENCHMARK(BM_ChannelPushTenOneStalled)->Iterations(300)->UseRealTime();

HVC_BENCH_RATIO("BM_ChannelPush/iterations:300/real_time",
                "BM_DirectPush/iterations:300/real_time");
HVC_BENCH_RATIO("BM_ChannelPushTenOneStalled/iterations:300/real_time",
                "BM_ChannelPush/iterations:300/real_time");

} // namespace
