// Command sequences from fuzz input: every choice of the random tester (the document,
// the commands, clicks and scroll moves, the replies to every question) is read from
// the input bytes, and the editor is checked against the reference model after every
// step. A failed check prints the steps and crashes, so libFuzzer keeps the input.

#include <cstdio>
#include <cstdlib>

#include "random/Driver.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto r = quillory::random::runFuzzed(data, size);
    if (!r.ok) {
        std::fprintf(stderr, "check failed:\n%s\n", r.report.c_str());
        std::abort();
    }
    return 0;
}
