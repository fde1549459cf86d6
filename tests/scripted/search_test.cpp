// The byte search against a plain scan, on random data. (Delete all against deleting one
// by one is the random tester's.)

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "platform/Bytes.h"
#include "search/ByteSearch.h"

namespace quillory::testing {
namespace {

std::int64_t plainFind(const Bytes& text, std::size_t from, const Bytes& pattern) {
    for (std::size_t a = from; a + pattern.size() <= text.size(); ++a)
        if (std::equal(pattern.begin(), pattern.end(), text.begin() + a)) return std::int64_t(a);
    return -1;
}

Bytes random(std::mt19937& rng, std::size_t size, unsigned alphabet) {
    Bytes b(size);
    std::generate(b.begin(), b.end(), [&] { return std::uint8_t(0x41 + rng() % alphabet); });
    return b;
}

// Inline first candidates, the guide-byte scan, its hand-over to memmem on dense false
// hits and the edges (start past the text, pattern longer) agree with a plain scan.
TEST(ByteSearch, FindBytesAgreesWithAPlainScan) {
    std::mt19937 rng(5);
    for (int round = 0; round < 600; ++round) {
        const Bytes text = random(rng, rng() % (round % 20 ? 1000 : 20000), 1 + round % 4);
        const Bytes pattern = random(rng, 1 + rng() % 7, 1 + round % 4);
        const std::size_t from = rng() % (text.size() + 3);
        ASSERT_EQ(findBytes(text.data(), text.size(), from, pattern.data(), pattern.size()),
                  plainFind(text, from, pattern))
            << "round " << round;
    }
    // Guide-byte false hits that end right before an occurrence, wherever the hand-over falls.
    for (std::size_t run = 1; run < 700; ++run)
        for (const Bytes& pattern : {Bytes{'B', 'A', 'A'}, Bytes{'B', 'C', 'A', 'A'}}) {
            Bytes text(run, 'A');
            text.insert(text.end(), pattern.begin(), pattern.end());
            ASSERT_EQ(findBytes(text.data(), text.size(), 0, pattern.data(), pattern.size()),
                      plainFind(text, 0, pattern))
                << run;
        }
}

} // namespace
} // namespace quillory::testing
