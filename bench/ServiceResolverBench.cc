// A cached service resolution beside the bare _duplicate it should cost.
#include "hvc_util/UnitOfMeasure.h"
#include "sandbox/Platform.h"
#include "support/BenchMain.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>

namespace {

// The units server of an in-process sandbox, resolved once through its
// reference variable so every later call finds the cache filled.
EpUnitOfMeasureService::Server_ptr resolvedServer() {
    static std::unique_ptr<hvc_sandbox::Platform> platform;
    static EpUnitOfMeasureService::Server_var server;
    if (!platform) {
        platform = std::make_unique<hvc_sandbox::Platform>();
        const auto units = hvc_util::ServiceCatalogue::Service::UnitsServer;
        ::setenv(hvc_util::ServiceCatalogue::entry(units).variable, platform->ior(units).c_str(),
                 1);
        server = hvc_util::UnitOfMeasure::getServer();
    }
    return server.in();
}

void BM_CachedGetServer(benchmark::State& state) {
    resolvedServer();
    CORBA::ULong alive = 0;
    for (auto _ : state) {
        EpUnitOfMeasureService::Server_var s = hvc_util::UnitOfMeasure::getServer();
        benchmark::DoNotOptimize(s.in());
        alive += CORBA::is_nil(s) ? 0 : 1;
    }
    if (alive != state.iterations())
        state.SkipWithError("getServer returned nil");
}
BENCHMARK(BM_CachedGetServer);

void BM_PeerDuplicate(benchmark::State& state) {
    EpUnitOfMeasureService::Server_ptr cached = resolvedServer();
    CORBA::ULong alive = 0;
    for (auto _ : state) {
        EpUnitOfMeasureService::Server_var s = EpUnitOfMeasureService::Server::_duplicate(cached);
        benchmark::DoNotOptimize(s.in());
        alive += CORBA::is_nil(s) ? 0 : 1;
    }
    if (alive != state.iterations())
        state.SkipWithError("_duplicate returned nil");
}
BENCHMARK(BM_PeerDuplicate);

HVC_BENCH_RATIO("BM_CachedGetServer", "BM_PeerDuplicate");

} // namespace
