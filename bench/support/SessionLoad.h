// One client's share of SessionLoadBench, the same in a client process and
// in a thread beside an in-process session.
#pragma once

#include <EpSession.hh>

#include <chrono>
#include <stdexcept>
#include <string>
#include <vector>

namespace hvc_bench {

// Wall-clock microseconds since the epoch, comparable across processes.
inline long long microsecondsNow() {
    return std::chrono::duration_cast<std::chrono::microseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

// Makes `calls` property writes to `session`, each followed by a read of
// what it wrote, and appends each call's time in microseconds. A session's
// working set: a hundred properties, written over. Raises std::runtime_error
// when a read does not give back what was written; CORBA failures pass.
inline void propertyRound(EpSession::Session_ptr session, int calls,
                          std::vector<long long>& latencies) {
    for (int i = 0; i < calls; ++i) {
        const std::string name = "load." + std::to_string(i % 100);
        CORBA::Any value;
        value <<= static_cast<CORBA::Long>(i);
        const long long t0 = microsecondsNow();
        session->define_property(name.c_str(), value);
        const long long t1 = microsecondsNow();
        CORBA::Any_var back = session->get_property_value(name.c_str());
        const long long t2 = microsecondsNow();
        CORBA::Long got = -1;
        if (!(back.in() >>= got) || got != i)
            throw std::runtime_error("read back " + std::to_string(got) + ", wrote " +
                                     std::to_string(i));
        latencies.push_back(t1 - t0);
        latencies.push_back(t2 - t1);
    }
}

} // namespace hvc_bench
