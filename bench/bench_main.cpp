// Runs every benchmark, then prints each target with its baseline from the same run.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <map>

#include "BenchTable.h"

namespace quillory::bench {

std::vector<Target>& targets() {
    static std::vector<Target> list;
    return list;
}

namespace {

class CollectingReporter : public benchmark::ConsoleReporter {
  public:
    std::map<std::string, double> millis; // per iteration, real time
    std::map<std::string, benchmark::UserCounters> counters;

    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.error_occurred) continue;
            // With repetitions, the median stands for the benchmark.
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name != "median") continue;
            if (run.run_type == Run::RT_Iteration && run.repetitions > 1) continue;
            const std::string name = run.run_name.function_name;
            millis[name] =
                run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit) * 1e3;
            counters[name] = run.counters;
        }
    }
};

void printTable(const CollectingReporter& r) {
    std::printf("\n%-44s %12s %-36s %12s %8s  %s\n", "name", "time", "baseline", "baseline t",
                "ratio", "target");
    bool allMet = true;
    for (const Target& t : targets()) {
        const auto it = r.millis.find(t.name);
        if (it == r.millis.end()) continue;
        const double ms = it->second;
        double ratio = 0;
        std::string baseTime = "-";
        if (!t.baseline.empty()) {
            const auto b = r.millis.find(t.baseline);
            if (b != r.millis.end() && b->second > 0) {
                ratio = ms / b->second;
                char buf[32];
                std::snprintf(buf, sizeof buf, "%.4f ms", b->second);
                baseTime = buf;
            }
        }
        std::string target;
        bool met = true;
        if (t.maxRatio > 0) {
            target += "<= " + std::to_string(t.maxRatio).substr(0, 4) + "x";
            met = met && ratio > 0 && ratio <= t.maxRatio;
        }
        if (t.maxMillis > 0) {
            if (!target.empty()) target += ", ";
            char buf[32];
            std::snprintf(buf, sizeof buf, "<= %g ms", t.maxMillis);
            target += buf;
            met = met && ms <= t.maxMillis;
        }
        if (!t.counter.empty()) {
            const auto& counters = r.counters.at(t.name);
            const auto c = counters.find(t.counter);
            const double value = c == counters.end() ? -1 : c->second.value;
            char buf[64];
            std::snprintf(buf, sizeof buf, "%s %.2f <= %g", t.counter.c_str(), value, t.maxCounter);
            target = buf;
            met = value >= 0 && value <= t.maxCounter;
        }
        allMet = allMet && met;
        char ratioText[16] = "-";
        if (ratio > 0) std::snprintf(ratioText, sizeof ratioText, "%.2f", ratio);
        std::printf("%-44s %9.4f ms %-36s %12s %8s  %s %s\n", t.name.c_str(), ms,
                    t.baseline.empty() ? "-" : t.baseline.c_str(), baseTime.c_str(), ratioText,
                    target.c_str(), met ? "met" : "MISSED");
    }
    std::printf("%s\n", allMet ? "all targets met" : "some targets missed");
}

} // namespace
} // namespace quillory::bench

int main(int argc, char** argv) {
    if (const char* kind = std::getenv("QUILLORY_BENCH_RESIDENT"))
        return quillory::bench::residentAfterPages(kind);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    quillory::bench::CollectingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    quillory::bench::printTable(reporter);
    benchmark::Shutdown();
    return 0;
}
