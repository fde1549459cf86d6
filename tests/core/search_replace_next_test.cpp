#include <gtest/gtest.h>

#include "support/Editor.h"

namespace quillory::testing {
namespace {

// Replaces the two bytes at in-page offset `at` of the page shown with 58 59, as a
// double-click pair and the digit prompt would.
void swapPair(Editor& e, int at) {
    e.form.SelStart = at;
    e.form.SelSpan = 1;
    e.form.PickCount = 2;
    const auto first = e.form.FileBytes.begin() + e.form.PageStart + at;
    e.form.BlockBytes.assign(first, first + 2);
    e.fake.prompts.push_back(u"58 59");
    e.form.Swap(1);
    ASSERT_EQ(e.form.SwapFrom, at);
}

TEST(SearchSwapNext, ReplaceNextNoThenYes) {
    Editor e;
    e.load(Bytes{0x41, 0x42, 0x00, 0x41, 0x42, 0x41, 0x42});
    swapPair(e, 0);
    e.fake.messages.clear();
    e.fake.answers = {Answer::No, Answer::Yes};

    e.form.SwapNext(0);
    const std::u16string question = u"是否用“58 59”替换这个数据（已替换0次）？";
    EXPECT_EQ(e.fake.messageTexts(),
              (std::vector<std::u16string>{question, question, u"后面没有了！"}));
    EXPECT_EQ(e.fake.messages[0].buttons, Buttons::YesNoCancel);
    EXPECT_EQ(e.form.FileBytes, (Bytes{0x58, 0x59, 0x00, 0x41, 0x42, 0x58, 0x59}));
}

TEST(SearchSwapNext, ReplaceNextShowsEachOccurrencePage) {
    Editor e;
    Bytes doc(1536, 0);
    doc[0] = doc[1000] = 0x41;
    doc[1] = doc[1001] = 0x42;
    e.load(doc);
    swapPair(e, 0);
    e.fake.answers = {Answer::Yes};
    e.form.SwapNext(0);
    EXPECT_EQ(e.form.CurPage, 1);
}

// After a single double click the working block holds an older range; replace next must
// look for the bytes this replacement overwrote.
TEST(SearchSwapNext, SingleDoubleClickReplacementCapturesOverwrittenBytes) {
    Editor e;
    e.load(Bytes{0x00, 0x00, 0x41, 0x42, 0x00, 0x00, 0x41, 0x42, 0x00, 0x00});
    e.form.BlockBytes = {0x00, 0x00}; // left by an earlier pair of double clicks
    e.form.SelStart = 2;
    e.form.SelSpan = -1;
    e.form.PickCount = 1;
    e.fake.prompts = {u"58 59"};
    e.form.Swap(1);
    EXPECT_EQ(e.form.SwapLen, 1);
    EXPECT_EQ(e.form.BlockBytes, (Bytes{0x41, 0x42}));

    e.form.SwapNext(1);
    EXPECT_EQ(e.form.FileBytes,
              (Bytes{0x00, 0x00, 0x58, 0x59, 0x00, 0x00, 0x58, 0x59, 0x00, 0x00}));
}

// Commands between Swap and SwapNext overwrite the shared pattern, replacement and text;
// replace next keeps what Swap used.
TEST(SearchSwapNext, KeepsItsOwnPatternReplacementAndText) {
    Editor e;
    e.load(Bytes{0x41, 0x42, 0x00, 0x41, 0x42, 0x07, 0x07, 0x07, 0x41, 0x42});
    swapPair(e, 0);

    // A count of one clicked byte replaces BlockBytes and forgets FindLast.
    e.form.SelStart = 2;
    e.form.SelSpan = 0;
    e.form.Hnext(0);
    // A block fill prompts again: InputBytes and SwapText change.
    e.form.SelStart = 5;
    e.form.SelSpan = 2;
    e.form.PickCount = 2;
    e.fake.prompts = {u"EE"};
    e.form.SwapCake(0);
    ASSERT_EQ(e.form.BlockBytes.size(), 1u);
    ASSERT_EQ(e.form.SwapText, u"EE");
    e.fake.messages.clear();

    e.fake.answers = {Answer::Yes, Answer::Yes};
    e.form.SwapNext(0);
    EXPECT_EQ(e.fake.messageTexts(),
              (std::vector<std::u16string>{u"是否用“58 59”替换这个数据（已替换0次）？",
                                           u"是否用“58 59”替换这个数据（已替换1次）？",
                                           u"后面没有了！"}));
    EXPECT_EQ(e.form.FileBytes,
              (Bytes{0x58, 0x59, 0x00, 0x58, 0x59, 0xEE, 0xEE, 0xEE, 0x58, 0x59}));
}

// Turning the page between Swap and SwapNext does not move the continuation point to the
// page shown; it stays right after the data replaced. Replace all works under the wait
// cursor and marks the document modified.
TEST(SearchSwapNext, ContinuesAfterReplacedDataWhateverPageShown) {
    Editor e;
    Bytes doc(1024, 0);
    for (int at : {0, 100, 600}) {
        doc[at] = 0x41;
        doc[at + 1] = 0x42;
    }
    e.load(doc);
    swapPair(e, 0);
    e.form.PageNum(1);
    e.form.Dirty = kFalse; // as after a save between the two commands
    e.fake.messages.clear();

    e.form.SwapNext(1);
    EXPECT_EQ(e.fake.messageTexts(),
              (std::vector<std::u16string>{u"幸不辱命，全部替换完毕（共替换2次）！"}));
    EXPECT_EQ(e.form.FileBytes[100], 0x58);
    EXPECT_EQ(e.form.FileBytes[600], 0x58);
    EXPECT_EQ(e.form.CurPage, 1);
    EXPECT_EQ(e.fake.pointers, (std::vector<Pointer>{Pointer::Wait, Pointer::Default}));
    EXPECT_EQ(e.form.Dirty, kTrue);
}

// A range picked with two double clicks, then the start point moved by a single click
// (which keeps the span): the replacement overwrites the bytes at the click, and replace
// next must look for those, not for the range picked before.
TEST(SearchSwapNext, LooksForTheBytesReplacedAfterTheStartPointMoved) {
    Editor e;
    e.load({0x41, 0x42, 0x43, 0x44, 0x41, 0x42, 0x43, 0x44});
    e.form.NumberBox.userDblClick(e.form.OffsetToCell[0]);
    e.form.NumberBox.userDblClick(e.form.OffsetToCell[1]);
    e.form.NumberBox.userClick(e.form.OffsetToCell[2]);
    e.fake.prompts.push_back(u"58 59");
    e.form.Swap(1);
    ASSERT_EQ(e.form.FileBytes, (Bytes{0x41, 0x42, 0x58, 0x59, 0x41, 0x42, 0x43, 0x44}));

    e.form.SwapNext(1);
    EXPECT_EQ(e.form.FileBytes, (Bytes{0x41, 0x42, 0x58, 0x59, 0x41, 0x42, 0x58, 0x59}));
}

} // namespace
} // namespace quillory::testing
