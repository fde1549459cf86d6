#include <gtest/gtest.h>

#include <numeric>

#include "support/Editor.h"

namespace quillory::testing {
namespace {

// A document whose byte at offset k is k mod 256, so copied blocks show where they came from.
Bytes counting(std::size_t length) {
    Bytes bytes(length);
    std::iota(bytes.begin(), bytes.end(), std::uint8_t{0});
    return bytes;
}

enum class Grid { Hex, Chr };

struct Selection : ::testing::Test {
    Editor e;
    void SetUp() override { e.load(counting(1024)); }

    ListBox& grid(Grid g) { return g == Grid::Hex ? e.form.NumberBox : e.form.ChrBox; }
    int cell(int offset) const { return e.form.OffsetToCell[offset]; }

    // What the widget reports for a click: one toggle of the cell.
    void click(int offset, Grid g = Grid::Hex) { grid(g).userClick(cell(offset)); }
    // A double click: the first press toggles, the press that completes it only
    // raises the double click.
    void dblClick(int offset, Grid g = Grid::Hex) {
        grid(g).userClick(cell(offset));
        grid(g).userDblClick(cell(offset));
    }
    bool highlighted(int offset) const { return e.form.NumberBox.selected(cell(offset)); }
    int highlightCount() const {
        int n = 0;
        for (int k = 0; k < 512; ++k)
            n += e.form.NumberBox.selected(k) ? 1 : 0;
        return n;
    }
};

// A click toggles the cell, also off, and makes it the start point in any case.
TEST_F(Selection, ClickTogglesCellAndMarksIt) {
    for (const Grid g : {Grid::Hex, Grid::Chr}) {
        e.form.Renovate();
        click(300);
        e.form.SelSpan = 7;
        click(17, g); // row 1, column 1: cell 33
        EXPECT_EQ(e.form.SelStart, 17);
        EXPECT_EQ(e.form.SelSpan, 0);
        EXPECT_TRUE(e.form.ChrBox.selected(33));
        EXPECT_EQ(highlightCount(), 2);
        click(17, g);
        EXPECT_FALSE(highlighted(17));
        EXPECT_TRUE(highlighted(300));
        EXPECT_EQ(e.form.SelStart, 17);
        EXPECT_EQ(e.form.PickCount, 0);
    }
}

TEST_F(Selection, FirstDoubleClickMarksToEndOfFileAndForgetsSequences) {
    e.form.FindLast = 3;
    e.form.SwapFrom = 4;
    e.form.CutAt = 5;
    e.form.LengthChanged = kTrue;
    const Bytes before = e.form.BlockBytes;
    dblClick(100);
    EXPECT_EQ(e.form.SelStart, 100);
    EXPECT_EQ(e.form.SelSpan, -1);
    EXPECT_EQ(e.form.PickCount, 1);
    EXPECT_EQ(e.form.FindLast, kNone);
    EXPECT_EQ(e.form.SwapFrom, kNone);
    EXPECT_EQ(e.form.CutAt, kNone);
    EXPECT_EQ(e.form.LengthChanged, kFalse);
    EXPECT_EQ(e.form.BlockBytes, before);
}

// Either order, the same cell twice, and both grids counting towards one pair.
TEST_F(Selection, SecondDoubleClickCopiesBlockAndHighlightsRun) {
    struct Row {
        int first, second;
        Grid firstGrid, secondGrid;
        int start, span;
    };
    const Row rows[] = {{40, 5, Grid::Hex, Grid::Hex, 5, 35},
                        {17, 17, Grid::Hex, Grid::Hex, 17, 0},
                        {200, 3, Grid::Hex, Grid::Chr, 3, 197},
                        {0, 511, Grid::Chr, Grid::Hex, 0, 511}};
    for (const Row& r : rows) {
        e.form.Renovate();
        dblClick(r.first, r.firstGrid);
        dblClick(r.second, r.secondGrid);
        EXPECT_EQ(e.form.PickCount, 2);
        EXPECT_EQ(e.form.SelStart, r.start);
        EXPECT_EQ(e.form.SelSpan, r.span);
        Bytes expected(static_cast<std::size_t>(r.span) + 1);
        std::iota(expected.begin(), expected.end(), static_cast<std::uint8_t>(r.start));
        EXPECT_EQ(e.form.BlockBytes, expected) << r.first << " " << r.second;
        EXPECT_EQ(highlightCount(), r.span + 1);
        EXPECT_TRUE(highlighted(r.start) && highlighted(r.start + r.span));
    }
    EXPECT_TRUE(e.fake.messages.empty());
}

TEST_F(Selection, RangeOnLaterPageCopiesFromThatPage) {
    e.form.PageNum(1);
    dblClick(10);
    dblClick(12);
    EXPECT_EQ(e.form.BlockBytes, (Bytes{(512 + 10) & 0xFF, (512 + 11) & 0xFF, (512 + 12) & 0xFF}));
}

TEST_F(Selection, BlankCellAfterEndOnlyAsFirstPoint) {
    e.load(counting(515)); // last page: offsets 512..514, then blanks
    e.form.PageNum(1);
    dblClick(200);
    EXPECT_EQ(e.form.SelStart, 200);
    EXPECT_TRUE(e.fake.messages.empty());

    e.form.Renovate();
    e.form.BlockBytes = {0xAA};
    dblClick(1);
    dblClick(3); // first blank cell
    ASSERT_EQ(e.fake.messageTexts(), std::vector<std::u16string>{u"偏移量超界！"});
    EXPECT_EQ(e.fake.messages[0].buttons, Buttons::OK);
    EXPECT_EQ(e.fake.messages[0].title, kAppTitle);
    EXPECT_EQ(e.form.SelStart, kNone);
    EXPECT_EQ(e.form.PickCount, 0);
    EXPECT_EQ(e.form.BlockBytes, Bytes{0xAA});

    // The points were cleared: the next double click is a first one again, and the
    // last byte itself is accepted.
    dblClick(2);
    dblClick(0);
    EXPECT_EQ(e.form.SelSpan, 2);
    EXPECT_EQ(e.form.BlockBytes, (Bytes{0x00, 0x01, 0x02}));
}

TEST_F(Selection, SingleClickAfterRangeMovesStartKeepsSpanAndBlock) {
    dblClick(10);
    dblClick(20);
    click(300);
    EXPECT_EQ(e.form.SelStart, 300);
    EXPECT_EQ(e.form.SelSpan, 10);
    EXPECT_EQ(e.form.PickCount, 2);
    EXPECT_EQ(e.form.BlockBytes.size(), 11u);
}

TEST_F(Selection, ThirdDoubleClickReturnsToLowerPointToEndOfFile) {
    dblClick(30);
    dblClick(20);
    const Bytes block = e.form.BlockBytes;
    dblClick(400);
    EXPECT_EQ(e.form.PickCount, 3);
    EXPECT_EQ(e.form.SelStart, 20);
    EXPECT_EQ(e.form.SelSpan, -1);
    EXPECT_EQ(e.form.BlockBytes, block);
    // A single click now resets the span again, as before any double click.
    click(50);
    EXPECT_EQ(e.form.SelSpan, 0);
}

TEST_F(Selection, RefreshClearsHighlightAndPointsButKeepsSpan) {
    dblClick(3);
    dblClick(9);
    e.form.Renovate();
    EXPECT_EQ(e.form.SelSpan, 6);
    EXPECT_EQ(e.form.SelStart, kNone);
    EXPECT_EQ(e.form.PickCount, 0);
    EXPECT_EQ(highlightCount(), 0);
    // Outside a refresh, the editor's own selections still count as clicks.
    e.form.ChrBox.setSelected(cell(44), true);
    EXPECT_EQ(e.form.SelStart, 44);
    EXPECT_EQ(e.form.SelSpan, 0);
    // A page turn refreshes too: a first point set before it is forgotten.
    dblClick(7);
    e.form.PageNum(1);
    EXPECT_EQ(e.form.SelStart, kNone);
    dblClick(9);
    EXPECT_EQ(e.form.PickCount, 1);
    EXPECT_EQ(e.form.SelSpan, -1);
}

} // namespace
} // namespace quillory::testing
