// Pairs of benchmarks whose time ratio is printed after the run.
#pragma once

#include <string>

namespace hvc_bench {

// Registers "ours / peer" to be printed as a ratio of their real times per
// iteration. Both names are the full benchmark names as Google Benchmark
// reports them (with arguments, e.g. "BM_StringAppend/1024"); a name ending
// in "/*" pairs every argument of the family.
bool ratio(const std::string& ours, const std::string& peer);

} // namespace hvc_bench

#define HVC_BENCH_CONCAT2(a, b) a##b
#define HVC_BENCH_CONCAT(a, b) HVC_BENCH_CONCAT2(a, b)
#define HVC_BENCH_RATIO(ours, peer)                                                                \
    static const bool HVC_BENCH_CONCAT(hvc_bench_ratio_, __LINE__) = ::hvc_bench::ratio(ours, peer)
