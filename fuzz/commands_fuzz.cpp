// Command sequences from fuzz input: every choice of the random tester (the document,
// the commands, clicks and scroll moves, the replies to every question) is read from
// the input bytes, and the editor is checked against the reference model after every
// step. A failed check prints the steps and crashes, so libFuzzer keeps the input.

#include <cstdio>
#include <cstdlib>

#include "random/Driver.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quillory::random;
    Options options;
    options.hugeOneIn = 0; // near 16 MiB an input would take seconds
    options.maxEpisodeSteps = 200;
    ByteSource source(data, size);
    const RunResult r = runEpisode(source, options);
    if (!r.ok) {
        std::fprintf(stderr, "check failed:\n%s\n", r.report.c_str());
        std::abort();
    }
    return 0;
}
