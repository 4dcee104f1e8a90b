// Delivery of one channel's events: every event pushed reaches every consumer
// connected at the time, once and in push order, each consumer through a
// queue and a thread of its own.
#pragma once

#include <CosNotifyComm.hh>

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace hvc_sandbox {

// Owns the consumers' queues and delivery threads. Thread-safe: pushes,
// connects and disconnects come from any ORB thread at once. Lock order: the
// hub's lock before a queue's; no lock is held during a call to a consumer.
class EventHub {
public:
    // Events a consumer that falls behind may have waiting; past this the
    // oldest waiting events of that consumer are discarded and counted.
    static constexpr std::size_t queueBound = 10000;
    // How long one delivery to a consumer may take before the consumer counts
    // as unreachable and is dropped.
    static constexpr CORBA::ULong consumerCallTimeoutMs = 5000;

    using Token = std::uint64_t;

    EventHub() = default;
    ~EventHub();
    EventHub(const EventHub&) = delete;
    EventHub& operator=(const EventHub&) = delete;

    // Starts delivering every event pushed from now on to `consumer` (the hub
    // takes a reference of its own). `dropped` runs on the delivery thread,
    // with no lock held, when the consumer is dropped as unreachable.
    Token connect(CosNotifyComm::StructuredPushConsumer_ptr consumer,
                  std::function<void()> dropped);
    // Stops delivering to the consumer; events still waiting for it are
    // dropped. Returns at once, even while a delivery to it is in progress
    // (the consumer may be the caller). Unknown tokens are ignored.
    void disconnect(Token token);
    // Queues `event` for every connected consumer.
    void push(const CosNotification::StructuredEvent& event);
    // Disconnects every consumer without waiting; the hub delivers nothing
    // afterwards. For a channel destroyed by a client, which may be a
    // consumer inside a delivery.
    void retireAll();
    // retireAll(), then waits for the delivery threads to end (a delivery in
    // progress ends within the call timeout). Idempotent. Not to be called
    // from a delivery thread.
    void stop();
    // Whether every delivery thread has ended (stop() then returns at once).
    bool finished() const;

    std::size_t consumers() const;
    // Events discarded for `token` because its queue was full (0 for an
    // unknown token).
    std::uint64_t discarded(Token token) const;

private:
    using Event = std::shared_ptr<const CosNotification::StructuredEvent>;

    struct Queue {
        CosNotifyComm::StructuredPushConsumer_var consumer;
        std::function<void()> dropped;
        std::mutex lock;
        std::condition_variable ready;
        std::deque<Event> events;
        bool stopping = false;
        std::uint64_t discarded = 0;
        bool finished = false; // guarded by the hub's lock
    };

    void deliver(Token token, std::shared_ptr<Queue> queue);
    // Removes the queue from the active set and tells its thread to end.
    void retire(Token token);
    // Joins the threads of queues that have ended; hub's lock held.
    void reapFinished();

    mutable std::mutex lock;
    std::map<Token, std::shared_ptr<Queue>> active;
    // Every delivery thread not yet joined, active or retired.
    std::map<Token, std::pair<std::shared_ptr<Queue>, std::thread>> threads;
    Token nextToken = 1;
    bool stopped = false;
};

} // namespace hvc_sandbox
