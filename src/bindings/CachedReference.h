// A process-wide object reference resolved once and then read with one
// atomic load: the ResolveOnce mechanism for references (the units service's
// finder and declaration, the built-in units, the trader's register
// interface, and the like).
#pragma once

#include "bindings/CallTimeout.h"
#include "bindings/ResolveOnce.h"

#include <omniORB4/CORBA.h>

#include <atomic>

namespace hvc_util {

// Owns the one reference it publishes, for the life of the process (it is
// never released); the reference carries the library's call timeout. Safe to
// use from any number of threads; a static of any translation unit (the slot
// is constant-initialised).
template <class T> class CachedReference {
public:
    using Ptr = typename T::_ptr_type;

    CachedReference() = default;
    CachedReference(const CachedReference&) = delete;
    CachedReference& operator=(const CachedReference&) = delete;

    // The cached object, borrowed; nil while none is published.
    Ptr get() const {
        Ptr p = slot.load(std::memory_order_acquire);
        return p != nullptr ? p : T::_nil();
    }
    bool isSet() const { return slot.load(std::memory_order_acquire) != nullptr; }

    // A new reference to the cached object. When none is cached, runs
    // `fill()` once for every thread asking at the same time (they get its
    // outcome): it returns a new reference or nil and may raise, which leaves
    // the cache empty for the next call. A non-nil result is published; nil
    // is returned as it is.
    template <class Fill> Ptr resolve(Fill&& fill) {
        if (Ptr p = slot.load(std::memory_order_acquire))
            return T::_duplicate(p);
        Ptr found = gate.resolve(
            slot,
            [&]() -> Ptr {
                Ptr made = fill();
                if (CORBA::is_nil(made))
                    return nullptr;
                CallTimeout::apply(made);
                return made;
            },
            [](Ptr lost) { CORBA::release(lost); });
        return found != nullptr ? T::_duplicate(found) : T::_nil();
    }

    // Publishes `value`, which the cache takes, unless a reference is
    // published already (then `value` is released): a set cache is never
    // overwritten. Returns whether `value` was kept.
    bool offer(Ptr value) {
        if (CORBA::is_nil(value))
            return false;
        CallTimeout::apply(value);
        Ptr expected = nullptr;
        if (slot.compare_exchange_strong(expected, value, std::memory_order_acq_rel))
            return true;
        CORBA::release(value);
        return false;
    }

private:
    std::atomic<Ptr> slot{nullptr};
    ResolveOnce gate;
};

} // namespace hvc_util
