// Random command sequences against the editor, checked step by step against the
// reference model. CI plays fixed seeds; scripts/random.sh plays any seed for longer.

#include <gtest/gtest.h>

#include <cstdlib>

#include "core/Form1.h"
#include "random/Driver.h"

namespace quillory::random {
namespace {

class FixedSeed : public ::testing::TestWithParam<std::uint64_t> {};

TEST_P(FixedSeed, EveryStepMatchesTheModel) {
    const RunResult r = runSeeded(GetParam(), 25000);
    EXPECT_TRUE(r.ok) << r.report;
    std::printf(
        "seed %llu: %llu steps in %llu episodes\n", static_cast<unsigned long long>(GetParam()),
        static_cast<unsigned long long>(r.steps), static_cast<unsigned long long>(r.episodes));
}

INSTANTIATE_TEST_SUITE_P(Ci, FixedSeed, ::testing::Values(1, 2, 3, 4, 5, 6, 7, 8));

// The checker is only worth its clean runs if it notices a fault: each plant breaks the
// editor after a step the way a faulty command would.
TEST(Checker, NoticesPlantedFaults) {
    const std::pair<void (*)(Form1&), const char*> plants[] = {
        {[](Form1& f) { f.FileBytes[f.FileBytes.size() / 2] ^= 0x01; }, "document differs"},
        {[](Form1& f) { f.NumberBox.setText(5, u"ZZ"); }, "hex cell"},
        {[](Form1& f) { f.SelSpan += f.SelStart >= 0; }, "SelSpan"},
        {[](Form1& f) { f.FindLast = f.FindLast >= 0 ? f.FindLast - 1 : f.FindLast; }, "FindLast"},
    };
    for (const auto& [plant, report] : plants) {
        Options options;
        options.hugeOneIn = 0;
        options.afterEachStep = plant;
        const RunResult r = runSeeded(5, 400, options);
        EXPECT_FALSE(r.ok) << report;
        EXPECT_NE(r.report.find(report), std::string::npos) << r.report;
    }
}

// scripts/random.sh: QUILLORY_RANDOM_SEED with QUILLORY_RANDOM_STEPS or _EPISODE.
TEST(RandomRun, FromEnvironment) {
    const char* seed = std::getenv("QUILLORY_RANDOM_SEED");
    if (!seed) GTEST_SKIP() << "set QUILLORY_RANDOM_SEED (scripts/random.sh does)";
    const char* episode = std::getenv("QUILLORY_RANDOM_EPISODE");
    const char* steps = std::getenv("QUILLORY_RANDOM_STEPS");
    const std::uint64_t s = std::strtoull(seed, nullptr, 10);
    const RunResult r = episode ? runEpisodeOf(s, std::strtoull(episode, nullptr, 10))
                                : runSeeded(s, steps ? std::strtoull(steps, nullptr, 10) : 1000000);
    std::printf("seed %llu: %llu steps in %llu episodes\n", static_cast<unsigned long long>(s),
                static_cast<unsigned long long>(r.steps),
                static_cast<unsigned long long>(r.episodes));
    EXPECT_TRUE(r.ok) << r.report;
}

} // namespace
} // namespace quillory::random
