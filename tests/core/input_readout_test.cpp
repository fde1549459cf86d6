#include <gtest/gtest.h>

#include "support/Editor.h"

namespace quillory::testing {
namespace {

enum class Grid { Hex, Chr };

struct ReadOut {
    const char* name;
    bool large;
    Grid grid;
    int page;
    float x, y; // twips
    const char16_t* tip;
};

class OffsetReadOut : public ::testing::TestWithParam<ReadOut> {};

TEST_P(OffsetReadOut, NamesCellUnderPointer) {
    const ReadOut& r = GetParam();
    Editor e;
    e.load(Bytes(4 * 512));
    e.form.LargeScreen = r.large ? kTrue : kFalse;
    if (r.page > 0) e.form.VscrollBar.setValue(r.page);
    ListBox& grid = r.grid == Grid::Hex ? e.form.NumberBox : e.form.ChrBox;
    grid.userMouseMove(0, 0, r.x, r.y);
    EXPECT_EQ(utf8(grid.toolTipText()), utf8(r.tip));
    // The other grid's tooltip is its own.
    ListBox& other = r.grid == Grid::Hex ? e.form.ChrBox : e.form.NumberBox;
    EXPECT_TRUE(other.toolTipText().empty());
}

// Normal cells: 225 high, 344 wide (hex) and 180 wide (characters); large: 285, 430, 255.
INSTANTIATE_TEST_SUITE_P(
    Selection, OffsetReadOut,
    ::testing::Values(
        ReadOut{"FirstCell", false, Grid::Hex, 0, 0, 0, u"总偏移量0(0) 页内偏移量0(0)"},
        ReadOut{"FourthPageRow2Col10", false, Grid::Hex, 3, 10 * 344 + 172, 2 * 225 + 112,
                u"总偏移量1578(62A) 页内偏移量42(2A)"},
        ReadOut{"FourthPageRow2Col10Large", true, Grid::Hex, 3, 10 * 430 + 215, 2 * 285 + 142,
                u"总偏移量1578(62A) 页内偏移量42(2A)"},
        ReadOut{"FourthPageRow2Col10Chr", false, Grid::Chr, 3, 10 * 180 + 90, 2 * 225 + 112,
                u"总偏移量1578(62A) 页内偏移量42(2A)"},
        ReadOut{"FourthPageRow2Col10ChrLarge", true, Grid::Chr, 3, 10 * 255 + 127, 2 * 285 + 142,
                u"总偏移量1578(62A) 页内偏移量42(2A)"},
        // The same point lies in row 1 of the normal layout and row 0 of the large one.
        ReadOut{"SamePointNormal", false, Grid::Hex, 0, 400, 250,
                u"总偏移量17(11) 页内偏移量17(11)"},
        ReadOut{"SamePointLarge", true, Grid::Hex, 0, 400, 250, u"总偏移量0(0) 页内偏移量0(0)"},
        // Halves go to the even neighbour: 224.5 stays in row 0, 343.5 reaches column 1.
        ReadOut{"HalfRoundsDownToEven", false, Grid::Hex, 0, 0, 224.5f,
                u"总偏移量0(0) 页内偏移量0(0)"},
        ReadOut{"HalfRoundsUpToEven", false, Grid::Hex, 0, 343.5f, 0,
                u"总偏移量1(1) 页内偏移量1(1)"},
        // Right of the sixteenth column counts into the next row.
        ReadOut{"PastLastColumn", false, Grid::Hex, 0, 16 * 344 + 10, 10,
                u"总偏移量16(10) 页内偏移量16(10)"},
        ReadOut{"BelowLastRowLimited", false, Grid::Chr, 1, 100, 40 * 225,
                u"总偏移量1023(3FF) 页内偏移量511(1FF)"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(OffsetReadOutTail, BlankCellAfterEndHasNoTooltip) {
    Editor e;
    e.load(Bytes(515)); // second page holds offsets 512..514
    e.form.LargeScreen = kFalse;
    e.form.VscrollBar.setValue(1);
    ListBox& hex = e.form.NumberBox;
    hex.userMouseMove(0, 0, 2 * 344 + 10, 10);
    EXPECT_EQ(hex.toolTipText(), u"总偏移量514(202) 页内偏移量2(2)");
    hex.userMouseMove(0, 0, 3 * 344 + 10, 10);
    EXPECT_TRUE(hex.toolTipText().empty());
    hex.userMouseMove(0, 0, 10, 10);
    EXPECT_EQ(hex.toolTipText(), u"总偏移量512(200) 页内偏移量0(0)");
}

TEST(OffsetReadOutTail, ButtonHeldLeavesTooltip) {
    Editor e;
    for (const int button : {kLeftButton, kRightButton, kMiddleButton}) {
        ListBox& chr = e.form.ChrBox;
        chr.userMouseMove(0, 0, 10, 10);
        chr.userMouseMove(button, 0, 5 * 180 + 10, 3 * 225 + 10);
        EXPECT_EQ(chr.toolTipText(), u"总偏移量0(0) 页内偏移量0(0)") << button;
    }
}

TEST(OffsetReadOutTail, ReadOutChangesNoState) {
    Editor e;
    e.load(Bytes(1024));
    e.form.NumberBox.userClick(5);
    const std::int32_t start = e.form.SelStart, span = e.form.SelSpan;
    e.form.NumberBox.userMouseMove(0, 0, 3000, 3000);
    e.form.ChrBox.userMouseMove(0, 0, 3000, 3000);
    EXPECT_EQ(e.form.SelStart, start);
    EXPECT_EQ(e.form.SelSpan, span);
    EXPECT_TRUE(e.form.NumberBox.selected(5));
    EXPECT_EQ(e.form.CurPage, 0);
}

} // namespace
} // namespace quillory::testing
