// Session properties under load: 8 client processes, each making 1000
// property writes, each read back, against one hvc-sandbox (a child process
// keeping its platform in its home's database), beside the same calls from 8
// threads on an in-process session servant (collocated, in memory).
// Reported: calls per second, and the 50th and 99th percentile of a call's
// time in microseconds; the ratio compares the time of the whole load.
#include "hvc_util/Session.h"
#include "sandbox/Platform.h"
#include "sandbox/users/UserServer.h"
#include "support/BenchMain.h"
#include "support/ChildProcess.h"
#include "support/ChildSandbox.h"
#include "support/SessionLoad.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr int clients = 8;
constexpr int callsPerClient = 1000;

using Clock = std::chrono::system_clock;

long long millisecondsNow() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now().time_since_epoch())
        .count();
}

struct Load {
    std::vector<long long> latencies; // microseconds per call
    long long first = 0, last = 0;    // microseconds since the epoch

    void add(const Load& other) {
        latencies.insert(latencies.end(), other.latencies.begin(), other.latencies.end());
        first = first == 0 ? other.first : std::min(first, other.first);
        last = std::max(last, other.last);
    }

    // Calls per second, p50 and p99 as counters; the span as the manual time.
    void report(benchmark::State& state) {
        if (latencies.size() != static_cast<std::size_t>(clients) * callsPerClient * 2) {
            state.SkipWithError("a client did not make all its calls");
            return;
        }
        std::sort(latencies.begin(), latencies.end());
        const double seconds = static_cast<double>(last - first) / 1e6;
        state.SetIterationTime(seconds);
        state.counters["calls_per_s"] = static_cast<double>(latencies.size()) / seconds;
        state.counters["p50_us"] = static_cast<double>(latencies[latencies.size() / 2]);
        state.counters["p99_us"] = static_cast<double>(latencies[latencies.size() * 99 / 100]);
    }
};

// A client process's report.
Load parse(const hvc_test::ProgramRun& run) {
    Load load;
    std::istringstream lines(run.out);
    std::string word;
    while (lines >> word) {
        if (word == "latencies") {
            long long l = 0;
            while (lines.peek() != '\n' && lines >> l)
                load.latencies.push_back(l);
        } else if (word == "span") {
            lines >> load.first >> load.last;
        }
    }
    return load;
}

void BM_SandboxSessionProperties(benchmark::State& state) {
    hvc_bench::startChildSandbox({}, "");
    for (auto _ : state) {
        const std::string start = std::to_string(millisecondsNow() + 1500);
        std::vector<hvc_test::ProgramRun> runs(clients);
        std::vector<std::thread> waiting;
        for (int c = 0; c < clients; ++c)
            waiting.emplace_back([&, c] {
                runs[static_cast<std::size_t>(c)] =
                    hvc_test::runProgram({HVC_SESSION_LOAD_CLIENT_EXE, "load" + std::to_string(c),
                                          std::to_string(callsPerClient), start});
            });
        for (std::thread& t : waiting)
            t.join();
        Load all;
        for (const hvc_test::ProgramRun& run : runs)
            all.add(parse(run));
        all.report(state);
    }
}
BENCHMARK(BM_SandboxSessionProperties)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

void BM_InProcessSessionProperties(benchmark::State& state) {
    for (auto _ : state) {
        hvc_sandbox::Platform platform;
        hvc_sandbox::SessionManagerServant& sessions =
            platform.room<hvc_sandbox::UserServer>()
                .profile(platform.room<hvc_sandbox::UserServer>().firstAccount())
                .sessions();
        std::vector<EpSession::Session_var> own;
        for (int c = 0; c < clients; ++c)
            own.emplace_back(sessions.createSession(("load" + std::to_string(c)).c_str(),
                                                    EpProject::ProjectSet::_nil()));
        std::vector<Load> loads(clients);
        std::vector<std::thread> threads;
        const auto start = Clock::now() + std::chrono::milliseconds(200);
        for (int c = 0; c < clients; ++c)
            threads.emplace_back([&, c] {
                Load& load = loads[static_cast<std::size_t>(c)];
                EpSession::Session_ptr session = own[static_cast<std::size_t>(c)].in();
                std::this_thread::sleep_until(start);
                load.first = hvc_bench::microsecondsNow();
                hvc_bench::propertyRound(session, callsPerClient, load.latencies);
                load.last = hvc_bench::microsecondsNow();
            });
        for (std::thread& t : threads)
            t.join();
        Load all;
        for (const Load& load : loads)
            all.add(load);
        all.report(state);
    }
}
BENCHMARK(BM_InProcessSessionProperties)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

HVC_BENCH_RATIO("BM_SandboxSessionProperties/iterations:1/manual_time",
                "BM_InProcessSessionProperties/iterations:1/manual_time");

} // namespace
