#pragma once
// A model-based random tester of the editor. It plays sequences of menu commands and
// mouse events against Form1 through the scripted fake platform, answering every
// question with a generated reply, and after every step checks the editor against an
// independent reference: the document as a plain byte vector edited by each command's
// documented effect, the invariants between commands, and the page the grids show.
//
// Every choice the driver makes comes from a ChoiceSource: a seeded generator for the
// long random runs, or a byte stream, so that a fuzzer can drive the same steps.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace quillory {
class Form1;
}

namespace quillory::random {

class ChoiceSource {
  public:
    virtual ~ChoiceSource() = default;
    // A value in 0..n-1 (n >= 1).
    virtual std::uint32_t below(std::uint32_t n) = 0;
    // True once a finite source has nothing more to give; the episode then ends.
    virtual bool exhausted() const { return false; }

    bool chance(std::uint32_t inN) { return below(inN) == 0; }
    std::uint32_t range(std::uint32_t lo, std::uint32_t hi) { return lo + below(hi - lo + 1); }
};

// splitmix64: small, fast and with no state beyond one word, so a seed names a run.
class PrngSource : public ChoiceSource {
  public:
    explicit PrngSource(std::uint64_t seed) : state_(seed) {}
    std::uint32_t below(std::uint32_t n) override;

  private:
    std::uint64_t next();
    std::uint64_t state_;
};

// Takes its choices from bytes, as a fuzzer supplies them; zeros once they run out.
class ByteSource : public ChoiceSource {
  public:
    ByteSource(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    std::uint32_t below(std::uint32_t n) override;
    bool exhausted() const override { return pos_ >= size_; }

  private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

struct Options {
    // Folder the file dialogs point into; made (and removed) by the driver when empty.
    std::filesystem::path folder;
    // One episode in this many starts on a document near the 16 MiB limit; 0 never.
    std::uint32_t hugeOneIn = 400;
    // Steps of an episode are at most this many (the episode picks its own length).
    std::uint32_t maxEpisodeSteps = 60;
    // File commands touch the disk; a fuzzer may want them off.
    bool files = true;
    // Runs after every step, before the checks: a test of the checker plants a fault here.
    std::function<void(Form1&)> afterEachStep;
};

struct EpisodeResult {
    bool ok = true;
    std::uint32_t steps = 0;
    // On failure: what went wrong, then the steps of the episode, one a line.
    std::string report;
};

class Driver {
  public:
    explicit Driver(Options options = {});
    ~Driver();
    Driver(const Driver&) = delete;
    Driver& operator=(const Driver&) = delete;

    // One episode: a fresh editor, a random document, then random steps until the
    // episode's length, the source or the first failed check ends it.
    EpisodeResult runEpisode(ChoiceSource& source);

    // The driver's workings, defined in Driver.cpp only.
    struct Impl;

  private:
    std::unique_ptr<Impl> impl_;
};

// The seed of episode `episode` of a run seeded `seed`; a failing episode is replayed
// by running that one seed.
std::uint64_t episodeSeed(std::uint64_t seed, std::uint64_t episode);

struct RunResult {
    bool ok = true;
    std::uint64_t steps = 0;
    std::uint64_t episodes = 0;
    std::string report; // for the first failure: how to replay it, and its steps
};

// Episodes of a seeded run until `steps` steps have been played (or the first failure).
RunResult runSeeded(std::uint64_t seed, std::uint64_t steps, const Options& options = {});
// Only the given episode of a seeded run.
RunResult runEpisodeOf(std::uint64_t seed, std::uint64_t episode, const Options& options = {});

} // namespace quillory::random
