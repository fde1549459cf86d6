// Random command sequences against the editor, checked step by step against the
// reference model. CI plays fixed seeds; scripts/random.sh plays any seed for longer.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <string>

#include "core/Form1.h"
#include "random/Driver.h"

namespace quillory::random {
namespace {

// Fixed seeds, each played for this many steps: 8 x 26,000 = 208,000 steps in CI.
constexpr std::uint64_t kStepsPerSeed = 26000;

class FixedSeed : public ::testing::TestWithParam<std::uint64_t> {};

TEST_P(FixedSeed, NoStepBreaksTheEditor) {
    const auto began = std::chrono::steady_clock::now();
    const RunResult r = runSeeded(GetParam(), kStepsPerSeed);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
    EXPECT_TRUE(r.ok) << r.report;
    if (r.ok) {
        EXPECT_GE(r.steps, kStepsPerSeed);
    }
    RecordProperty("steps", static_cast<int>(r.steps));
    std::printf("seed %llu: %llu steps in %llu episodes, %.1f s\n",
                static_cast<unsigned long long>(GetParam()),
                static_cast<unsigned long long>(r.steps),
                static_cast<unsigned long long>(r.episodes), seconds);
}

INSTANTIATE_TEST_SUITE_P(Ci, FixedSeed, ::testing::Values(1, 2, 3, 4, 5, 6, 7, 8));

// The same seed plays the same steps: a failing seed can be replayed.
TEST(Driver, ASeedReplaysTheSameEpisode) {
    const RunResult a = runEpisodeOf(99, 3);
    const RunResult b = runEpisodeOf(99, 3);
    EXPECT_TRUE(a.ok) << a.report;
    EXPECT_EQ(a.steps, b.steps);
}

// A byte stream drives an episode as a fuzzer would, and ends it when it runs out.
TEST(Driver, ByteStreamDrivesAnEpisode) {
    std::vector<std::uint8_t> bytes(4096);
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<std::uint8_t>(i * 131 + (i >> 3));
    Options options;
    options.hugeOneIn = 0;
    Driver driver(options);
    ByteSource source(bytes.data(), bytes.size());
    const EpisodeResult r = driver.runEpisode(source);
    EXPECT_TRUE(r.ok) << r.report;
    EXPECT_GE(r.steps, 1u);

    ByteSource empty(nullptr, 0);
    EXPECT_TRUE(driver.runEpisode(empty).ok);
}

// The checker is only worth its clean runs if it catches a fault: each plant below breaks
// the editor after a step the way a faulty command would, and must be reported.
TEST(Driver, CatchesPlantedFaults) {
    struct Plant {
        const char* what;
        std::function<void(Form1&)> apply;
        const char* report;
    };
    const Plant plants[] = {
        {"a byte changed behind the model's back",
         [](Form1& f) { f.FileBytes[f.FileBytes.size() / 2] ^= 0x01; }, "document differs"},
        {"a wrong recount", [](Form1& f) { f.TailCount = (f.TailCount + 1) % 512; }, "invariant 2"},
        {"a stale cell", [](Form1& f) { f.NumberBox.setText(5, u"ZZ"); }, "hex cell"},
        {"a cut record moved",
         [](Form1& f) {
             if (f.CutAt >= 0) f.CutAt += 1;
         },
         "CutAt"},
    };
    for (const Plant& plant : plants) {
        Options options;
        options.hugeOneIn = 0;
        options.afterEachStep = plant.apply;
        const RunResult r = runSeeded(5, 200, options);
        EXPECT_FALSE(r.ok) << plant.what;
        EXPECT_NE(r.report.find(plant.report), std::string::npos) << plant.what << "\n" << r.report;
        EXPECT_NE(r.report.find("scripts/random.sh --seed 5 --episode"), std::string::npos);
    }
}

// scripts/random.sh: QUILLORY_RANDOM_SEED, and QUILLORY_RANDOM_STEPS or
// QUILLORY_RANDOM_EPISODE.
TEST(RandomRun, FromEnvironment) {
    const char* seed = std::getenv("QUILLORY_RANDOM_SEED");
    if (!seed) GTEST_SKIP() << "set QUILLORY_RANDOM_SEED (scripts/random.sh does)";
    const std::uint64_t s = std::strtoull(seed, nullptr, 10);
    const auto began = std::chrono::steady_clock::now();
    RunResult r;
    if (const char* episode = std::getenv("QUILLORY_RANDOM_EPISODE")) {
        r = runEpisodeOf(s, std::strtoull(episode, nullptr, 10));
    } else {
        const char* steps = std::getenv("QUILLORY_RANDOM_STEPS");
        r = runSeeded(s, steps ? std::strtoull(steps, nullptr, 10) : 1000000);
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
    std::printf("seed %llu: %llu steps in %llu episodes, %.1f s\n",
                static_cast<unsigned long long>(s), static_cast<unsigned long long>(r.steps),
                static_cast<unsigned long long>(r.episodes), seconds);
    EXPECT_TRUE(r.ok) << r.report;
}

} // namespace
} // namespace quillory::random
