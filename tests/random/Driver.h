#pragma once
// A model-based random tester. It plays menu commands, clicks, double clicks, right
// clicks and scroll bar moves against Form1 on the scripted fake platform, answering
// every question with a generated reply, and after every step compares the editor with
// a small reference model that predicts the document, the selection protocol, find,
// find next and count, the records of replace next, delete next and undo, the messages,
// the clipboard and the page the grids show.
//
// Every choice comes from a ChoiceSource: a seeded generator for the long runs, or a
// fuzzer's bytes.

#include <cstdint>
#include <functional>
#include <string>

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
};

// splitmix64: one word of state, so that a seed names a run.
class PrngSource : public ChoiceSource {
  public:
    explicit PrngSource(std::uint64_t seed) : state_(seed) {}
    std::uint32_t below(std::uint32_t n) override;

  private:
    std::uint64_t state_;
};

// Takes its choices from a fuzzer's bytes; zeros once they run out.
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
    // One episode in this many starts on a document near the 16 MiB limit; 0 never.
    std::uint32_t hugeOneIn = 400;
    std::uint32_t maxEpisodeSteps = 60;
    // Runs after every step, before the checks: the checker's own test plants faults here.
    std::function<void(Form1&)> afterEachStep;
};

struct RunResult {
    bool ok = true;
    std::uint64_t steps = 0;
    std::uint64_t episodes = 0;
    std::string report; // the first failure and the steps that led to it
};

// One episode: a fresh editor, a random document, then random steps until the episode's
// length, the source or the first failed check ends it.
RunResult runEpisode(ChoiceSource& source, const Options& options = {});

// Episodes of a seeded run until `steps` steps have been played or one fails.
RunResult runSeeded(std::uint64_t seed, std::uint64_t steps, const Options& options = {});
// Only episode `episode` of a seeded run, to replay a failure.
RunResult runEpisodeOf(std::uint64_t seed, std::uint64_t episode, const Options& options = {});

} // namespace quillory::random
