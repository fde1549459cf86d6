// Copy, cut, insert and undo.

#include <gtest/gtest.h>

#include "support/Editor.h"

namespace quillory::testing {
namespace {

Bytes counting(std::size_t size) {
    Bytes b(size);
    for (std::size_t i = 0; i < size; ++i)
        b[i] = static_cast<std::uint8_t>(i * 7 + 3);
    return b;
}

Bytes slice(const Bytes& b, std::size_t from, std::size_t count) {
    return Bytes(b.begin() + from, b.begin() + from + count);
}

// The selections as the mouse leaves them, on the page shown.
void click(Form1& f, int offset) {
    f.SelStart = offset;
    f.SelSpan = 0;
}
void firstDoubleClick(Form1& f, int offset) {
    f.SelStart = offset;
    f.SelSpan = -1;
    f.PickCount = 1;
    f.FindLast = f.CutAt = f.SwapFrom = kNone;
}
void range(Form1& f, int from, int to) {
    f.SelStart = from;
    f.SelSpan = to - from;
    f.PickCount = 2;
    f.FindLast = f.CutAt = f.SwapFrom = kNone;
    f.BlockBytes = slice(f.FileBytes, f.PageStart + from, to - from + 1);
}

// ---- copy ----

TEST(Copy, ClickedByteGoesToClipboardAndDocumentStays) {
    Editor e;
    e.load({0x01, 0x0A, 0x02});
    click(e.form, 1);
    e.form.CopyOrCut(0);
    EXPECT_EQ(e.fake.clipboard, u"0A");
    EXPECT_EQ(e.form.FileBytes, (Bytes{0x01, 0x0A, 0x02}));
    EXPECT_EQ(e.form.Dirty, kFalse);
    EXPECT_EQ(e.form.BlockBytes, Bytes{0x0A});
    EXPECT_EQ(e.form.FindLast, 1);
    EXPECT_EQ(e.form.CutAt, kNone);
    EXPECT_EQ(e.form.SelStart, kNone); // the next command needs a new point
    EXPECT_TRUE(e.fake.messages.empty());
}

struct Refusal {
    const char* name;
    int selStart, selSpan, findLast;
    std::u16string message;
};

// Shown in test names and failures instead of the struct's raw bytes.
void PrintTo(const Refusal& r, std::ostream* os) {
    *os << r.name;
}

class CopyRefused : public ::testing::TestWithParam<Refusal> {};

TEST_P(CopyRefused, ShowsMessageAndChangesNothing) {
    for (int index : {0, 1}) {
        Editor e;
        e.load(counting(12));
        e.fake.clipboard = u"keep";
        e.form.SelStart = GetParam().selStart;
        e.form.SelSpan = GetParam().selSpan;
        e.form.FindLast = GetParam().findLast;
        e.form.CopyOrCut(index);
        EXPECT_EQ(e.fake.messageTexts(), std::vector<std::u16string>{GetParam().message});
        EXPECT_EQ(e.form.FileBytes, counting(12));
        EXPECT_EQ(e.fake.clipboard, u"keep");
        EXPECT_EQ(e.form.SelStart, kNone);
        EXPECT_EQ(e.form.CutAt, kNone);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Blocks, CopyRefused,
    ::testing::Values(Refusal{"NoStartPoint", kNone, 0, kNone, u"没有复制或剪切起点"},
                      // A start point with neither an end point nor a found pattern.
                      Refusal{"FindWithoutPattern", 3, kNone, kNone, u"没有复制或剪切起点"},
                      Refusal{"StartOnBlankCell", 12, 0, kNone, u"偏移量超界！"},
                      Refusal{"ToEndFromBlankCell", 12, -1, kNone, u"偏移量超界！"},
                      Refusal{"RangeEndsOnBlankCell", 10, 2, kNone, u"偏移量超界！"},
                      Refusal{"FoundPatternPastEnd", 10, kNone, 2, u"偏移量超界！"}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- cut and undo ----

TEST(Cut, FirstDoubleClickCutsToTheEndAndUndoRestoresInPlace) {
    Editor e;
    const Bytes doc = counting(12);
    e.load(doc);
    firstDoubleClick(e.form, 5);
    e.form.CopyOrCut(1);
    ASSERT_TRUE(e.fake.clipboard);
    EXPECT_EQ(e.fake.clipboard->size(), 14u);
    EXPECT_EQ(e.fake.clipboard->substr(0, 4), u"262D"); // 5*7+3 = 0x26, 6*7+3 = 0x2D
    EXPECT_EQ(e.form.FileBytes, slice(doc, 0, 5));
    EXPECT_EQ(e.form.LastOffset, 4);
    EXPECT_EQ(e.form.BlockBytes, slice(doc, 5, 7));
    EXPECT_EQ(e.form.FindLast, 0); // a cut to the end counts 0
    EXPECT_EQ(e.form.UndoSpan, 6);
    EXPECT_EQ(e.form.CutAt, 5);
    EXPECT_EQ(e.form.Dirty, kTrue);
    EXPECT_EQ(e.form.StateBar.caption(), u"文件字节:5( &&H5) 总页数:1 当前页:1");

    e.form.Quash();
    EXPECT_EQ(e.form.FileBytes, doc);
    EXPECT_EQ(e.form.CutAt, kNone);
    EXPECT_EQ(e.form.InsertAt, kNone);
    EXPECT_EQ(e.hex(11), u"50");
}

TEST(Cut, EverythingGivesNewDocumentWithoutUndo) {
    Editor e;
    e.load(counting(40));
    firstDoubleClick(e.form, 0);
    e.form.CopyOrCut(1);
    EXPECT_EQ(e.form.FileBytes, Bytes(512, 0));
    EXPECT_EQ(e.form.Dirty, kFalse);
    EXPECT_EQ(e.fake.clipboard->size(), 80u);
    EXPECT_TRUE(e.fake.messages.empty()); // no save prompt
    e.form.Quash();
    EXPECT_EQ(e.fake.messageTexts(), std::vector<std::u16string>{u"没有剪切或插入操作"});
    EXPECT_EQ(e.form.FileBytes, Bytes(512, 0));
}

TEST(Insert, OnTheBlankCellAfterTheEndAppendsAndOneFurtherIsRefused) {
    Editor e;
    e.load({1, 2, 3});
    e.form.SelStart = 3;
    e.fake.prompts = {u"AA bb"};
    e.form.Insert(1);
    EXPECT_EQ(e.form.FileBytes, (Bytes{1, 2, 3, 0xAA, 0xBB}));
    EXPECT_EQ(e.form.InsertAt, 3);
    EXPECT_EQ(e.fake.promptsShown.at(0).caption, u"插入");

    e.form.SelStart = 6;
    e.form.Insert(1);
    EXPECT_EQ(e.fake.messageTexts(), std::vector<std::u16string>{u"只能紧挨着文件末尾插入！"});
    EXPECT_EQ(e.form.FileBytes.size(), 5u);
    EXPECT_EQ(e.form.SelStart, kNone);
    EXPECT_EQ(e.fake.promptsShown.size(), 1u);
}

TEST(Insert, ThreeBytesAtZeroThenUndo) {
    Editor e;
    const Bytes doc = counting(512);
    e.load(doc);
    e.form.SelStart = 0;
    e.fake.prompts = {u"010203"};
    e.form.Insert(1);
    ASSERT_EQ(e.form.FileBytes.size(), 515u);
    EXPECT_EQ(e.form.FileBytes[3], doc[0]);
    EXPECT_EQ(e.form.LastPage, 1);
    EXPECT_EQ(e.form.TailCount, 3);
    EXPECT_EQ(e.form.VscrollBar.max(), 1);
    EXPECT_EQ(e.form.CurPage, 0);
    EXPECT_EQ(e.form.UndoSpan, 2);
    EXPECT_EQ(e.form.Dirty, kTrue);
    EXPECT_EQ(e.hex(0), u"01");

    e.form.Quash();
    EXPECT_EQ(e.form.FileBytes, doc);
    EXPECT_EQ(e.fake.clipboard, u"010203");
    EXPECT_EQ(e.form.BlockBytes, (Bytes{1, 2, 3}));
    EXPECT_EQ(e.form.CutAt, kNone);
    EXPECT_EQ(e.form.InsertAt, kNone);
}

// ---- undo sequences ----

TEST(Undo, CutThenInsertThenUndoRemovesOnlyTheInsert) {
    Editor e;
    e.form.Quash(); // nothing yet
    e.load({1, 2, 3, 4});
    click(e.form, 1);
    e.form.CopyOrCut(1); // 1 3 4
    e.form.SelStart = 0;
    e.fake.prompts = {u"FF"};
    e.form.Insert(1); // FF 1 3 4
    EXPECT_EQ(e.form.CutAt, kNone);
    e.form.Quash();
    EXPECT_EQ(e.form.FileBytes, (Bytes{1, 3, 4}));
    e.form.Quash();
    EXPECT_EQ(e.form.FileBytes, (Bytes{1, 3, 4}));
    EXPECT_EQ(e.fake.messageTexts(),
              (std::vector<std::u16string>{u"没有剪切或插入操作", u"没有剪切或插入操作"}));
}

// The records are absolute: turning the page between the edit and its undo, or a cut
// that moves the view back, must not move the undo elsewhere.
TEST(Undo, AfterPageTurnActsOnTheBytesOfTheEdit) {
    Editor e;
    const Bytes doc = counting(1536);
    e.load(doc);
    e.form.PageNum(1); // page 2
    range(e.form, 10, 13);
    e.form.CopyOrCut(1);
    EXPECT_EQ(e.form.CutAt, 522);
    e.form.PageNum(0);
    e.form.Quash();
    EXPECT_EQ(e.form.FileBytes, doc);

    e.form.PageNum(1);
    e.form.SelStart = 100;
    e.fake.prompts = {u"ABCD"};
    e.form.Insert(1);
    e.form.PageNum(0);
    e.form.Quash();
    EXPECT_EQ(e.form.FileBytes, doc);
    EXPECT_EQ(e.fake.clipboard, u"ABCD");
}

TEST(Undo, AfterTheRecountMovedTheViewRestoresTheCutByte) {
    Editor e;
    const Bytes doc = counting(1025);
    e.load(doc);
    e.form.PageNum(1);
    e.form.PageNum(1); // the third page holds one byte
    click(e.form, 0);
    e.form.CopyOrCut(1);
    EXPECT_EQ(e.form.CurPage, 1); // the view moved back
    e.form.Quash();
    EXPECT_EQ(e.form.FileBytes, doc);
}

// A copy of one byte replaces the working block; the undo of an earlier cut must still
// put back what was cut.
TEST(Undo, CutBytesSurviveALaterCopy) {
    Editor e;
    e.load({1, 2, 3, 4, 5, 6});
    range(e.form, 1, 3);
    e.form.CopyOrCut(1); // 1 5 6
    click(e.form, 2);
    e.form.CopyOrCut(0);
    EXPECT_EQ(e.form.BlockBytes, Bytes{6});
    e.form.Quash();
    EXPECT_EQ(e.form.FileBytes, (Bytes{1, 2, 3, 4, 5, 6}));
}

// Insert, cut, then something that ends the cut's sequence: the insert record would now
// point at bytes the cut has moved, so there is nothing left to undo.
TEST(Undo, InsertRecordEndsWithALaterCut) {
    Editor e;
    e.load({1, 2, 3, 4, 5, 6});
    e.form.SelStart = 4;
    e.fake.prompts = {u"AABB"};
    e.form.Insert(1); // 1 2 3 4 AA BB 5 6
    click(e.form, 0);
    e.form.CopyOrCut(1);  // 2 3 4 AA BB 5 6
    e.form.CutAt = kNone; // as a find or a double click leaves it
    e.form.Quash();
    EXPECT_EQ(e.fake.messageTexts(), std::vector<std::u16string>{u"没有剪切或插入操作"});
    EXPECT_EQ(e.form.FileBytes, (Bytes{2, 3, 4, 0xAA, 0xBB, 5, 6}));
}

// ---- sizes beyond 16-bit counts, and the document limit ----

TEST(LargeBlocks, InsertAndUndoOfMoreThan32767Bytes) {
    Editor e;
    const Bytes doc = counting(1000);
    e.load(doc);
    e.form.SelStart = 7;
    std::u16string digits;
    for (int i = 0; i < 40000; ++i)
        digits += u"5A";
    e.fake.prompts = {digits};
    e.form.Insert(1);
    ASSERT_EQ(e.form.FileBytes.size(), 41000u);
    EXPECT_EQ(e.form.UndoSpan, 39999);
    EXPECT_EQ(e.form.FileBytes[40007], doc[7]);
    e.form.Quash();
    EXPECT_EQ(e.form.FileBytes, doc);
    EXPECT_EQ(e.fake.clipboard->size(), 80000u);
}

TEST(LargeBlocks, UndoOfACutOfMoreThan32767Bytes) {
    Editor e;
    const Bytes doc = counting(100000);
    e.load(doc);
    firstDoubleClick(e.form, 10);
    e.form.CopyOrCut(1);
    EXPECT_EQ(e.form.FileBytes.size(), 10u);
    e.form.Quash();
    EXPECT_EQ(e.form.FileBytes, doc);
}

TEST(LargeBlocks, InsertPastSixteenMebibytesIsRefused) {
    Editor e;
    Bytes doc(static_cast<std::size_t>(kMaxDocument) - 1, 0x33);
    e.load(doc);
    e.form.SelStart = 0;
    e.fake.prompts = {u"0102"};
    e.form.Insert(1);
    EXPECT_EQ(e.fake.messageTexts(), std::vector<std::u16string>{u"文件长度超界！"});
    EXPECT_EQ(e.form.FileBytes.size(), doc.size());
    EXPECT_EQ(e.form.FileBytes[0], 0x33);
    EXPECT_EQ(e.form.InsertAt, kNone);
    EXPECT_EQ(e.form.Dirty, kFalse);

    // Exactly the limit is still a document.
    e.form.SelStart = 0;
    e.fake.prompts = {u"01"};
    e.form.Insert(1);
    EXPECT_EQ(e.form.FileBytes.size(), static_cast<std::size_t>(kMaxDocument));
    EXPECT_EQ(e.form.LastPage, 32767);
}

} // namespace
} // namespace quillory::testing
