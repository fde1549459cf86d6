#include "core/Form1.h"

#include "core/Format.h"
#include "search/Lookup.h"

namespace quillory {

void Form1::Hunt(int Index) {
    SwapFrom = kNone;
    CutAt = kNone;
    SelSpan = kNone;
    Renovate();

    // A search never takes the length rule, so the 0 passed as the character limit is inert.
    FindLast =
        Index == 1 ? Numeric(kFindReply, -1) : Character(kFindReply, characterCodeFor(Index), 0);
    if (FindLast < 0) {
        FindLast = kNone;
        Renovate();
        return;
    }
    BlockBytes.assign(InputBytes.begin(), InputBytes.begin() + FindLast + 1);

    SelStart = Lookup(0, FindLast, kTrue);
    if (SelStart == kNone) MsgBox(u"没有找到“" + FindText + u"”！");
    PageStart = kPageSize * CurPage;
}

void Form1::Hnext(int Index) {
    if (SelStart < 0 || (SelSpan < 0 && FindLast < 0)) {
        MsgBox(u"没有查找起点或终点(需双击2次)，查找1个字符(Numeric)只需单击1次");
        Renovate();
        return;
    }
    if (PageStart + SelStart + SelSpan > LastOffset) {
        MsgBox(u"偏移量超界！");
        Renovate();
        return;
    }

    std::int32_t pos = PageStart + SelStart;
    const std::int32_t L = SelSpan >= 0 ? SelSpan : FindLast;
    const Flag show = Index == 1 ? kTrue : kFalse;
    if (SelSpan == 0) BlockBytes.assign(1, FileBytes[pos]);

    // The search starts on the marked data itself, so it is always the first one counted.
    std::int64_t n = 0;
    for (;;) {
        // Lookup itself, inlined: a count may step through millions of occurrences.
        SelStart = locate(*this, pos, BlockBytes, L, show);
        if (SelStart == kNone) break;
        ++n;
        // PageStart is the occurrence's page now: the next search starts right after it.
        pos = PageStart + SelStart + L + 1;
        if (pos > LastOffset) break;
        if (show &&
            MsgBox(u"已找到" + decText(n) + u"处，是否继续？", Buttons::YesNo) != Answer::Yes)
            break;
    }

    MsgBox(n >= 1 ? u"共找到" + decText(n) + u"处选定数据" : std::u16string(u"后面没有了！"));
    FindLast = kNone;
    SelSpan = kNone;
    SelStart = kNone;
    PageStart = kPageSize * CurPage;
    Renovate();
}

} // namespace quillory
