// The byte search and delete all against plain models, on random data.

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "search/ByteSearch.h"
#include "support/Editor.h"

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
}

// Delete all in one pass, and delete next answered Yes each time, equal deleting one by
// one: find from where the last deletion was, remove, go on there. Down to one byte or
// none, the document becomes a new one.
TEST(DeleteAll, MatchesOneByOneModelOnRandomDocuments) {
    std::mt19937 rng(20240613);
    for (int round = 0; round < 600; ++round) {
        const int length = round % 50 ? 2 + rng() % 47 : 600 + rng() % 700;
        const Bytes doc = random(rng, length, 1 + rng() % 3);
        const int count = 1 + rng() % std::min(round % 3 ? 4 : 12, length - 1);
        const int at = rng() % (length - count + 1);

        Bytes model = doc;
        const Bytes pattern(model.begin() + at, model.begin() + at + count);
        model.erase(model.begin() + at, model.begin() + at + count);
        int deletions = 0;
        for (std::int64_t q = at; (q = plainFind(model, q, pattern)) >= 0; ++deletions)
            model.erase(model.begin() + q, model.begin() + q + count);
        if (deletions > 0 && model.size() <= 1) model = Bytes(512, 0);

        for (int index : {1, 0}) {
            Editor e;
            e.load(doc);
            e.form.SelStart = at; // a click, or two double clicks
            e.form.SelSpan = count - 1;
            e.form.CopyOrCut(1);
            e.fake.answers.assign(deletions, Answer::Yes);
            e.form.DelAll(index);
            ASSERT_EQ(e.form.FileBytes, model) << "round " << round << " index " << index;
            ASSERT_EQ(e.fake.unanswered, 0);
        }
    }
}

} // namespace
} // namespace quillory::testing
