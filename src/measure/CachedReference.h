// A process-wide object reference that is resolved once and then read with
// one atomic load: the caches of the measurement classes (the units
// service's finder and declaration, the built-in units).
#pragma once

#include <omniORB4/CORBA.h>

#include <atomic>
#include <mutex>

namespace hvc_util {

// Owns the one reference it publishes, for the life of the process (it is
// never released). Safe to use from any number of threads; constant-
// initialised, so it may be a static of any translation unit.
template <class T> class CachedReference {
public:
    using Ptr = typename T::_ptr_type;

    constexpr CachedReference() = default;
    CachedReference(const CachedReference&) = delete;
    CachedReference& operator=(const CachedReference&) = delete;

    // The cached object, borrowed; nil while none is published.
    Ptr get() const {
        Ptr p = slot.load(std::memory_order_acquire);
        return p != nullptr ? p : T::_nil();
    }
    bool isSet() const { return slot.load(std::memory_order_acquire) != nullptr; }

    // A new reference to the cached object. When none is cached, runs
    // `fill()` under the cache's lock (other callers wait for its outcome):
    // it returns a new reference or nil and may raise, which leaves the cache
    // empty for the next call. A non-nil result is published; nil is returned
    // as it is.
    template <class Fill> Ptr resolve(Fill&& fill) {
        if (Ptr p = slot.load(std::memory_order_acquire))
            return T::_duplicate(p);
        std::lock_guard<std::mutex> hold(lock);
        if (Ptr p = slot.load(std::memory_order_acquire))
            return T::_duplicate(p);
        Ptr made = fill();
        if (CORBA::is_nil(made))
            return T::_nil();
        slot.store(made, std::memory_order_release);
        return T::_duplicate(made);
    }

    // Publishes `value`, which the cache takes, unless a reference is
    // published already (then `value` is released): a set cache is never
    // overwritten. Returns whether `value` was kept.
    bool offer(Ptr value) {
        if (CORBA::is_nil(value))
            return false;
        Ptr expected = nullptr;
        if (slot.compare_exchange_strong(expected, value, std::memory_order_acq_rel))
            return true;
        CORBA::release(value);
        return false;
    }

private:
    std::atomic<Ptr> slot{nullptr};
    std::mutex lock;
};

} // namespace hvc_util
