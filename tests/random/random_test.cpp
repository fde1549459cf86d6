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
    auto number = [](const char* name, const char* otherwise) {
        const char* value = std::getenv(name);
        return std::stoll(value ? value : otherwise);
    };
    if (!std::getenv("QUILLORY_RANDOM_SEED")) GTEST_SKIP() << "scripts/random.sh sets a seed";
    const std::uint64_t seed = number("QUILLORY_RANDOM_SEED", "");
    const RunResult r = runSeeded(seed, number("QUILLORY_RANDOM_STEPS", "1000000"),
                                  number("QUILLORY_RANDOM_EPISODE", "-1"));
    std::cout << "seed " << seed << ": " << r.steps << " steps in " << r.episodes << " episodes\n";
    EXPECT_TRUE(r.ok) << r.report;
}

} // namespace
} // namespace quillory::random
