// hvc_session_load_client: one client process of SessionLoadBench.
// `hvc_session_load_client NAME CALLS START_MS` creates the session NAME
// through the library (the platform named by HVC_HOME), waits until the
// wall-clock time START_MS (milliseconds since the epoch) so that every
// client starts at once, then makes CALLS property writes, each followed by a
// read of what it wrote, and prints "latencies" with each call's time in
// microseconds, then "span" with its first call's start and its last call's
// end in microseconds since the epoch. Exits 1 when a call fails.
#include "hvc_util/Session.h"
#include "support/SessionLoad.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

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
        std::this_thread::sleep_until(
            std::chrono::system_clock::time_point(std::chrono::milliseconds(startMs)));
        first = hvc_bench::microsecondsNow();
        hvc_bench::propertyRound(session, calls, latencies);
        last = hvc_bench::microsecondsNow();
        session->remove();
    } catch (const CORBA::Exception& e) {
        std::fprintf(stderr, "failed: %s\n", e._name());
        return 1;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "failed: %s\n", e.what());
        return 1;
    }
    std::string line = "latencies";
    for (long long l : latencies)
        line += " " + std::to_string(l);
    std::printf("%s\nspan %lld %lld\n", line.c_str(), first, last);
    return 0;
}
