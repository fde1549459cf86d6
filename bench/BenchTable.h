#pragma once
// Targets of the benchmarks, printed as a table after the run: each measured
// benchmark against its baseline from the same run.

#include <string>
#include <vector>

namespace quillory::bench {

struct Target {
    std::string name;      // the benchmark
    std::string baseline;  // the benchmark it is compared with; empty for none
    double maxRatio;       // 0 for no ratio target
    double maxMillis;      // 0 for no absolute target
    std::string counter{}; // a counter of the benchmark held to a limit, if any
    double maxCounter = 0;
};

std::vector<Target>& targets();

// The memory figure's measuring process: pages through a document of that kind, prints
// its resident memory in MiB and ends.
int residentAfterPages(const char* kind);

struct RegisterTarget {
    explicit RegisterTarget(Target t) { targets().push_back(std::move(t)); }
};

} // namespace quillory::bench

#define QUILLORY_BENCH_CONCAT2(a, b) a##b
#define QUILLORY_BENCH_CONCAT(a, b) QUILLORY_BENCH_CONCAT2(a, b)
// QUILLORY_TARGET("BM_X", "BM_Baseline_X", max ratio, max milliseconds[, counter, max])
#define QUILLORY_TARGET(...)                                                                       \
    static const ::quillory::bench::RegisterTarget QUILLORY_BENCH_CONCAT(quilloryTarget_,          \
                                                                         __LINE__)({__VA_ARGS__})
