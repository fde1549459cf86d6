#include "core/Form1.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

#include "core/Format.h"
#include "platform/CodePage936.h"
#include "platform/Utf16.h"
#include "window/Layout.h"

namespace quillory {
namespace {

// The mouse position rounded half to even and kept in a range where the integer
// arithmetic cannot overflow; a grid is a few thousand twips across.
std::int64_t roundedTwips(float v) {
    const double r = std::nearbyint(static_cast<double>(v));
    if (!(r > -1e9)) return -1000000000;
    if (r > 1e9) return 1000000000;
    return static_cast<std::int64_t>(r);
}

} // namespace

// The hex grid's click runs for the user's toggle and for every selection the editor
// sets itself; only a user's click outside a completed range resets the span.
void Form1::NumberBox_Click() {
    if (PickCount != 2 && !Selecting) SelSpan = 0;
    const int i = NumberBox.listIndex();
    if (i == -1) return;
    SelStart = CellToOffset[i];
    // Raises the twin's click at once; the twin then finds this grid already in step.
    ChrBox.setSelected(i, NumberBox.selected(i));
}

// The span is left to the hex grid, whose click the mirrored selection raises.
void Form1::ChrBox_Click() {
    const int i = ChrBox.listIndex();
    if (i == -1) return;
    SelStart = CellToOffset[i];
    NumberBox.setSelected(i, ChrBox.selected(i));
}

void Form1::NumberBox_DblClick() {
    Subroutine(NumberBox.listIndex());
}

void Form1::ChrBox_DblClick() {
    Subroutine(ChrBox.listIndex());
}

void Form1::Subroutine(int cell) {
    if (cell < 0 || cell >= kPageSize) return;
    const std::int32_t p = CellToOffset[cell];

    FindLast = kNone;
    SelSpan = -1;
    ++PickCount;
    if (PickCount == 1) FirstPick = p;
    if (PickCount == 2) {
        SelSpan = std::abs(p - FirstPick);
        std::int32_t last = p;
        if (p < FirstPick) {
            last = FirstPick;
            FirstPick = p;
        }
        // Each highlight mirrors into the hex grid; PickCount 2 keeps those clicks
        // from resetting the span.
        for (std::int32_t k = FirstPick; k <= last; ++k)
            ChrBox.setSelected(OffsetToCell[k], true);
    }
    SwapFrom = kNone;
    CutAt = kNone;
    SelStart = FirstPick;
    LengthChanged = kFalse;
    if (SelSpan < 0) return;

    if (PageStart + SelStart + SelSpan > LastOffset) {
        MsgBox(u"偏移量超界！");
        PickCount = 0;
        SelStart = kNone;
        SelSpan = kNone;
        return;
    }
    const auto from = FileBytes.begin() + PageStart + SelStart;
    BlockBytes.assign(from, from + SelSpan + 1);
}

namespace {

// The in-page offset of the cell under (x, y); the grid's column width is the one
// difference between the two grids.
std::int32_t cellUnder(int rowHeight, int columnWidth, float x, float y) {
    const std::int64_t row = roundedTwips(y) / rowHeight;
    const std::int64_t column = roundedTwips(x) / columnWidth;
    // A point right of the last column counts into the next row; only the sum is
    // limited. A point above or left of the grid (only while the mouse is captured)
    // names the first cell rather than a negative offset.
    return static_cast<std::int32_t>(
        std::clamp<std::int64_t>(row * kGridColumns + column, 0, kPageSize - 1));
}

} // namespace

std::u16string Form1::offsetText(std::int32_t inPage) const {
    const std::int64_t offset = static_cast<std::int64_t>(PageStart) + inPage;
    if (offset > LastOffset) return {};
    return u"总偏移量" + decText(offset) + u"(" + hexText(static_cast<std::uint32_t>(offset)) +
           u") 页内偏移量" + decText(inPage) + u"(" + hexText(static_cast<std::uint32_t>(inPage)) +
           u")";
}

void Form1::NumberBox_MouseMove(int buttons, int, float x, float y) {
    if (buttons != 0) return;
    const Layout& l = layoutFor(LargeScreen != 0);
    NumberBox.setToolTipText(offsetText(cellUnder(l.rowHeight, l.hexCellWidth, x, y)));
}

void Form1::ChrBox_MouseMove(int buttons, int, float x, float y) {
    if (buttons != 0) return;
    const Layout& l = layoutFor(LargeScreen != 0);
    ChrBox.setToolTipText(offsetText(cellUnder(l.rowHeight, l.chrCellWidth, x, y)));
}

// The character code tool: the GBK (or ASCII) codes of the typed characters.
void Form1::NumberBox_MouseDown(int button, int, float, float) {
    // Buttons beyond the three (back, forward) report 0 and open nothing.
    if (button != kRightButton && button != kMiddleButton) return;
    InputText = platform.inputBox(u"请输入要检索的字符：", u"检索 Ascii 码", u"");
    if (InputText.empty()) return;

    const CodePage936& cp = platform.codePage();
    std::u16string codes;
    for (std::size_t i = 0; i < InputText.size(); ++i) {
        const char16_t c = InputText[i];
        std::uint16_t code = cp.code(c);
        // A character outside the BMP is one character the code page lacks: one "?".
        if (isSurrogatePair(InputText, i)) {
            code = u'?';
            ++i;
        }
        if (!codes.empty()) codes += u' ';
        codes += hexText(code);
    }
    MsgBox(u"“" + InputText + u"”" + u"的16进制Ascii码是：" + u"\r\n" + codes);
    platform.clipboardClear();
    platform.clipboardSetText(codes);
}

// The pairing fix for a page that begins with the second byte of a character.
void Form1::ChrBox_MouseDown(int button, int, float, float) {
    if (button == kRightButton && FileBytes[PageStart] > 127) {
        FlipPending = kTrue;
        ShowPage();
    }
}

} // namespace quillory
