// Stream put and get of a million doubles and ints. Whole arrays go beside
// memcpy into a buffer allocated beforehand; single values beside a
// std::vector<char> written and read one value at a time with memcpy,
// checking the room or what is left as the stream does.
#include <hvc_util/Stream.h>

#include "support/BenchMain.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <numeric>
#include <vector>

namespace {

constexpr unsigned int count = 1000000;

template <class T> std::vector<T> values() {
    std::vector<T> v(count);
    std::iota(v.begin(), v.end(), T(1));
    return v;
}

template <class T> void BM_StreamPutArray(benchmark::State& state) {
    const std::vector<T> in = values<T>();
    for (auto _ : state) {
        hvc_util::Stream s;
        s.put(in.data(), count);
        benchmark::DoNotOptimize(s.getBuffer(false));
    }
    state.SetBytesProcessed(state.iterations() * count * sizeof(T));
}

template <class T> void BM_MemcpyPut(benchmark::State& state) {
    const std::vector<T> in = values<T>();
    std::vector<char> out(count * sizeof(T));
    for (auto _ : state) {
        std::memcpy(out.data(), in.data(), count * sizeof(T));
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * count * sizeof(T));
}

// Both write into one buffer of the final size, allocated and touched before
// the run and reused by every iteration, so that what is measured is the path
// of one value: the stream adopts the block and hands it back each time.
template <class T> void BM_StreamPutEach(benchmark::State& state) {
    const std::vector<T> in = values<T>();
    const unsigned int bytes = count * sizeof(T);
    char* block = static_cast<char*>(std::calloc(bytes, 1));
    for (auto _ : state) {
        hvc_util::Stream s(bytes, block, false, false);
        for (const T& v : in)
            s << v;
        block = s.getBuffer(true);
        benchmark::DoNotOptimize(block);
        benchmark::ClobberMemory();
    }
    std::free(block);
    state.SetBytesProcessed(state.iterations() * count * sizeof(T));
}

template <class T> void BM_VectorPutEach(benchmark::State& state) {
    const std::vector<T> in = values<T>();
    std::vector<char> out(count * sizeof(T));
    for (auto _ : state) {
        std::size_t at = 0;
        for (const T& v : in) {
            if (out.size() - at < sizeof v)
                out.resize(2 * out.size() + sizeof v);
            std::memcpy(out.data() + at, &v, sizeof v);
            at += sizeof v;
        }
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * count * sizeof(T));
}

template <class T> hvc_util::Stream filled() {
    const std::vector<T> in = values<T>();
    hvc_util::Stream s;
    s.put(in.data(), count);
    return s;
}

template <class T> void BM_StreamGetArray(benchmark::State& state) {
    hvc_util::Stream s = filled<T>();
    std::vector<T> out(count);
    for (auto _ : state) {
        s.resetRead();
        s.get(out.data(), count);
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * count * sizeof(T));
}

template <class T> void BM_MemcpyGet(benchmark::State& state) {
    const std::vector<T> in = values<T>();
    std::vector<T> out(count);
    for (auto _ : state) {
        std::memcpy(out.data(), in.data(), count * sizeof(T));
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * count * sizeof(T));
}

template <class T> void BM_StreamGetEach(benchmark::State& state) {
    hvc_util::Stream s = filled<T>();
    std::vector<T> out(count);
    for (auto _ : state) {
        s.resetRead();
        for (T& v : out)
            s >> v;
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * count * sizeof(T));
}

template <class T> void BM_VectorGetEach(benchmark::State& state) {
    const std::vector<T> values = ::values<T>();
    std::vector<char> in(count * sizeof(T));
    std::memcpy(in.data(), values.data(), in.size());
    std::vector<T> out(count);
    for (auto _ : state) {
        std::size_t at = 0;
        for (T& v : out) {
            if (in.size() - at < sizeof v)
                break;
            std::memcpy(&v, in.data() + at, sizeof v);
            at += sizeof v;
        }
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * count * sizeof(T));
}

} // namespace

BENCHMARK_TEMPLATE(BM_StreamPutArray, double);
BENCHMARK_TEMPLATE(BM_MemcpyPut, double);
BENCHMARK_TEMPLATE(BM_StreamGetArray, double);
BENCHMARK_TEMPLATE(BM_MemcpyGet, double);
BENCHMARK_TEMPLATE(BM_StreamPutArray, int);
BENCHMARK_TEMPLATE(BM_MemcpyPut, int);
BENCHMARK_TEMPLATE(BM_StreamGetArray, int);
BENCHMARK_TEMPLATE(BM_MemcpyGet, int);
BENCHMARK_TEMPLATE(BM_StreamPutEach, double);
BENCHMARK_TEMPLATE(BM_VectorPutEach, double);
BENCHMARK_TEMPLATE(BM_StreamGetEach, double);
BENCHMARK_TEMPLATE(BM_VectorGetEach, double);
BENCHMARK_TEMPLATE(BM_StreamPutEach, int);
BENCHMARK_TEMPLATE(BM_VectorPutEach, int);
BENCHMARK_TEMPLATE(BM_StreamGetEach, int);
BENCHMARK_TEMPLATE(BM_VectorGetEach, int);

HVC_BENCH_RATIO("BM_StreamPutArray<double>", "BM_MemcpyPut<double>");
HVC_BENCH_RATIO("BM_StreamGetArray<double>", "BM_MemcpyGet<double>");
HVC_BENCH_RATIO("BM_StreamPutArray<int>", "BM_MemcpyPut<int>");
HVC_BENCH_RATIO("BM_StreamGetArray<int>", "BM_MemcpyGet<int>");
HVC_BENCH_RATIO("BM_StreamPutEach<double>", "BM_VectorPutEach<double>");
HVC_BENCH_RATIO("BM_StreamGetEach<double>", "BM_VectorGetEach<double>");
HVC_BENCH_RATIO("BM_StreamPutEach<int>", "BM_VectorPutEach<int>");
HVC_BENCH_RATIO("BM_StreamGetEach<int>", "BM_VectorGetEach<int>");
