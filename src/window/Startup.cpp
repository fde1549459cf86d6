#include "core/Form1.h"

#include "core/Format.h"
#include "window/Layout.h"

#include <cmath>

namespace quillory {

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

    for (int r = 0; r < 32; ++r) {
        for (int c = 0; c < 16; ++c) {
            OffsetToCell[16 * r + c] = static_cast<std::int16_t>(32 * c + r);
            CellToOffset[32 * c + r] = static_cast<std::int16_t>(16 * r + c);
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
    LastOffset = 511;
    PageStart = CurPage = LastPage = 0;
    TailCount = 0;
    FileName.clear();
    stampedName.clear();

    VscrollBar.setValue(0);
    VscrollBar.setMax(0);

    AddressBox.clear();
    NumberBox.clear();
    ChrBox.clear();
    for (int r = 0; r < 32; ++r)
        AddressBox.addItem(addressText(16 * r));
    for (int k = 0; k < 512; ++k)
        NumberBox.addItem(u"00");
    for (int k = 0; k < 512; ++k)
        ChrBox.addItem(u". ");
    setCaption(kAppTitle);
    StateBar.setCaption(u"文件字节:512( &&H200) 总页数:1 当前页:1");
}

} // namespace quillory
