// hvc_session_load_client: one client process of SessionLoadBench.
// `hvc_session_load_client NAME CALLS START_MS` creates the session NAME
// through the library (the platform named by HVC_HOME), waits until the
// wall-clock time START_MS (milliseconds since the epoch) so that every
// client starts at once, then makes CALLS property writes, each followed by a
// read of what it wrote, and prints "latencies" with each call's time in
// microseconds, then "span" with its first call's start and its last call's
// end in microseconds since the epoch. Exits 1 when a call fails.
#include "hvc_util/Session.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::system_clock;

long long microsecondsNow() {
    return std::chrono::duration_cast<std::chrono::microseconds>(Clock::now().time_since_epoch())
        .count();
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: hvc_session_load_client NAME CALLS START_MS\n");
        return 2;
    }
    const int calls = std::atoi(argv[2]);
    const long long startMs = std::atoll(argv[3]);
    std::vector<long long> latencies;
    latencies.reserve(static_cast<std::size_t>(calls) * 2);
    long long first = 0, last = 0;
    try {
        EpSession::Session_var session =
            hvc_util::Session::createSession(argv[1], EpProject::ProjectSet::_nil());
        std::this_thread::sleep_until(Clock::time_point(std::chrono::milliseconds(startMs)));
        first = microsecondsNow();
        for (int i = 0; i < calls; ++i) {
            // A session's working set: a hundred properties, written over.
            const std::string name = "load." + std::to_string(i % 100);
            CORBA::Any value;
            value <<= static_cast<CORBA::Long>(i);
            const long long t0 = microsecondsNow();
            session->define_property(name.c_str(), value);
            const long long t1 = microsecondsNow();
            CORBA::Any_var back = session->get_property_value(name.c_str());
            const long long t2 = microsecondsNow();
            CORBA::Long got = -1;
            if (!(back.in() >>= got) || got != i) {
                std::fprintf(stderr, "read back %d, wrote %d\n", static_cast<int>(got), i);
                return 1;
            }
            latencies.push_back(t1 - t0);
            latencies.push_back(t2 - t1);
        }
        last = microsecondsNow();
        session->remove();
    } catch (const CORBA::Exception& e) {
        std::fprintf(stderr, "failed: %s\n", e._name());
        return 1;
    }
    std::string line = "latencies";
    for (long long l : latencies)
        line += " " + std::to_string(l);
    std::printf("%s\nspan %lld %lld\n", line.c_str(), first, last);
    return 0;
}
