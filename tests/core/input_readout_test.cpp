#include <gtest/gtest.h>

#include "support/Editor.h"

namespace quillory::testing {
namespace {

// The offset under the pointer; every cell centre of both grids and layouts is named
// by the GUI test, so these rows are the points between and beyond cells.
TEST(OffsetReadOut, NamesCellUnderPointer) {
    struct Row {
        bool large, hex;
        int page;
        float x, y; // twips
        const char16_t* tip;
    };
    // Normal cells: 225 high, 344 wide (hex) and 180 wide (characters); large: 285, 430, 255.
    const Row rows[] = {
        {false, true, 3, 10 * 344 + 172, 2 * 225 + 112, u"总偏移量1578(62A) 页内偏移量42(2A)"},
        // The same point lies in row 1 of the normal layout and row 0 of the large one.
        {false, true, 0, 400, 250, u"总偏移量17(11) 页内偏移量17(11)"},
        {true, true, 0, 400, 250, u"总偏移量0(0) 页内偏移量0(0)"},
        // Halves go to the even neighbour: 224.5 stays in row 0, 343.5 reaches column 1.
        {false, true, 0, 0, 224.5f, u"总偏移量0(0) 页内偏移量0(0)"},
        {false, true, 0, 343.5f, 0, u"总偏移量1(1) 页内偏移量1(1)"},
        // Right of the sixteenth column counts into the next row.
        {false, true, 0, 16 * 344 + 10, 10, u"总偏移量16(10) 页内偏移量16(10)"},
        {false, false, 1, 100, 40 * 225, u"总偏移量1023(3FF) 页内偏移量511(1FF)"},
        // The last page holds offsets 2048..2050: its fourth cell is blank.
        {false, true, 4, 2 * 344 + 10, 10, u"总偏移量2050(802) 页内偏移量2(2)"},
        {false, true, 4, 3 * 344 + 10, 10, u""},
    };
    for (const Row& r : rows) {
        Editor e;
        e.load(Bytes(4 * 512 + 3));
        e.form.LargeScreen = r.large ? kTrue : kFalse;
        e.form.VscrollBar.setValue(r.page);
        ListBox& grid = r.hex ? e.form.NumberBox : e.form.ChrBox;
        grid.userMouseMove(0, 0, 10, 10); // a tooltip to replace, or to clear
        grid.userMouseMove(0, 0, r.x, r.y);
        EXPECT_EQ(utf8(grid.toolTipText()), utf8(r.tip)) << r.x << ", " << r.y;
        EXPECT_TRUE((r.hex ? e.form.ChrBox : e.form.NumberBox).toolTipText().empty());
    }
}

TEST(OffsetReadOut, ButtonHeldLeavesTooltip) {
    Editor e;
    for (const int button : {kLeftButton, kRightButton, kMiddleButton}) {
        ListBox& chr = e.form.ChrBox;
        chr.userMouseMove(0, 0, 10, 10);
        chr.userMouseMove(button, 0, 5 * 180 + 10, 3 * 225 + 10);
        EXPECT_EQ(chr.toolTipText(), u"总偏移量0(0) 页内偏移量0(0)") << button;
    }
}

} // namespace
} // namespace quillory::testing
