#include <gtest/gtest.h>

#include "support/Editor.h"

namespace quillory::testing {
namespace {

// Marks doc[start..start+span] as two double clicks would.
void pickRange(Editor& e, int start, int span) {
    e.form.SelStart = start;
    e.form.SelSpan = span;
    e.form.PickCount = 2;
    const auto first = e.form.FileBytes.begin() + e.form.PageStart + start;
    e.form.BlockBytes.assign(first, first + span + 1);
}

TEST(SearchSwap, FoundDataLimitsAnsiReplacement) {
    Editor e;
    e.load(Bytes{0x00, 0x41, 0x42, 0x43, 0x44});
    e.fake.prompts = {u"414243", u"wxyz", u"xy"};
    e.form.Hunt(1);
    e.form.Swap(2);
    EXPECT_EQ(e.fake.promptsShown.at(1).label, u"请输入字符(不超过 3 字节)\r\n英文字母区分大小写");
    EXPECT_EQ(e.fake.messageTexts(), (std::vector<std::u16string>{u"字符长度超界，请更改"}));
    EXPECT_EQ(e.form.FileBytes, (Bytes{0x00, 0x78, 0x79, 0x43, 0x44}));
    EXPECT_EQ(e.form.SwapLen, 2);
}

// No start point: a message only, not even a refresh; a selection past the end refreshes.
TEST(SearchSwap, Refusals) {
    Editor e;
    e.load(Bytes{1, 2, 3, 4});
    e.form.ChrBox.setSelected(7, true);
    e.form.SelStart = kNone;
    e.form.Swap(1);
    EXPECT_TRUE(e.form.ChrBox.selected(7));
    e.form.SelStart = 2;
    e.form.SelSpan = 2;
    e.form.Swap(1);
    EXPECT_FALSE(e.form.ChrBox.selected(7));
    EXPECT_EQ(e.fake.messageTexts(),
              (std::vector<std::u16string>{u"没有替换起点", u"偏移量超界！"}));
    EXPECT_TRUE(e.fake.promptsShown.empty());
}

TEST(SearchSwapCake, ValueChangeOnlyInsideBlock) {
    Editor e;
    const Bytes doc = {0x00, 0x00, 0x11, 0x00, 0x22, 0x00};
    e.load(doc);
    // A cancelled second prompt changes nothing, and the caption set for it goes.
    pickRange(e, 1, 3);
    e.fake.prompts = {u"00", std::nullopt};
    e.form.SwapCake(4);
    EXPECT_EQ(e.form.FileBytes, doc);
    EXPECT_EQ(e.form.Dirty, kFalse);
    EXPECT_EQ(e.form.Dialog2.Caption, u"");

    pickRange(e, 1, 3);
    e.fake.prompts = {u"00", u"FF EE"};
    e.form.SwapCake(4);
    EXPECT_EQ(e.fake.promptsShown.at(2).caption, u"输入块内将被替换的数字");
    EXPECT_EQ(e.fake.promptsShown.at(3).caption, u"输入用于替换的数字");
    EXPECT_EQ(e.form.FileBytes, (Bytes{0x00, 0xFF, 0x11, 0xFF, 0x22, 0x00}));
    EXPECT_EQ(e.form.Dialog2.Caption, u"");
}

TEST(SearchSwapCake, NeedsTwoPointsInsideDocument) {
    Editor e;
    e.load(Bytes{1, 2, 3, 4, 5, 6});
    e.form.SelStart = 2;
    e.form.SelSpan = 0; // a single click
    e.form.SwapCake(0);
    // Two double clicks, then a single click that moved the start point near the end:
    // the block would reach past the document.
    e.form.SelStart = 4;
    e.form.SelSpan = 3;
    e.form.PickCount = 2;
    e.fake.prompts = {u"AA"};
    e.form.SwapCake(0);
    EXPECT_EQ(e.fake.messageTexts(),
              (std::vector<std::u16string>{u"块替换必须有起点和终点！", u"偏移量超界！"}));
    EXPECT_TRUE(e.fake.promptsShown.empty());
    EXPECT_EQ(e.form.FileBytes, (Bytes{1, 2, 3, 4, 5, 6}));
}

} // namespace
} // namespace quillory::testing
