// isValidFaultClassification on a loaded cache of 1000 values beside a
// std::unordered_set lookup of the same texts; half the texts asked are in
// the vocabulary, half differ from one of it only in letter case.
#include <hvc_util/Interpretation.h>
#include <hvc_util/ReferenceValue.h>

#include "sandbox/Platform.h"
#include "sandbox/refvalues/ReferenceValueService.h"
#include "support/BenchMain.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

namespace {

constexpr int vocabularySize = 1000;

std::vector<std::string> vocabulary() {
    std::vector<std::string> values;
    for (int i = 0; i < vocabularySize; ++i)
        values.push_back("Fault class " + std::to_string(i));
    return values;
}

// Every value, and each again in lower case (not valid).
std::vector<std::string> asked() {
    std::vector<std::string> texts = vocabulary();
    for (int i = 0; i < vocabularySize; ++i)
        texts.push_back("fault class " + std::to_string(i));
    return texts;
}

// The sandbox in this process, its fault classifications replaced by the
// benchmark's vocabulary, and the library's cache loaded from it.
void loadedCache() {
    static std::unique_ptr<hvc_sandbox::Platform> platform;
    if (platform)
        return;
    platform = std::make_unique<hvc_sandbox::Platform>();
    platform->room<hvc_sandbox::ReferenceValueService>().replaceValues(
        "Halvercast", "FaultClassification", vocabulary());
    ::setenv(hvc_util::ReferenceValue::serviceEnvironmentVariableName(),
             platform->ior(hvc_util::ServiceCatalogue::Service::ReferenceValues).c_str(), 1);
    if (hvc_util::Interpretation::validFaultClassifications().length() != vocabularySize)
        std::abort();
}

void BM_IsValidFaultClassification(benchmark::State& state) {
    loadedCache();
    const std::vector<std::string> texts = asked();
    for (auto _ : state) {
        for (const std::string& t : texts)
            benchmark::DoNotOptimize(
                hvc_util::Interpretation::isValidFaultClassification(t.c_str()));
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(texts.size()));
}

void BM_UnorderedSetFind(benchmark::State& state) {
    const std::vector<std::string> values = vocabulary();
    const std::unordered_set<std::string> set(values.begin(), values.end());
    const std::vector<std::string> texts = asked();
    for (auto _ : state) {
        for (const std::string& t : texts)
            benchmark::DoNotOptimize(set.find(t) != set.end());
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(texts.size()));
}

} // namespace

BENCHMARK(BM_IsValidFaultClassification);
BENCHMARK(BM_UnorderedSetFind);
HVC_BENCH_RATIO("BM_IsValidFaultClassification", "BM_UnorderedSetFind");
