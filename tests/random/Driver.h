#pragma once
// A model-based random tester. It plays menu commands, clicks, double clicks, right
// clicks and scroll bar moves against Form1 on the scripted fake platform, answering
// every question with a generated reply, and after every step compares the editor with
// a small reference model that predicts the document, the selection protocol, find,
// find next and count, the records of replace next, delete next and undo, the messages,
// the clipboard and the page the grids show.

#include <cstdint>
#include <string>

namespace quillory::random {

// Where every choice of an episode comes from: a seeded generator for the long runs, or
// a fuzzer's bytes.
class ChoiceSource {
  public:
    virtual ~ChoiceSource() = default;
    virtual std::uint32_t below(std::uint32_t n) = 0; // a value in 0..n-1
    virtual bool exhausted() const { return false; }  // a finite source ends the episode
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

// A fuzzer's bytes, as many for a choice as its range needs; zeros once they run out.
class ByteSource : public ChoiceSource {
  public:
    ByteSource(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    std::uint32_t below(std::uint32_t n) override;
    bool exhausted() const override { return pos_ >= size_; }

  private:
    const std::uint8_t* data_;
    std::size_t size_, pos_ = 0;
};

struct Options {
    std::uint32_t hugeOneIn = 400; // one episode in this many starts near 16 MiB; 0 never
    std::uint32_t maxEpisodeSteps = 60;
};

struct RunResult {
    bool ok = true;
    std::uint64_t steps = 0, episodes = 0;
    std::string report; // the first failure and the steps that led to it
};

RunResult runEpisode(ChoiceSource& source, const Options& options = {});
// Episodes of a seeded run until `steps` steps have been played or one fails; or only
// the episode given, to replay a failure.
RunResult runSeeded(std::uint64_t seed, std::uint64_t steps, const Options& options = {});
RunResult runEpisodeOf(std::uint64_t seed, std::uint64_t episode, const Options& options = {});

} // namespace quillory::random
