// Command sequences from fuzz input: every choice of the random tester's driver (the
// document, the commands and mouse events, the replies to every question) is read from
// the input bytes, and the driver checks the editor against its reference model after
// every step. A failed check prints the steps of the episode and crashes.
//
// File commands are left out: they would make the run wait on the disk, and the save
// round trips have tests of their own. Documents near the 16 MiB limit are left to the
// seeded runs for the same reason.

#include <cstdio>
#include <cstdlib>

#include "random/Driver.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quillory::random;
    static Driver* driver = [] {
        Options options;
        options.files = false;
        options.hugeOneIn = 0;
        options.maxEpisodeSteps = 200;
        return new Driver(options);
    }();
    ByteSource source(data, size);
    const EpisodeResult r = driver->runEpisode(source);
    if (!r.ok) {
        std::fprintf(stderr, "random driver check failed after %u steps:\n%s\n", r.steps,
                     r.report.c_str());
        std::abort();
    }
    return 0;
}
