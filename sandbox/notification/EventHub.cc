#include "EventHub.h"

#include <omniORB4/omniORB.h>

#include <algorithm>

namespace hvc_sandbox {

namespace {

// Events a delivery thread takes from its queue at once: few, so that events
// still waiting stay within the queue's bound and a disconnect drops them.
constexpr std::size_t takeAtOnce = 64;

} // namespace

EventHub::~EventHub() {
    stop();
}

EventHub::Token EventHub::connect(CosNotifyComm::StructuredPushConsumer_ptr consumer,
                                  std::function<void()> dropped) {
    auto queue = std::make_shared<Queue>();
    queue->consumer = CosNotifyComm::StructuredPushConsumer::_duplicate(consumer);
    queue->dropped = std::move(dropped);
    // Only our own reference carries the timeout; the caller's is unchanged.
    omniORB::setClientCallTimeout(queue->consumer.in(), consumerCallTimeoutMs);

    std::lock_guard<std::mutex> hold(lock);
    if (stopped)
        throw CORBA::OBJECT_NOT_EXIST(0, CORBA::COMPLETED_NO);
    reapFinished();
    const Token token = nextToken++;
    active.emplace(token, queue);
    threads.emplace(token,
                    std::make_pair(queue, std::thread(&EventHub::deliver, this, token, queue)));
    return token;
}

void EventHub::disconnect(Token token) {
    std::lock_guard<std::mutex> hold(lock);
    retire(token);
}

void EventHub::push(const CosNotification::StructuredEvent& event) {
    // One copy, shared by every queue.
    Event shared = std::make_shared<const CosNotification::StructuredEvent>(event);
    std::lock_guard<std::mutex> hold(lock);
    // Under the hub's lock, so concurrent pushes reach every queue in the
    // same order.
    for (auto& entry : active) {
        Queue& queue = *entry.second;
        {
            std::lock_guard<std::mutex> holdQueue(queue.lock);
            if (queue.events.size() >= queueBound) {
                queue.events.pop_front();
                ++queue.discarded;
            }
            queue.events.push_back(shared);
        }
        queue.ready.notify_one();
    }
}

void EventHub::retireAll() {
    std::lock_guard<std::mutex> hold(lock);
    stopped = true;
    while (!active.empty())
        retire(active.begin()->first);
}

void EventHub::stop() {
    retireAll();
    std::map<Token, std::pair<std::shared_ptr<Queue>, std::thread>> ending;
    {
        std::lock_guard<std::mutex> hold(lock);
        ending.swap(threads);
    }
    for (auto& entry : ending)
        entry.second.second.join();
}

bool EventHub::finished() const {
    std::lock_guard<std::mutex> hold(lock);
    for (const auto& entry : threads)
        if (!entry.second.first->finished)
            return false;
    return true;
}

std::size_t EventHub::consumers() const {
    std::lock_guard<std::mutex> hold(lock);
    return active.size();
}

std::uint64_t EventHub::discarded(Token token) const {
    std::lock_guard<std::mutex> hold(lock);
    auto found = threads.find(token);
    if (found == threads.end())
        return 0;
    Queue& queue = *found->second.first;
    std::lock_guard<std::mutex> holdQueue(queue.lock);
    return queue.discarded;
}

void EventHub::retire(Token token) {
    auto found = active.find(token);
    if (found == active.end())
        return;
    std::shared_ptr<Queue> queue = found->second;
    active.erase(found);
    {
        std::lock_guard<std::mutex> holdQueue(queue->lock);
        queue->stopping = true;
        queue->events.clear();
    }
    queue->ready.notify_one();
}

void EventHub::reapFinished() {
    for (auto it = threads.begin(); it != threads.end();) {
        if (it->second.first->finished) {
            it->second.second.join();
            it = threads.erase(it);
        } else {
            ++it;
        }
    }
}

void EventHub::deliver(Token token, std::shared_ptr<Queue> queue) {
    std::vector<Event> taken;
    bool unreachable = false;
    while (!unreachable) {
        {
            std::unique_lock<std::mutex> holdQueue(queue->lock);
            queue->ready.wait(holdQueue, [&] { return queue->stopping || !queue->events.empty(); });
            if (queue->stopping)
                break;
            const std::size_t n = std::min(queue->events.size(), takeAtOnce);
            taken.assign(queue->events.begin(), queue->events.begin() + n);
            queue->events.erase(queue->events.begin(), queue->events.begin() + n);
        }
        for (const Event& event : taken) {
            try {
                queue->consumer->push_structured_event(*event);
            } catch (const CORBA::OBJECT_NOT_EXIST&) {
                unreachable = true;
            } catch (const CORBA::TRANSIENT&) {
                unreachable = true;
            } catch (const CORBA::COMM_FAILURE&) {
                unreachable = true;
            } catch (const CosEventComm::Disconnected&) {
                // The consumer says it is no longer connected.
                unreachable = true;
            } catch (...) {
                // The consumer refused this one event; it stays connected.
            }
            if (unreachable)
                break;
            std::lock_guard<std::mutex> holdQueue(queue->lock);
            if (queue->stopping)
                break;
        }
        taken.clear();
    }

    bool wasActive = false;
    if (unreachable) {
        std::lock_guard<std::mutex> hold(lock);
        wasActive = active.count(token) != 0;
        retire(token);
    }
    if (wasActive && queue->dropped)
        queue->dropped();
    std::lock_guard<std::mutex> hold(lock);
    queue->finished = true;
}

} // namespace hvc_sandbox
