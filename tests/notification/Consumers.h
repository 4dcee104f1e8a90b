// Structured push consumers for the channel tests: each records the type
// names of the events it is given, and can be made to block inside a
// delivery until released.
#pragma once

#include <CosNotifyChannelAdmin.hh>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

namespace hvc_test {

class RecordingConsumer : public POA_CosNotifyComm::StructuredPushConsumer {
public:
    void push_structured_event(const CosNotification::StructuredEvent& event) override {
        std::unique_lock<std::mutex> hold(lock);
        received.push_back(event.header.fixed_header.event_type.type_name.in());
        changed.notify_all();
        if (blocking) {
            entered = true;
            changed.notify_all();
            changed.wait(hold, [&] { return !blocking; });
        }
    }
    void disconnect_structured_push_consumer() override {
        std::lock_guard<std::mutex> hold(lock);
        disconnected = true;
    }
    void offer_change(const CosNotification::EventTypeSeq&,
                      const CosNotification::EventTypeSeq&) override {}

    // From now on each delivery blocks until release().
    void block() {
        std::lock_guard<std::mutex> hold(lock);
        blocking = true;
        entered = false;
    }
    void release() {
        std::lock_guard<std::mutex> hold(lock);
        blocking = false;
        changed.notify_all();
    }
    // Whether a delivery is blocked inside, waiting up to `seconds`.
    bool waitBlocked(int seconds) {
        std::unique_lock<std::mutex> hold(lock);
        return changed.wait_for(hold, std::chrono::seconds(seconds), [&] { return entered; });
    }
    // The names received once there are `count`, or what came within `seconds`.
    std::vector<std::string> waitFor(std::size_t count, int seconds = 20) {
        std::unique_lock<std::mutex> hold(lock);
        changed.wait_for(hold, std::chrono::seconds(seconds),
                         [&] { return received.size() >= count; });
        return received;
    }
    std::vector<std::string> names() {
        std::lock_guard<std::mutex> hold(lock);
        return received;
    }

private:
    std::mutex lock;
    std::condition_variable changed;
    std::vector<std::string> received;
    bool blocking = false;
    bool entered = false;
    bool disconnected = false;
};

} // namespace hvc_test
