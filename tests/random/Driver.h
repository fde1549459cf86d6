#pragma once
// A model-based random tester. It plays menu commands, clicks, double clicks, right
// clicks and scroll bar moves against Form1 on the scripted fake platform, answering
// every question with a generated reply, and after every step compares the editor with
// a small reference model that predicts the document, the selection protocol, find,
// find next and count, the records of replace next, delete next and undo, the messages,
// the clipboard and the page the grids show.

#include <cstddef>
#include <cstdint>
#include <string>

namespace quillory::random {

struct RunResult {
    bool ok = true;
    std::uint64_t steps = 0, episodes = 0;
    std::string report; // the first failure and the steps that led to it
};

// Episodes of a seeded run until `steps` steps have been played or one fails; or, to
// replay a failure, only the episode `only`.
RunResult runSeeded(std::uint64_t seed, std::uint64_t steps, std::int64_t only = -1);

// One episode of up to 200 steps whose every choice is read from a fuzzer's bytes (zeros
// once they run out). It never starts near 16 MiB: an input would take seconds.
RunResult runFuzzed(const std::uint8_t* data, std::size_t size);

} // namespace quillory::random
