#pragma once
// A model-based random tester. It plays menu commands (file commands on a folder of its
// own too), clicks, scroll bar moves, drops, closing the window and other programs' changes
// to the files against Form1 on the scripted fake platform, answering every question with a
// generated reply, and after every step compares the editor, all that the fake records
// and the files with a small reference model.

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

} // namespace quillory::random
