#include <gtest/gtest.h>

#include <cstring>

#include "support/Editor.h"

namespace quillory::testing {
namespace {

// In-page offsets whose character cells are lit.
std::vector<int> litOffsets(const Editor& e) {
    std::vector<int> lit;
    for (int o = 0; o < 512; ++o)
        if (e.form.ChrBox.selected(e.form.OffsetToCell[o])) lit.push_back(o);
    return lit;
}

Bytes withAt(Bytes doc, std::size_t at, const Bytes& data) {
    std::memcpy(doc.data() + at, data.data(), data.size());
    return doc;
}

TEST(SearchHunt, DigitsLandOnFirstOccurrenceWhateverPageShown) {
    Editor e;
    e.load(withAt(withAt(Bytes(2048, 0), 700, {0xDE, 0xAD}), 1500, {0xDE, 0xAD}));
    e.form.VscrollBar.setValue(3);
    e.fake.prompts.push_back(u"de ad");

    e.form.Hunt(1);
    ASSERT_EQ(e.fake.promptsShown.size(), 1u);
    EXPECT_EQ(e.fake.promptsShown[0].caption, u"Lookup");
    EXPECT_EQ(e.form.CurPage, 1);
    EXPECT_EQ(e.form.SelStart, 700 - 512);
    EXPECT_EQ(e.form.SelSpan, kNone);
    EXPECT_EQ(e.form.FindLast, 1);
    EXPECT_EQ(litOffsets(e), (std::vector<int>{188, 189}));
    EXPECT_TRUE(e.fake.messages.empty());
}

TEST(SearchHunt, AnsiIsCaseSensitiveAndReportsNotFound) {
    Editor e;
    e.load(Bytes{0x00, 0x41, 0x42, 0x43, 0x00});
    e.fake.prompts = {u"abc", u"ABC"};
    e.form.Hunt(2);
    EXPECT_EQ(e.fake.messageTexts(), (std::vector<std::u16string>{u"没有找到“abc”！"}));
    EXPECT_EQ(e.form.SelStart, kNone);
    EXPECT_TRUE(litOffsets(e).empty());

    e.form.Hunt(2);
    EXPECT_EQ(litOffsets(e), (std::vector<int>{1, 2, 3}));
}

TEST(SearchHunt, UnicodeSearchesLittleEndianUnits) {
    Editor e;
    e.load(withAt(Bytes(600, 0), 530, {0x41, 0x00, 0x2D, 0x4E}));
    e.fake.prompts.push_back(u"A中");
    e.form.Hunt(3);
    EXPECT_EQ(e.form.CurPage, 1);
    EXPECT_EQ(e.form.SelStart, 18);
    EXPECT_EQ(e.form.FindLast, 3);
}

// Cancel refreshes and forgets the find, but keeps the pattern.
TEST(SearchHunt, CancelOnlyRefreshes) {
    Editor e;
    e.form.BlockBytes = {0x01};
    e.form.ChrBox.setSelected(9, true);
    e.fake.prompts.push_back(std::nullopt);
    e.form.Hunt(1);
    EXPECT_EQ(e.form.FindLast, kNone);
    EXPECT_EQ(e.form.BlockBytes, (Bytes{0x01}));
    EXPECT_FALSE(e.form.ChrBox.selected(9));
}

TEST(SearchHnext, FindNextAfterHuntShowsSameOccurrenceFirst) {
    Editor e;
    e.load(withAt(withAt(Bytes(64, 0), 5, {0x41, 0x42, 0x43}), 20, {0x41, 0x42, 0x43}));
    e.fake.prompts.push_back(u"41 42 43");
    e.form.Hunt(1);
    e.fake.answers.push_back(Answer::No);

    e.form.Hnext(1);
    EXPECT_EQ(e.fake.messageTexts(),
              (std::vector<std::u16string>{u"已找到1处，是否继续？", u"共找到1处选定数据"}));
    EXPECT_EQ(e.fake.messages[0].buttons, Buttons::YesNo);
    EXPECT_EQ(e.form.FindLast, kNone);
    EXPECT_EQ(e.form.SelStart, kNone);
    EXPECT_TRUE(litOffsets(e).empty());
}

// Yes steps on across pages; a match ending on the last byte ends without a question.
TEST(SearchHnext, FindNextStepsAcrossPagesAndStopsAtDocumentEnd) {
    Editor e;
    Bytes doc(1024, 0);
    doc[3] = doc[600] = doc[1023] = 0x7F;
    e.load(doc);
    e.form.SelStart = 3;
    e.form.SelSpan = 0;
    e.fake.answers = {Answer::Yes, Answer::Yes};

    e.form.Hnext(1);
    EXPECT_EQ(e.fake.messageTexts(),
              (std::vector<std::u16string>{u"已找到1处，是否继续？", u"已找到2处，是否继续？",
                                           u"共找到3处选定数据"}));
    EXPECT_EQ(e.fake.unanswered, 0);
    EXPECT_EQ(e.form.CurPage, 1); // the last occurrence's page stays shown
}

// Counting starts at the start point, does not overlap, and puts the page back.
TEST(SearchHnext, CountsFromStartPointWithoutOverlap) {
    struct Row {
        Bytes doc;
        int selStart, selSpan;
        Bytes block; // what two double clicks left; empty for a single click
        std::u16string message;
    };
    const Row rows[] = {
        {Bytes(5, 0x41), 0, 1, {0x41, 0x41}, u"共找到2处选定数据"},
        {Bytes{9, 9, 9, 1, 9}, 2, 0, {}, u"共找到2处选定数据"},
        {Bytes(3000, 0xEE), 511, 0, {}, u"共找到2489处选定数据"},
        {Bytes{1, 2, 3}, 2, 0, {}, u"共找到1处选定数据"},
    };
    for (const Row& r : rows) {
        Editor e;
        e.load(r.doc);
        e.form.SelStart = r.selStart;
        e.form.SelSpan = r.selSpan;
        if (!r.block.empty()) {
            e.form.BlockBytes = r.block;
            e.form.PickCount = 2;
        }
        e.form.Hnext(0);
        EXPECT_EQ(e.fake.messageTexts(), (std::vector<std::u16string>{r.message}));
        EXPECT_EQ(e.form.PageStart, 0);
        EXPECT_EQ(e.form.SelStart, kNone);
    }
}

TEST(SearchHnext, Refusals) {
    // No start point; a single double click with no search made; a selection past the end.
    Editor e;
    e.load(Bytes(100, 0));
    e.form.SelStart = kNone;
    e.form.SelSpan = 0;
    e.form.Hnext(0);
    e.form.SelStart = 4;
    e.form.SelSpan = -1;
    e.form.FindLast = kNone;
    e.form.Hnext(1);
    e.form.ChrBox.userClick(3);
    e.form.SelStart = 98;
    e.form.SelSpan = 2;
    e.form.Hnext(1);
    const std::u16string noStart =
        u"没有查找起点或终点(需双击2次)，查找1个字符(Numeric)只需单击1次";
    EXPECT_EQ(e.fake.messageTexts(),
              (std::vector<std::u16string>{noStart, noStart, u"偏移量超界！"}));
    EXPECT_EQ(e.form.SelStart, kNone);
    EXPECT_FALSE(e.form.ChrBox.selected(3));
}

} // namespace
} // namespace quillory::testing
