#include "core/Form1.h"

#include "core/Format.h"
#include "window/Layout.h"

#include <cmath>

namespace quillory {

// A page is one screen of the grids, its offsets row by row.
static_assert(kGridRows * kGridColumns == kPageSize);

bool Form1::Form_Load() {
    if (!platform.hasCodePage()) {
        MsgBox(u"缺少 GBK（代码页 936）字符转换，Quillory 无法启动。");
        return false;
    }
    // The prompt dialog chooses its own layout by the same screen test when it loads.
    const long screenPixels =
        std::lround(platform.screenWidthTwips()) / static_cast<long>(kTwipsPerPixel);
    LargeScreen = screenPixels > 900 ? kTrue : kFalse;
    Dialog2.Large = LargeScreen != 0;
    Dialog2.Loaded = true;

    for (int r = 0; r < kGridRows; ++r) {
        for (int c = 0; c < kGridColumns; ++c) {
            const int offset = kGridColumns * r + c;
            OffsetToCell[offset] = static_cast<std::int16_t>(cellIndex(r, c));
            CellToOffset[cellIndex(r, c)] = static_cast<std::int16_t>(offset);
        }
    }
    Fnew();
    return true;
}

void Form1::Fnew() {
    if (!SavePrompt()) return;

    FileBytes.assign(kPageSize, 0);
    Dirty = kFalse;
    CutAt = InsertAt = SwapFrom = SelStart = SelSpan = FindLast = kNone;
    LastOffset = kPageSize - 1;
    PageStart = CurPage = LastPage = 0;
    TailCount = 0;
    FileName.clear();
    stampedName.clear();

    VscrollBar.setValue(0);
    VscrollBar.setMax(0);

    AddressBox.clear();
    NumberBox.clear();
    ChrBox.clear();
    for (int r = 0; r < kGridRows; ++r)
        AddressBox.addItem(addressText(kGridColumns * r));
    for (int k = 0; k < kPageSize; ++k)
        NumberBox.addItem(kBlankHex);
    for (int k = 0; k < kPageSize; ++k)
        ChrBox.addItem(kBlankChr);
    setCaption(kAppTitle);
    showStatus();
}

} // namespace quillory
