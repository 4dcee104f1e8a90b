// UUID parse, print and generation beside libuuid.
#include <hvc_util/String.h>
#include <hvc_util/UUID.h>

#include "support/BenchMain.h"

#include <benchmark/benchmark.h>

#include <uuid/uuid.h>

namespace {

const char sample[] = "6ba7b810-9dad-11d1-80b4-00c04fd430c8";

void BM_UUIDParse(benchmark::State& state) {
    hvc_util::UUID id;
    for (auto _ : state) {
        id = sample;
        benchmark::DoNotOptimize(&id);
    }
}

void BM_LibuuidParse(benchmark::State& state) {
    uuid_t id;
    for (auto _ : state) {
        benchmark::DoNotOptimize(uuid_parse(sample, id));
        benchmark::ClobberMemory();
    }
}

void BM_UUIDPrint(benchmark::State& state) {
    hvc_util::UUID id(sample);
    hvc_util::String text;
    for (auto _ : state) {
        id.getString(text);
        benchmark::DoNotOptimize(text.getValue());
    }
}

void BM_LibuuidPrint(benchmark::State& state) {
    uuid_t id;
    uuid_parse(sample, id);
    char text[37];
    for (auto _ : state) {
        uuid_unparse_lower(id, text);
        benchmark::DoNotOptimize(text);
        benchmark::ClobberMemory();
    }
}

void BM_UUIDGenerate(benchmark::State& state) {
    hvc_util::UUID id;
    for (auto _ : state) {
        id.allocate();
        benchmark::DoNotOptimize(&id);
    }
}

void BM_LibuuidGenerate(benchmark::State& state) {
    uuid_t id;
    for (auto _ : state) {
        uuid_generate(id);
        benchmark::ClobberMemory();
    }
}

} // namespace

BENCHMARK(BM_UUIDParse);
BENCHMARK(BM_LibuuidParse);
BENCHMARK(BM_UUIDPrint);
BENCHMARK(BM_LibuuidPrint);
BENCHMARK(BM_UUIDGenerate);
BENCHMARK(BM_LibuuidGenerate);

HVC_BENCH_RATIO("BM_UUIDParse", "BM_LibuuidParse");
HVC_BENCH_RATIO("BM_UUIDPrint", "BM_LibuuidPrint");
HVC_BENCH_RATIO("BM_UUIDGenerate", "BM_LibuuidGenerate");
