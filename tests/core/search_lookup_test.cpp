#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "search/ByteSearch.h"
#include "support/Editor.h"

namespace quillory::testing {
namespace {

TEST(Search, FindBytesEdges) {
    struct Row {
        Bytes text;
        std::size_t from;
        Bytes pattern;
        std::int64_t expected;
    };
    const Row rows[] = {
        {{0x41, 0x41, 0x41}, 1, {0x41, 0x41}, 1}, // overlapping candidates
        {{1, 2, 3, 4, 5}, 0, {4, 5}, 3},          // ends on the last byte
        {{1, 2, 3, 4, 5}, 4, {4, 5}, -1},         // start past the last candidate
        {{0x41, 0x42}, 0, {0x61, 0x42}, -1},      // no case folding
        {{1, 2}, 0, {1, 2, 3}, -1},               // pattern longer than the text
        {{1, 2, 3}, 9, {3}, -1},                  // start beyond the text
    };
    for (const Row& r : rows)
        EXPECT_EQ(
            findBytes(r.text.data(), r.text.size(), r.from, r.pattern.data(), r.pattern.size()),
            r.expected)
            << "from " << r.from << ", expected " << r.expected;
}

// The guide-byte scan hands over to memmem on dense false hits; both paths must agree
// with a plain scan on every kind of data.
TEST(Search, FindBytesAgreesWithPlainScan) {
    std::mt19937 rng(5);
    for (int round = 0; round < 400; ++round) {
        const int alphabet = 2 + round % 3;
        Bytes text(64 + rng() % 900);
        for (auto& b : text)
            b = static_cast<std::uint8_t>(0x41 + rng() % alphabet);
        Bytes pattern(1 + rng() % 6);
        for (auto& b : pattern)
            b = static_cast<std::uint8_t>(0x41 + rng() % alphabet);
        const std::size_t from = rng() % text.size();
        std::int64_t expected = -1;
        for (std::size_t a = from; a + pattern.size() <= text.size(); ++a) {
            if (std::memcmp(text.data() + a, pattern.data(), pattern.size()) == 0) {
                expected = static_cast<std::int64_t>(a);
                break;
            }
        }
        ASSERT_EQ(findBytes(text.data(), text.size(), from, pattern.data(), pattern.size()),
                  expected)
            << "round " << round;
    }
}

// Dense hits of the guide byte that never match, then the occurrence far behind them.
TEST(Search, FindBytesDenseGuideHitsThenMatch) {
    Bytes text(100000, 0x42);
    const Bytes pattern = {0x41, 0x41, 0x41, 0x42};
    std::memcpy(text.data() + 99990, pattern.data(), 4);
    EXPECT_EQ(findBytes(text.data(), text.size(), 0, pattern.data(), 4), 99990);
}

TEST(Search, LookupWithoutShowingMovesOnlyPageStart) {
    Editor e;
    Bytes doc(2048, 0);
    doc[1500] = 0x7E;
    e.load(doc);
    e.form.BlockBytes = {0x7E};
    e.form.SelStart = 3;
    EXPECT_EQ(e.form.Lookup(0, 0, kFalse), 1500 - 1024);
    EXPECT_EQ(e.form.PageStart, 1024);
    EXPECT_EQ(e.form.CurPage, 0);
    EXPECT_EQ(e.form.SelStart, 3);
    EXPECT_FALSE(e.form.ChrBox.selected(e.form.OffsetToCell[1500 - 1024]));
}

TEST(Search, LookupNotFoundOrRefusedChangesNothing) {
    Editor e;
    e.load(Bytes(1024, 0x11));
    e.form.PageNum(1);
    e.form.BlockBytes = {0x11, 0x11};
    e.form.SelStart = 7;
    EXPECT_EQ(e.form.Lookup(1023, 1, kTrue), kNone); // past the last candidate
    EXPECT_EQ(e.form.Lookup(0, 2, kTrue), kNone);    // length beyond the pattern
    EXPECT_EQ(e.form.Lookup(0, -1, kTrue), kNone);
    EXPECT_EQ(e.form.Lookup(-1, 0, kTrue), kNone);
    e.form.BlockBytes = {0x22};
    EXPECT_EQ(e.form.Lookup(0, 0, kTrue), kNone);
    EXPECT_EQ(e.form.PageStart, 512);
    EXPECT_EQ(e.form.CurPage, 1);
    EXPECT_EQ(e.form.SelStart, 7);
}

// An occurrence at 1022 of four bytes: page 1 is shown and only its last two cells lit.
TEST(Search, LookupShowsPageOfFirstByteAndStopsHighlightAtPageEnd) {
    Editor e;
    Bytes doc(2048, 0);
    const Bytes pattern = {0xA1, 0xA2, 0xA3, 0xA4};
    std::memcpy(doc.data() + 1022, pattern.data(), 4);
    e.load(doc);
    e.form.BlockBytes = pattern;
    e.form.SelSpan = 7;
    e.form.PickCount = 1;

    EXPECT_EQ(e.form.Lookup(0, 3, kTrue), 510);
    EXPECT_EQ(e.form.CurPage, 1);
    EXPECT_EQ(e.form.Selecting, kFalse);
    EXPECT_EQ(e.form.PickCount, 0);
    // Under Selecting the click handling leaves the span alone.
    EXPECT_EQ(e.form.SelSpan, 7);
    int lit = 0;
    for (int k = 0; k < 512; ++k)
        lit += e.form.ChrBox.selected(k) ? 1 : 0;
    EXPECT_EQ(lit, 2);
    EXPECT_TRUE(e.form.ChrBox.selected(e.form.OffsetToCell[510]));
    EXPECT_TRUE(e.form.ChrBox.selected(e.form.OffsetToCell[511]));
}

// Showing a match on the page already shown still clears the old highlight first.
TEST(Search, LookupOnSamePageReplacesHighlight) {
    Editor e;
    e.load(Bytes{0x41, 0x00, 0x41, 0x00});
    e.form.ChrBox.setSelected(e.form.OffsetToCell[3], true);
    e.form.BlockBytes = {0x41};
    EXPECT_EQ(e.form.Lookup(1, 0, kTrue), 2);
    EXPECT_FALSE(e.form.ChrBox.selected(e.form.OffsetToCell[3]));
    EXPECT_TRUE(e.form.ChrBox.selected(e.form.OffsetToCell[2]));
}

} // namespace
} // namespace quillory::testing
