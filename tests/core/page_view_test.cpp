// Page view, refresh, navigation and recount: the index maps, the layout threshold, what
// the code page makes of odd bytes, the replies to choose page that are not plain
// numbers, and the page kept when the length changes.

#include <gtest/gtest.h>

#include <clocale>

#include "support/Editor.h"

namespace quillory::testing {
namespace {

TEST(IndexMaps, InversePermutationsWithKnownPoints) {
    Editor e;
    for (int k = 0; k < 512; ++k)
        EXPECT_EQ(e.form.OffsetToCell[e.form.CellToOffset[k]], k);
    EXPECT_EQ(e.form.OffsetToCell[1], 32);
    EXPECT_EQ(e.form.OffsetToCell[16], 1);
    EXPECT_EQ(e.form.OffsetToCell[15], 480);
    EXPECT_EQ(e.form.CellToOffset[31], 496);
}

// The large layout from a screen wider than 900 pixels of 15 twips.
TEST(Startup, LayoutChosenByScreenWidth) {
    for (const auto& [twips, large] :
         {std::pair{15360.0, kTrue}, {13500.0, kFalse}, {13507.4, kFalse}, {13515.0, kTrue}}) {
        FakePlatform fake;
        fake.screenTwips = twips;
        Form1 form(fake);
        form.Form_Load();
        EXPECT_EQ(form.LargeScreen, large) << twips;
        EXPECT_EQ(form.Dialog2.Large, large != 0);
    }
}

TEST(Startup, NewDocument) {
    Editor e;
    EXPECT_EQ(e.form.FileBytes, Bytes(512, 0));
    EXPECT_EQ(e.fake.captions.back(), u"Quillory");
    EXPECT_EQ(e.form.StateBar.displayText(), u"文件字节:512( &H200) 总页数:1 当前页:1");
    EXPECT_TRUE(e.fake.messages.empty());
}

// A C library without GBK conversion: the editor says so and does not start.
TEST(Startup, StopsWithAMessageWithoutTheCodePage) {
    FakePlatform fake;
    fake.codePageMissing = true;
    Form1 form(fake);
    EXPECT_FALSE(form.Form_Load());
    EXPECT_EQ(fake.messageTexts(),
              std::vector<std::u16string>{u"缺少 GBK（代码页 936）字符转换，Quillory 无法启动。"});
    EXPECT_TRUE(form.FileBytes.empty());
}

// The counts are 32-bit: 32,768 pages of the largest document do not wrap.
TEST(Recount, LengthsAndStatusLine) {
    struct Row {
        std::int32_t length, lastPage, tailCount;
        std::u16string status;
    };
    const Row rows[] = {
        {1, 0, 1, u"文件字节:1( &&H1) 总页数:1 当前页:1"},
        {513, 1, 1, u"文件字节:513( &&H201) 总页数:2 当前页:1"},
        {16777216, 32767, 0, u"文件字节:16,777,216( &&H1000000) 总页数:32,768 当前页:1"},
    };
    for (const Row& row : rows) {
        Editor e;
        e.load(Bytes(static_cast<std::size_t>(row.length), 0x41));
        EXPECT_EQ(e.form.LastPage, row.lastPage);
        EXPECT_EQ(e.form.TailCount, row.tailCount);
        EXPECT_EQ(e.form.VscrollBar.max(), row.lastPage);
        EXPECT_EQ(e.form.StateBar.caption(), row.status);
    }
}

// A lone lead byte or a pair that is no character shows U+FFFD; control codes and NUL
// convert like any byte; 0x80 pairs with what follows and yields two characters.
TEST(PageView, WhatTheCodePageMakesOfOddBytes) {
    Editor e;
    Bytes bytes(1024, 0x20);
    bytes[0] = 0x00;
    bytes[1] = 0x1F;
    bytes[2] = 0x80;
    bytes[3] = 0x41;
    bytes[511] = 0xC4; // last cell of a full page: not joined with the next page
    bytes[512] = 0xE3;
    e.load(bytes);
    EXPECT_EQ(e.chr(0), std::u16string(u"\0 ", 2));
    EXPECT_EQ(e.chr(1), u"\x1F ");
    EXPECT_EQ(e.chr(2), u"€A");
    EXPECT_EQ(e.chr(3), u"  ");
    EXPECT_EQ(e.chr(511), u"\uFFFD ");
    e.form.PageNum(1);
    EXPECT_EQ(e.chr(0), u"\uFFFD"); // E3 20: one cell and a blank twin
    EXPECT_EQ(e.chr(1), u"  ");
}

// The save prompt and its replies are the file tests' concern; a refused New must not
// even refresh: the page and the highlight stay.
TEST(NewCommand, RefusedLeavesPageAndHighlight) {
    Editor e;
    e.load(Bytes(700, 0x41));
    e.form.Dirty = kTrue;
    e.form.PageNum(1);
    e.form.Selecting = kTrue;
    e.form.ChrBox.setSelected(2, true);
    e.form.Selecting = kFalse;
    // Cancel, and Yes with the name dialog cancelled.
    e.fake.answers = {Answer::Cancel, Answer::Yes};
    e.fake.files = {u""};
    e.form.Fnew();
    e.form.Fnew();
    EXPECT_EQ(e.fake.messages.size(), 2u);
    EXPECT_EQ(e.form.CurPage, 1);
    EXPECT_TRUE(e.form.ChrBox.selected(2));
}

// Blanks, a sign and an exponent are accepted, halves go to the even page, a number
// out of range says so, anything else ends silently.
TEST(PageNum, ChooseAPage) {
    struct Row {
        std::u16string reply;
        int page;     // CurPage afterwards
        bool message; // "无效页号!"
    };
    const Row rows[] = {
        {u" 3 ", 2, false}, {u"2.5", 2, false}, {u"1.5", 0, false},
        {u"1e0", 0, false}, {u"3.5", 1, true},  {u"0.5", 1, true},
        {u"-1", 1, true},   {u"abc", 1, false}, {u"1x", 1, false},
    };
    for (const Row& row : rows) {
        Editor e;
        e.load(Bytes(1500, 0)); // three pages
        e.form.PageNum(1);      // on page 2
        e.fake.inputs = {row.reply};
        e.form.PageNum(2);
        EXPECT_EQ(e.form.CurPage, row.page) << utf8(row.reply);
        EXPECT_EQ(e.fake.messageTexts(), row.message ? std::vector<std::u16string>{u"无效页号!"}
                                                     : std::vector<std::u16string>{})
            << utf8(row.reply);
        ASSERT_EQ(e.fake.inputBoxes.size(), 1u);
        EXPECT_EQ(e.fake.inputBoxes[0].prompt, u"请输入页号：");
        EXPECT_EQ(e.fake.inputBoxes[0].title, u"选择某一页");
    }
}

TEST(PageNum, OnePageAcceptsOnlyOne) {
    Editor e;
    e.fake.inputs = {u"1.4", u"1"};
    e.form.PageNum(2);
    EXPECT_EQ(e.fake.messageTexts(), std::vector<std::u16string>{u"无效页号!"});
    e.form.PageNum(2);
    EXPECT_EQ(e.fake.messages.size(), 1u);
}

TEST(PageNum, LocaleDecimalComma) {
    const char* old = std::setlocale(LC_NUMERIC, nullptr);
    const std::string saved = old ? old : "C";
    if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8") && !std::setlocale(LC_NUMERIC, "fr_FR.UTF-8"))
        GTEST_SKIP() << "no locale with a decimal comma installed";
    Editor e;
    e.load(Bytes(1500, 0));
    e.fake.inputs = {u"2,5", u"1.0"};
    e.form.PageNum(2);
    EXPECT_EQ(e.form.CurPage, 2);
    e.form.PageNum(2);
    EXPECT_EQ(e.form.CurPage, 0);
    std::setlocale(LC_NUMERIC, saved.c_str());
}

TEST(Recount, PageKeptOrMovedWhenLengthChanges) {
    Editor e;
    e.load(Bytes(1500, 0x41));
    e.form.VscrollBar.setValue(2);
    // Cut to 1025 bytes the third page stays shown; at 1024 the view moves to the second.
    for (const auto& [length, page] : {std::pair{1025, 2}, {1024, 1}}) {
        e.form.FileBytes.resize(length);
        e.form.LastOffset = length;
        e.form.LengthChanged = kTrue;
        e.form.Fcount();
        EXPECT_EQ(e.form.CurPage, page);
        EXPECT_EQ(e.form.PageStart, 512 * page);
        EXPECT_EQ(e.form.LengthChanged, kFalse);
    }
    EXPECT_EQ(e.form.Dirty, kTrue);

    // Without LengthChanged only the counts and the scroll range follow.
    e.form.Dirty = kFalse;
    e.form.FileBytes.resize(1025);
    e.form.LastOffset = 1025;
    e.form.Fcount();
    EXPECT_EQ(e.form.TailCount, 1);
    EXPECT_EQ(e.form.VscrollBar.max(), 2);
    EXPECT_EQ(e.form.Dirty, kFalse);
    EXPECT_EQ(e.form.StateBar.displayText(), u"文件字节:1,024( &H400) 总页数:2 当前页:2");
}

} // namespace
} // namespace quillory::testing
