#include "support/BenchMain.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <set>
#include <utility>
#include <vector>

namespace hvc_bench {
namespace {

std::vector<std::pair<std::string, std::string>>& pairs() {
    static std::vector<std::pair<std::string, std::string>> all;
    return all;
}

// Keeps the console output and remembers each run's time per iteration. With
// --benchmark_repetitions the median of the repetitions stands for the
// benchmark, which keeps one noisy repetition out of the ratio.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            std::string name = run.run_name.str();
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median") {
                times_[name] = run.GetAdjustedRealTime();
                medians_.insert(name);
            } else if (run.run_type == Run::RT_Iteration && run.iterations > 0 &&
                       medians_.count(name) == 0) {
                times_[name] = run.GetAdjustedRealTime();
            }
        }
    }

    void printRatios() const {
        std::printf("\nratios (ours / peer, real time per iteration):\n");
        for (const auto& [ours, peer] : pairs()) {
            bool family = ours.size() > 2 && ours.compare(ours.size() - 2, 2, "/*") == 0;
            if (!family) {
                printOne(ours, peer);
                continue;
            }
            std::string oursStem = ours.substr(0, ours.size() - 1);
            std::string peerStem = peer.substr(0, peer.size() - 1);
            for (const auto& [name, time] : times_) {
                if (name.compare(0, oursStem.size(), oursStem) == 0)
                    printOne(name, peerStem + name.substr(oursStem.size()));
            }
        }
    }

private:
    void printOne(const std::string& ours, const std::string& peer) const {
        auto a = times_.find(ours);
        auto b = times_.find(peer);
        if (a == times_.end() || b == times_.end() || b->second <= 0)
            return;
        std::printf("  %-48s / %-40s %8.2f\n", ours.c_str(), peer.c_str(), a->second / b->second);
    }

    std::map<std::string, double> times_;
    std::set<std::string> medians_;
};

} // namespace

bool ratio(const std::string& ours, const std::string& peer) {
    pairs().emplace_back(ours, peer);
    return true;
}

} // namespace hvc_bench

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    hvc_bench::RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printRatios();
    benchmark::Shutdown();
    return 0;
}
