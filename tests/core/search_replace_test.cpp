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

TEST(SearchSwap, ShorterDataOverwritesStartOfSelection) {
    Editor e;
    e.load(Bytes{0x00, 0x10, 0x20, 0x30, 0x40, 0x00});
    pickRange(e, 1, 3);
    e.form.CutAt = 2;
    e.fake.prompts.push_back(u"AA BB");

    e.form.Swap(1);
    ASSERT_EQ(e.fake.promptsShown.size(), 1u);
    EXPECT_EQ(e.fake.promptsShown[0].caption, u"Swap");
    EXPECT_EQ(e.fake.promptsShown[0].label,
              u"请输入16进制数字(不超过 4个数字)\r\n每个数字为2位,数字之间可用空格隔开");
    EXPECT_EQ(e.form.FileBytes, (Bytes{0x00, 0xAA, 0xBB, 0x30, 0x40, 0x00}));
    EXPECT_EQ(e.form.SwapLen, 3);
    EXPECT_EQ(e.form.SwapFrom, 1);
    EXPECT_EQ(e.form.FindLast, 1);
    EXPECT_EQ(e.form.BlockBytes, (Bytes{0x10, 0x20, 0x30, 0x40}));
    EXPECT_EQ(e.form.CutAt, kNone);
    EXPECT_EQ(e.form.SelSpan, kNone);
    EXPECT_EQ(e.form.SelStart, kNone);
    EXPECT_EQ(e.form.Dirty, kTrue);
    EXPECT_EQ(e.form.InputText, u"AA BB");
    EXPECT_EQ(e.hex(1), u"AA");
}

TEST(SearchSwap, FoundDataLimitsAnsiReplacement) {
    Editor e;
    e.load(Bytes{0x00, 0x41, 0x42, 0x43, 0x44});
    e.fake.prompts = {u"414243", u"wxyz", u"xy"};
    e.form.Hunt(1);
    e.form.Swap(2);
    EXPECT_EQ(e.fake.promptsShown.at(1).caption, u"Swap Ansi Character");
    EXPECT_EQ(e.fake.promptsShown.at(1).label, u"请输入字符(不超过 3 字节)\r\n英文字母区分大小写");
    EXPECT_EQ(e.fake.messageTexts(), (std::vector<std::u16string>{u"字符长度超界，请更改"}));
    EXPECT_EQ(e.form.FileBytes, (Bytes{0x00, 0x78, 0x79, 0x43, 0x44}));
    EXPECT_EQ(e.form.SwapLen, 2);
    EXPECT_EQ(e.form.SwapText, u"xy");
}

TEST(SearchSwap, SingleByteLimitAndUnicode) {
    Editor e;
    e.load(Bytes{0x01, 0x02, 0x03});
    e.form.SelStart = 1;
    e.form.SelSpan = 0;
    e.fake.prompts = {u"7F 80", u"7F"};
    e.form.Swap(1);
    EXPECT_EQ(e.fake.messageTexts(), (std::vector<std::u16string>{u"数字长度超界，请更改"}));
    EXPECT_EQ(e.form.FileBytes, (Bytes{0x01, 0x7F, 0x03}));
    EXPECT_EQ(e.form.BlockBytes, (Bytes{0x02}));

    // Two bytes allowed: one UTF-16 unit fits.
    e.form.SelStart = 0;
    e.form.SelSpan = 1;
    e.form.BlockBytes = {0x01, 0x7F};
    e.fake.prompts = {u"中"};
    e.form.Swap(3);
    EXPECT_EQ(e.fake.promptsShown.back().caption, u"Swap Unicode Character");
    EXPECT_EQ(e.form.FileBytes, (Bytes{0x2D, 0x4E, 0x03}));
}

TEST(SearchSwap, RefusalsLeaveDocument) {
    Editor e;
    e.load(Bytes{1, 2, 3, 4});
    e.form.ChrBox.setSelected(7, true);

    // No start point: a message only, not even a refresh.
    e.form.SelStart = kNone;
    e.form.Swap(1);
    EXPECT_TRUE(e.form.ChrBox.selected(7));

    // Selection past the end.
    e.form.SelStart = 2;
    e.form.SelSpan = 2;
    e.form.Swap(1);
    EXPECT_FALSE(e.form.ChrBox.selected(7));

    // To the end of the document, with more typed data than is left.
    e.form.SelStart = 2;
    e.form.SelSpan = -1;
    e.fake.prompts = {u"01 02 03"};
    e.form.Swap(1);

    // Cancelled prompt.
    e.form.SelStart = 0;
    e.form.SelSpan = 0;
    e.fake.prompts = {std::nullopt};
    e.form.Swap(1);

    EXPECT_EQ(e.fake.messageTexts(), (std::vector<std::u16string>{u"没有替换起点", u"偏移量超界！",
                                                                  u"偏移量超界！", u"无效数字"}));
    EXPECT_EQ(e.form.FileBytes, (Bytes{1, 2, 3, 4}));
    EXPECT_EQ(e.form.Dirty, kFalse);
    EXPECT_EQ(e.form.SwapFrom, kNone);
    EXPECT_EQ(e.form.SelStart, kNone);
}

TEST(SearchSwapCake, FillTilesBlock) {
    Editor e;
    e.load(Bytes(10, 0xEE));
    pickRange(e, 1, 6);
    e.form.SwapFrom = 5;
    e.form.SwapLen = 1;
    e.fake.prompts = {u"01 02 03"};
    e.form.SwapCake(0);
    EXPECT_EQ(e.fake.promptsShown.at(0).caption, u"输入用于替换的数字(串)");
    EXPECT_EQ(e.form.FileBytes, (Bytes{0xEE, 1, 2, 3, 1, 2, 3, 1, 0xEE, 0xEE}));
    EXPECT_EQ(e.form.Dirty, kTrue);
    EXPECT_EQ(e.form.SelSpan, kNone);
    EXPECT_EQ(e.form.FindLast, kNone);
    EXPECT_EQ(e.form.SelStart, kNone);
    EXPECT_EQ(e.form.SwapText, u"01 02 03");
    // Not a model for replace next.
    EXPECT_EQ(e.form.SwapFrom, 5);
    EXPECT_EQ(e.form.SwapLen, 1);
    EXPECT_EQ(e.form.BlockBytes, Bytes(7, 0xEE));
}

TEST(SearchSwapCake, ValueChangeOnlyInsideBlock) {
    Editor e;
    e.load(Bytes{0x00, 0x00, 0x11, 0x00, 0x22, 0x00});
    pickRange(e, 1, 3);
    e.fake.prompts = {u"00", u"FF EE"};
    e.form.SwapCake(4);
    ASSERT_EQ(e.fake.promptsShown.size(), 2u);
    EXPECT_EQ(e.fake.promptsShown[0].caption, u"输入块内将被替换的数字");
    EXPECT_EQ(e.fake.promptsShown[1].caption, u"输入用于替换的数字");
    EXPECT_EQ(e.fake.promptsShown[0].label,
              u"请输入16进制数字\r\n每个数字为2位,数字之间可用空格隔开");
    EXPECT_EQ(e.form.FileBytes, (Bytes{0x00, 0xFF, 0x11, 0xFF, 0x22, 0x00}));
    EXPECT_EQ(e.form.Dialog2.Caption, u"");
}

TEST(SearchSwapCake, CancelledSecondPromptChangesNothing) {
    Editor e;
    e.load(Bytes{0x00, 0x11, 0x00, 0x22});
    pickRange(e, 0, 3);
    e.fake.prompts = {u"00", std::nullopt};
    e.form.SwapCake(4);
    EXPECT_EQ(e.form.FileBytes, (Bytes{0x00, 0x11, 0x00, 0x22}));
    EXPECT_EQ(e.form.Dialog2.Caption, u"");
    EXPECT_EQ(e.form.Dirty, kFalse);
    EXPECT_EQ(e.fake.messageTexts(), (std::vector<std::u16string>{u"无效数字"}));
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
