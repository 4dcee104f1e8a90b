// String append and assignment beside std::string, and appending beside a
// refit that copies into a fresh buffer every time (what exact fitting of the
// allocation would cost).
#include <hvc_util/String.h>

#include "support/BenchMain.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

const char piece[] = "abcdefgh";

void BM_StringAppend(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    for (auto _ : state) {
        hvc_util::String s;
        for (int i = 0; i < n; ++i)
            s += piece;
        benchmark::DoNotOptimize(s.getValue());
    }
    state.SetItemsProcessed(state.iterations() * n);
}

void BM_StdStringAppend(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    for (auto _ : state) {
        std::string s;
        for (int i = 0; i < n; ++i)
            s += piece;
        benchmark::DoNotOptimize(s.data());
    }
    state.SetItemsProcessed(state.iterations() * n);
}

// An allocation fitted exactly on every append: allocate, copy, free.
void BM_CopyingRefitAppend(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    for (auto _ : state) {
        char* value = nullptr;
        std::size_t length = 0;
        for (int i = 0; i < n; ++i) {
            std::size_t add = std::strlen(piece);
            char* fresh = static_cast<char*>(std::malloc(length + add + 1));
            if (value)
                std::memcpy(fresh, value, length);
            std::memcpy(fresh + length, piece, add + 1);
            std::free(value);
            value = fresh;
            length = std::strlen(value);
        }
        benchmark::DoNotOptimize(value);
        std::free(value);
    }
    state.SetItemsProcessed(state.iterations() * n);
}

void BM_StringAppendChar(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    for (auto _ : state) {
        hvc_util::String s;
        for (int i = 0; i < n; ++i)
            s += 'x';
        benchmark::DoNotOptimize(s.getValue());
    }
    state.SetItemsProcessed(state.iterations() * n);
}

void BM_StdStringAppendChar(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    for (auto _ : state) {
        std::string s;
        for (int i = 0; i < n; ++i)
            s += 'x';
        benchmark::DoNotOptimize(s.data());
    }
    state.SetItemsProcessed(state.iterations() * n);
}

// Alternating lengths, so that every assignment refits the buffer.
void BM_StringAssign(benchmark::State& state) {
    const std::string longer(static_cast<std::size_t>(state.range(0)), 'a');
    const std::string shorter(static_cast<std::size_t>(state.range(0)) / 2, 'b');
    hvc_util::String s;
    for (auto _ : state) {
        s = longer.c_str();
        s = shorter.c_str();
        benchmark::DoNotOptimize(s.getValue());
    }
}

void BM_StdStringAssign(benchmark::State& state) {
    const std::string longer(static_cast<std::size_t>(state.range(0)), 'a');
    const std::string shorter(static_cast<std::size_t>(state.range(0)) / 2, 'b');
    std::string s;
    for (auto _ : state) {
        s = longer.c_str();
        s = shorter.c_str();
        benchmark::DoNotOptimize(s.data());
    }
}

} // namespace

BENCHMARK(BM_StringAppend)->Arg(16)->Arg(256)->Arg(4096);
BENCHMARK(BM_StdStringAppend)->Arg(16)->Arg(256)->Arg(4096);
BENCHMARK(BM_CopyingRefitAppend)->Arg(16)->Arg(256)->Arg(4096);
BENCHMARK(BM_StringAppendChar)->Arg(16)->Arg(4096)->Arg(100000);
BENCHMARK(BM_StdStringAppendChar)->Arg(16)->Arg(4096)->Arg(100000);
BENCHMARK(BM_StringAssign)->Arg(16)->Arg(1024);
BENCHMARK(BM_StdStringAssign)->Arg(16)->Arg(1024);

HVC_BENCH_RATIO("BM_StringAppend/*", "BM_StdStringAppend/*");
HVC_BENCH_RATIO("BM_StringAppend/*", "BM_CopyingRefitAppend/*");
HVC_BENCH_RATIO("BM_StringAppendChar/*", "BM_StdStringAppendChar/*");
HVC_BENCH_RATIO("BM_StringAssign/*", "BM_StdStringAssign/*");
