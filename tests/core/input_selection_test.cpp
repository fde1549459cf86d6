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

TEST_F(Selection, FirstDoubleClickMarksToEndOfFileAndForgetsFind) {
    e.form.FindLast = 3;
    e.form.LengthChanged = kTrue;
    const Bytes before = e.form.BlockBytes;
    dblClick(100);
    EXPECT_EQ(e.form.SelStart, 100);
    EXPECT_EQ(e.form.SelSpan, -1);
    EXPECT_EQ(e.form.PickCount, 1);
    EXPECT_EQ(e.form.FindLast, kNone);
    EXPECT_EQ(e.form.LengthChanged, kFalse);
    EXPECT_EQ(e.form.BlockBytes, before);
}

// Either order, the same cell twice, both grids counting towards one pair, a range on a
// later page; then what a single click and a third double click do to a range.
TEST_F(Selection, DoubleClickSequences) {
    struct Act {
        char kind; // 'd' double click, 'c' click, 'p' next page
        int offset = 0;
        Grid grid = Grid::Hex;
    };
    struct Row {
        std::vector<Act> acts;
        int start, span, pickCount;
        int blockFrom, blockLength; // absolute offset and length of BlockBytes
        int highlighted;
    };
    const Row rows[] = {
        {{{'d', 40}, {'d', 5}}, 5, 35, 2, 5, 36, 36},
        {{{'d', 17}, {'d', 17}}, 17, 0, 2, 17, 1, 1},
        {{{'d', 200}, {'d', 3, Grid::Chr}}, 3, 197, 2, 3, 198, 198},
        {{{'d', 0, Grid::Chr}, {'d', 511}}, 0, 511, 2, 0, 512, 512},
        {{{'p'}, {'d', 10}, {'d', 12}}, 10, 2, 2, 522, 3, 3},
        // A single click moves the start point and keeps the span and the block.
        {{{'d', 10}, {'d', 20}, {'c', 300}}, 300, 10, 2, 10, 11, 12},
        // A third double click goes back to the lower point, to the end of the file; a
        // single click then resets the span, as before any double click.
        {{{'d', 30}, {'d', 20}, {'d', 400}}, 20, -1, 3, 20, 11, 12},
        {{{'d', 30}, {'d', 20}, {'d', 400}, {'c', 50}}, 50, 0, 3, 20, 11, 13},
    };
    for (const Row& r : rows) {
        e.form.VscrollBar.setValue(0);
        e.form.Renovate();
        for (const Act& a : r.acts) {
            if (a.kind == 'd') dblClick(a.offset, a.grid);
            if (a.kind == 'c') click(a.offset, a.grid);
            if (a.kind == 'p') e.form.PageNum(1);
        }
        SCOPED_TRACE(::testing::Message() << "row ending at " << r.acts.back().offset);
        EXPECT_EQ(e.form.SelStart, r.start);
        EXPECT_EQ(e.form.SelSpan, r.span);
        EXPECT_EQ(e.form.PickCount, r.pickCount);
        Bytes block(static_cast<std::size_t>(r.blockLength));
        std::iota(block.begin(), block.end(), static_cast<std::uint8_t>(r.blockFrom));
        EXPECT_EQ(e.form.BlockBytes, block);
        EXPECT_EQ(highlightCount(), r.highlighted);
    }
    EXPECT_TRUE(e.fake.messages.empty());
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
