// Random command sequences against the editor, checked step by step against the
// reference model. CI plays fixed seeds; scripts/random.sh plays any seed for longer.

#include <gtest/gtest.h>

#include <cstdlib>
#include <iostream>

#include "random/Driver.h"

namespace quillory::random {
namespace {

class FixedSeed : public ::testing::TestWithParam<std::uint64_t> {};

TEST_P(FixedSeed, EveryStepMatchesTheModel) {
    const RunResult r = runSeeded(GetParam(), 25000);
    EXPECT_TRUE(r.ok) << r.report;
}

INSTANTIATE_TEST_SUITE_P(Ci, FixedSeed, ::testing::Values(1, 2, 3, 4, 5, 6, 7, 8));

// scripts/random.sh: QUILLORY_RANDOM_SEED with QUILLORY_RANDOM_STEPS or _EPISODE.
TEST(RandomRun, FromEnvironment) {
    const char* seed = std::getenv("QUILLORY_RANDOM_SEED");
    if (!seed) GTEST_SKIP() << "set QUILLORY_RANDOM_SEED (scripts/random.sh does)";
    const char* episode = std::getenv("QUILLORY_RANDOM_EPISODE");
    const char* steps = std::getenv("QUILLORY_RANDOM_STEPS");
    const std::uint64_t s = std::strtoull(seed, nullptr, 10);
    const RunResult r = runSeeded(s, steps ? std::strtoull(steps, nullptr, 10) : 1000000,
                                  episode ? std::strtoll(episode, nullptr, 10) : -1);
    std::cout << "seed " << s << ": " << r.steps << " steps in " << r.episodes << " episodes\n";
    EXPECT_TRUE(r.ok) << r.report;
}

} // namespace
} // namespace quillory::random
