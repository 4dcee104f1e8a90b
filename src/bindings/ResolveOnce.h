// "Resolve once, then one atomic load": the one mechanism behind every
// process-wide cache, counter and flag of the library that is filled on first
// use (service references, the session manager, and the caches still to come:
// built-in units, the ellipsoid catalogue, classification caches, the store
// factory).
//
// A cache is a std::atomic<P> whose empty value is P{} (a null pointer,
// false), declared beside one ResolveOnce for the life of the process:
//
//     std::atomic<Foo*> cached{nullptr};
//     ResolveOnce cachedGate;
//
//     Foo* foo() {
//         if (Foo* f = cached.load(std::memory_order_acquire))
//             return f; // the hot path: one atomic load
//         return cachedGate.resolve(cached, [] { return makeFoo(); },
//                                   [](Foo* f) { delete f; });
//     }
//
// Thread-safe. While one thread resolves, the others asking for the same value
// wait and get its outcome: the value it published, or the exception it
// raised, or P{} when it found nothing. A failed resolution publishes nothing,
// so a later call tries again. A nested call for a value this thread is
// already resolving answers P{} at once instead of recursing. A thread that is
// itself resolving another value does not wait (two threads could otherwise
// wait for each other); it resolves on its own and the first value published
// wins, the other being discarded.
#pragma once

#include <atomic>
#include <condition_variable>
#include <exception>
#include <mutex>

namespace hvc_util {

class ResolveOnce {
public:
    ResolveOnce() = default;
    ResolveOnce(const ResolveOnce&) = delete;
    ResolveOnce& operator=(const ResolveOnce&) = delete;

    // Returns the value in `cache`, or resolves it with `make()` (which returns
    // a value the gate owns, P{} for nothing, or raises) and publishes it.
    // `discard(value)` disposes of a value that lost the race to be published.
    // The cache owns the published value for the life of the process.
    template <class P, class Make, class Discard>
    P resolve(std::atomic<P>& cache, Make&& make, Discard&& discard) {
        if (resolvingHere())
            return P{};
        std::unique_lock<std::mutex> hold(lock);
        for (;;) {
            if (P value = cache.load(std::memory_order_acquire))
                return value;
            if (!busy)
                break;
            if (resolvingAny()) {
                hold.unlock();
                return run(cache, make, discard);
            }
            const unsigned long seen = runs;
            finished.wait(hold, [&] { return runs != seen; });
            if (P value = cache.load(std::memory_order_acquire))
                return value;
            if (failure)
                std::rethrow_exception(failure);
            return P{};
        }
        busy = true;
        hold.unlock();
        std::exception_ptr error;
        P value{};
        try {
            value = run(cache, make, discard);
        } catch (...) {
            error = std::current_exception();
        }
        hold.lock();
        busy = false;
        ++runs;
        failure = error;
        hold.unlock();
        finished.notify_all();
        if (error)
            std::rethrow_exception(error);
        return value;
    }

    // Whether this thread is inside resolve() of this gate.
    bool resolvingHere() const;

private:
    // Marks this thread as resolving the gate's value while it lives.
    class Mark {
    public:
        explicit Mark(const ResolveOnce* gate);
        ~Mark();
        Mark(const Mark&) = delete;
        Mark& operator=(const Mark&) = delete;
    };

    // Whether this thread is resolving any value.
    static bool resolvingAny();

    template <class P, class Make, class Discard>
    P run(std::atomic<P>& cache, Make& make, Discard& discard) {
        P made{};
        {
            Mark mark(this);
            made = make();
        }
        if (!made)
            return P{};
        P expected{};
        if (cache.compare_exchange_strong(expected, made, std::memory_order_acq_rel))
            return made;
        discard(made);
        return expected;
    }

    std::mutex lock;
    std::condition_variable finished;
    bool busy = false;
    unsigned long runs = 0;
    std::exception_ptr failure; // of the last run
};

} // namespace hvc_util
