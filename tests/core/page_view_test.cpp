// Page view, refresh, navigation and recount.

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
    EXPECT_EQ(e.form.OffsetToCell[511], 511);
    EXPECT_EQ(e.form.CellToOffset[33], 17);
    EXPECT_EQ(e.form.CellToOffset[31], 496);
    EXPECT_EQ(e.form.CellToOffset[480], 15);
}

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
    EXPECT_EQ(e.form.LastOffset, 511);
    EXPECT_EQ(e.form.SelStart, kNone);
    EXPECT_EQ(e.form.SelSpan, kNone);
    EXPECT_EQ(e.form.FindLast, kNone);
    EXPECT_EQ(e.form.CutAt, kNone);
    EXPECT_EQ(e.form.InsertAt, kNone);
    EXPECT_EQ(e.form.SwapFrom, kNone);
    ASSERT_EQ(e.form.AddressBox.listCount(), 32);
    EXPECT_EQ(e.form.AddressBox.text(0), u" 000000");
    EXPECT_EQ(e.form.AddressBox.text(1), u" 000010");
    EXPECT_EQ(e.form.AddressBox.text(31), u" 0001F0");
    ASSERT_EQ(e.form.NumberBox.listCount(), 512);
    ASSERT_EQ(e.form.ChrBox.listCount(), 512);
    for (int k = 0; k < 512; ++k) {
        EXPECT_EQ(e.form.NumberBox.text(k), u"00");
        EXPECT_EQ(e.form.ChrBox.text(k), u". ");
    }
    EXPECT_EQ(e.form.Caption, u"Quillory");
    EXPECT_EQ(e.fake.captions.back(), u"Quillory");
    EXPECT_EQ(e.form.StateBar.caption(), u"文件字节:512( &&H200) 总页数:1 当前页:1");
    EXPECT_EQ(e.form.StateBar.displayText(), u"文件字节:512( &H200) 总页数:1 当前页:1");
    EXPECT_TRUE(e.fake.messages.empty());
}

struct LengthRow {
    std::int32_t length, lastPage, tailCount;
    std::u16string status;
};

TEST(Recount, LengthsAndStatusLine) {
    const LengthRow rows[] = {
        {1, 0, 1, u"文件字节:1( &&H1) 总页数:1 当前页:1"},
        {512, 0, 0, u"文件字节:512( &&H200) 总页数:1 当前页:1"},
        {513, 1, 1, u"文件字节:513( &&H201) 总页数:2 当前页:1"},
        {1024, 1, 0, u"文件字节:1,024( &&H400) 总页数:2 当前页:1"},
        {4194304, 8191, 0, u"文件字节:4,194,304( &&H400000) 总页数:8,192 当前页:1"},
        {16777216, 32767, 0, u"文件字节:16,777,216( &&H1000000) 总页数:32,768 当前页:1"},
    };
    for (const LengthRow& row : rows) {
        Editor e;
        e.load(Bytes(static_cast<std::size_t>(row.length), 0x41));
        EXPECT_EQ(e.form.LastOffset, row.length - 1);
        EXPECT_EQ(e.form.LastPage, row.lastPage);
        EXPECT_EQ(e.form.TailCount, row.tailCount);
        EXPECT_EQ(e.form.VscrollBar.max(), row.lastPage);
        EXPECT_EQ(e.form.StateBar.caption(), row.status);
    }
    Editor e;
    e.load(Bytes(4194304, 0));
    EXPECT_EQ(e.form.StateBar.displayText(),
              u"文件字节:4,194,304( &H400000) 总页数:8,192 当前页:1");
}

TEST(PageView, SecondPageOfShortDocument) {
    Editor e;
    Bytes bytes(515, 0x30);
    bytes[512] = 0x41;
    bytes[513] = 0x42;
    bytes[514] = 0x43;
    e.load(bytes);
    e.form.PageNum(1);
    EXPECT_EQ(e.form.CurPage, 1);
    EXPECT_EQ(e.form.PageStart, 512);
    EXPECT_EQ(e.form.VscrollBar.value(), 1);
    EXPECT_EQ(e.hex(0), u"41");
    EXPECT_EQ(e.chr(0), u"A ");
    EXPECT_EQ(e.chr(2), u"C ");
    for (int o = 3; o < 512; ++o) {
        EXPECT_EQ(e.hex(o), u"00");
        EXPECT_EQ(e.chr(o), u". ");
    }
    EXPECT_EQ(e.form.AddressBox.text(0), u" 000200");
    EXPECT_EQ(e.form.AddressBox.text(31), u" 0003F0");
    EXPECT_EQ(e.form.StateBar.displayText(), u"文件字节:515( &H203) 总页数:2 当前页:2");
}

TEST(PageView, DoubleBytePairing) {
    Editor e;
    Bytes bytes(1024, 0x20);
    bytes[0] = 0x41;
    bytes[1] = 0xD6;
    bytes[2] = 0xD0;
    bytes[511] = 0xC4; // last cell of a full page: not joined with the next page
    bytes[512] = 0xE3;
    bytes[1023] = 0xB0; // the document's last byte
    e.load(bytes);
    EXPECT_EQ(e.chr(0), u"A ");
    EXPECT_EQ(e.chr(1), u"中");
    EXPECT_EQ(e.chr(2), u"  ");
    EXPECT_EQ(e.chr(3), u"  "); // 0x20 shown alone with its space
    EXPECT_EQ(e.chr(511), u"\uFFFD ");
    EXPECT_EQ(e.hex(511), u"C4");

    e.form.PageNum(1);
    EXPECT_EQ(e.chr(511), u"\uFFFD ");
    // The pair E3 20 is no character: still one cell and a blank twin.
    EXPECT_EQ(e.chr(0), u"\uFFFD");
    EXPECT_EQ(e.chr(1), u"  ");
}

TEST(PageView, ControlCodesAndEuroConvertLikeAnyByte) {
    Editor e;
    e.load(Bytes{0x00, 0x1F, 0x7F, 0x80, 0x41});
    EXPECT_EQ(e.chr(0), std::u16string(u"\0 ", 2));
    EXPECT_EQ(e.chr(1), u"\x1F ");
    EXPECT_EQ(e.chr(2), u"\x7F ");
    // 0x80 starts a pair with whatever follows; the conversion yields two characters.
    EXPECT_EQ(e.chr(3), u"€A");
    EXPECT_EQ(e.chr(4), u"  ");
}

TEST(PageView, FlipShiftsPairingForOneRedraw) {
    Editor e;
    Bytes bytes(1024, 0x41);
    bytes[0] = 0xD0; // second half of a character from the page before
    bytes[1] = 0xD6;
    bytes[2] = 0xD0;
    e.load(bytes);
    // Paired from the first byte the page reads as other characters.
    EXPECT_EQ(e.chr(0), u"兄");     // D0 D6
    EXPECT_EQ(e.chr(2), u"\u8825"); // D0 41

    e.form.FlipPending = kTrue;
    e.form.ShowPage();
    EXPECT_EQ(e.form.CharPhase, kTrue);
    EXPECT_EQ(e.form.FlipPending, kFalse);
    EXPECT_EQ(e.chr(0), u". ");
    EXPECT_EQ(e.chr(1), u"中");
    EXPECT_EQ(e.chr(2), u"  ");

    // An ordinary redraw pairs from the first byte again; the phase stays.
    e.form.ShowPage();
    EXPECT_EQ(e.chr(0), u"兄");
    EXPECT_EQ(e.form.CharPhase, kTrue);

    // The next request turns the phase back and shows the normal view.
    e.form.FlipPending = kTrue;
    e.form.ShowPage();
    EXPECT_EQ(e.form.CharPhase, kFalse);
    EXPECT_EQ(e.chr(0), u"兄");
    e.form.FlipPending = kTrue;
    e.form.ShowPage();
    EXPECT_EQ(e.chr(1), u"中");
}

TEST(Renovate, ClearsHighlightAndStartPointKeepsSpan) {
    Editor e;
    e.form.Selecting = kTrue; // no click handling while the test sets highlights
    e.form.NumberBox.setSelected(3, true);
    e.form.ChrBox.setSelected(3, true);
    e.form.ChrBox.setSelected(400, true);
    e.form.Selecting = kFalse;
    e.form.SelStart = 5;
    e.form.SelSpan = 7;
    e.form.PickCount = 2;
    e.form.Renovate();
    for (int k = 0; k < 512; ++k) {
        EXPECT_FALSE(e.form.NumberBox.selected(k));
        EXPECT_FALSE(e.form.ChrBox.selected(k));
    }
    EXPECT_EQ(e.form.SelStart, kNone);
    EXPECT_EQ(e.form.PickCount, 0);
    EXPECT_EQ(e.form.SelSpan, 7);
    EXPECT_EQ(e.form.Selecting, kFalse);
}

TEST(NewCommand, AsksWhenModified) {
    Editor e;
    e.load(Bytes(700, 0x41));
    e.form.Dirty = kTrue;
    e.form.PageNum(1);
    e.form.Selecting = kTrue;
    e.form.ChrBox.setSelected(2, true);
    e.form.Selecting = kFalse;

    // Cancel: the document, its page and its highlight stay.
    e.fake.answers = {Answer::Cancel};
    e.form.Fnew();
    ASSERT_EQ(e.fake.messages.size(), 1u);
    EXPECT_EQ(e.fake.messages[0].text, u"文件已经修改，是否保存？");
    EXPECT_EQ(e.fake.messages[0].title, u"提示保存");
    EXPECT_EQ(e.fake.messages[0].buttons, Buttons::YesNoCancel);
    EXPECT_EQ(e.form.FileBytes.size(), 700u);
    EXPECT_EQ(e.form.CurPage, 1);
    EXPECT_TRUE(e.form.ChrBox.selected(2));
    EXPECT_EQ(e.form.Dirty, kTrue);

    // No: a new document without saving.
    e.fake.answers = {Answer::No};
    e.form.Fnew();
    EXPECT_EQ(e.form.FileBytes, Bytes(512, 0));
    EXPECT_EQ(e.form.Dirty, kFalse);
    EXPECT_EQ(e.form.CurPage, 0);
    EXPECT_EQ(e.form.VscrollBar.value(), 0);
    EXPECT_EQ(e.form.VscrollBar.max(), 0);
    EXPECT_FALSE(e.form.ChrBox.selected(2));
    EXPECT_EQ(e.form.ChrBox.text(0), u". ");
    EXPECT_EQ(e.form.StateBar.displayText(), u"文件字节:512( &H200) 总页数:1 当前页:1");
    EXPECT_EQ(e.form.Caption, u"Quillory");
}

TEST(NewCommand, YesWithCancelledNameDialogKeepsDocument) {
    Editor e;
    e.load(Bytes(600, 0x41));
    e.form.Dirty = kTrue;
    e.fake.answers = {Answer::Yes};
    e.fake.files = {u""}; // the name dialog is cancelled
    e.form.Fnew();
    EXPECT_EQ(e.form.FileBytes.size(), 600u);
    EXPECT_EQ(e.form.Dirty, kTrue);
}

TEST(PageNum, PreviousAndNextStopAtTheEnds) {
    Editor e;
    e.load(Bytes(1500, 0));
    e.form.PageNum(0);
    EXPECT_EQ(e.form.CurPage, 0);
    e.form.PageNum(1);
    e.form.PageNum(1);
    EXPECT_EQ(e.form.CurPage, 2);
    EXPECT_EQ(e.form.PageStart, 1024);
    e.form.PageNum(1);
    EXPECT_EQ(e.form.CurPage, 2);
    EXPECT_EQ(e.form.AddressBox.text(0), u" 000400");
    e.form.PageNum(0);
    EXPECT_EQ(e.form.CurPage, 1);
    EXPECT_EQ(e.form.VscrollBar.value(), 1);
    EXPECT_TRUE(e.fake.messages.empty());
}

struct ChooseRow {
    std::u16string reply;
    int page;     // CurPage afterwards
    bool message; // "无效页号!"
};

TEST(PageNum, ChooseAPage) {
    const ChooseRow rows[] = {
        {u"1", 0, false},   {u"2", 1, false},   {u" 3 ", 2, false}, {u"2.5", 2, false},
        {u"1.5", 0, false}, {u"3.5", 1, true},  {u"4", 1, true},    {u"0", 1, true},
        {u"-1", 1, true},   {u"0.5", 1, true},  {u"abc", 1, false}, {u"", 1, false},
        {u"1x", 1, false},  {u"1e0", 0, false},
    };
    for (const ChooseRow& row : rows) {
        Editor e;
        e.load(Bytes(1500, 0)); // three pages
        e.form.PageNum(1);      // on page 2
        e.fake.inputs = {row.reply};
        e.form.PageNum(2);
        EXPECT_EQ(e.form.CurPage, row.page) << utf8(row.reply);
        EXPECT_EQ(e.form.PageStart, 512 * row.page);
        EXPECT_EQ(e.form.VscrollBar.value(), row.page);
        EXPECT_EQ(e.fake.messages.size(), row.message ? 1u : 0u) << utf8(row.reply);
        if (row.message) {
            EXPECT_EQ(e.fake.messages[0].text, u"无效页号!");
            EXPECT_EQ(e.fake.messages[0].buttons, Buttons::OK);
        }
        ASSERT_EQ(e.fake.inputBoxes.size(), 1u);
        EXPECT_EQ(e.fake.inputBoxes[0].prompt, u"请输入页号：");
        EXPECT_EQ(e.fake.inputBoxes[0].title, u"选择某一页");
        EXPECT_EQ(e.fake.inputBoxes[0].defaultText, u"");
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

TEST(ScrollBar, ChangeAndDragTurnPagesAndClearHighlight) {
    Editor e;
    e.load(Bytes(2048, 0x41));
    e.form.Selecting = kTrue;
    e.form.ChrBox.setSelected(5, true);
    e.form.Selecting = kFalse;
    e.form.VscrollBar.userChange(3);
    EXPECT_EQ(e.form.CurPage, 3);
    EXPECT_EQ(e.form.PageStart, 1536);
    EXPECT_EQ(e.form.AddressBox.text(0), u" 000600");
    EXPECT_FALSE(e.form.ChrBox.selected(5));
    EXPECT_EQ(e.form.StateBar.displayText(), u"文件字节:2,048( &H800) 总页数:4 当前页:4");
    e.form.VscrollBar.userScroll(1);
    EXPECT_EQ(e.form.CurPage, 1);
    EXPECT_EQ(e.form.AddressBox.text(0), u" 000200");
}

TEST(Recount, ShorterDocumentKeepsOrMovesThePage) {
    // Three pages shown at the third; a cut leaves 1025 bytes: the third page stays.
    Editor e;
    e.load(Bytes(1500, 0x41));
    e.form.PageNum(1);
    e.form.PageNum(1);
    e.form.FileBytes.resize(1025);
    e.form.LastOffset = 1025;
    e.form.LengthChanged = kTrue;
    e.form.Fcount();
    EXPECT_EQ(e.form.LastPage, 2);
    EXPECT_EQ(e.form.TailCount, 1);
    EXPECT_EQ(e.form.CurPage, 2);
    EXPECT_EQ(e.form.Dirty, kTrue);
    EXPECT_EQ(e.form.LengthChanged, kFalse);
    EXPECT_EQ(e.hex(0), u"41");
    EXPECT_EQ(e.hex(1), u"00");
    EXPECT_EQ(e.chr(1), u". ");

    // Down to 1024 bytes: the view moves to the second page.
    e.form.FileBytes.resize(1024);
    e.form.LastOffset = 1024;
    e.form.LengthChanged = kTrue;
    e.form.Fcount();
    EXPECT_EQ(e.form.LastPage, 1);
    EXPECT_EQ(e.form.TailCount, 0);
    EXPECT_EQ(e.form.CurPage, 1);
    EXPECT_EQ(e.form.VscrollBar.value(), 1);
    EXPECT_EQ(e.form.PageStart, 512);
    EXPECT_EQ(e.form.AddressBox.text(0), u" 000200");
}

TEST(Recount, LongerDocumentKeepsPage) {
    Editor e;
    e.form.FileBytes.push_back(0x41);
    e.form.LastOffset = 513;
    e.form.LengthChanged = kTrue;
    e.form.Fcount();
    EXPECT_EQ(e.form.LastPage, 1);
    EXPECT_EQ(e.form.TailCount, 1);
    EXPECT_EQ(e.form.VscrollBar.max(), 1);
    EXPECT_EQ(e.form.CurPage, 0);
    EXPECT_EQ(e.form.StateBar.displayText(), u"文件字节:513( &H201) 总页数:2 当前页:1");

    // Without LengthChanged only the counts and the scroll range follow.
    e.form.Dirty = kFalse;
    e.form.FileBytes.push_back(0x42);
    e.form.LastOffset = 514;
    e.form.Fcount();
    EXPECT_EQ(e.form.LastOffset, 513);
    EXPECT_EQ(e.form.Dirty, kFalse);
    EXPECT_EQ(e.form.StateBar.displayText(), u"文件字节:513( &H201) 总页数:2 当前页:1");
}

} // namespace
} // namespace quillory::testing
