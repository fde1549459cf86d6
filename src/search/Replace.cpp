#include "core/Form1.h"

#include <algorithm>

#include "core/Format.h"
#include "search/Lookup.h"

namespace quillory {
namespace {

// Replacements are mostly a few bytes long: a byte loop, not a library call, per write.
void writeAt(Bytes& doc, std::int32_t at, const Bytes& data) {
    std::uint8_t* out = doc.data() + at;
    for (const std::uint8_t b : data)
        *out++ = b;
}

// Whether the marked bytes from absolute offset S lie inside the document; if not, says
// so and clears the marks.
bool markedInside(Form1& f, std::int32_t S) {
    if (S + f.SelSpan <= f.LastOffset) return true;
    f.MsgBox(u"偏移量超界！");
    f.Renovate();
    return false;
}

} // namespace

void Form1::Swap(int Index) {
    if (SelStart < 0) {
        MsgBox(u"没有替换起点");
        return;
    }
    const std::int32_t S = PageStart + SelStart;
    if (!markedInside(*this, S)) return;
    // Found data: the pattern that Hunt left is the selection.
    if (SelSpan == kNone && FindLast >= 0) SelSpan = FindLast;
    if (SelSpan == 0) BlockBytes.assign(1, FileBytes[S]);

    FindLast = Index == 1 ? Numeric(kReplaceReply, SelSpan)
                          : Character(kReplaceReply, characterCodeFor(Index), SelSpan);
    if (FindLast < 0) {
        FindLast = kNone;
        Renovate();
        return;
    }
    if (S + FindLast > LastOffset) {
        MsgBox(u"偏移量超界！");
        Renovate();
        return;
    }

    SwapLen = std::max(SelSpan, FindLast);
    const auto first = FileBytes.begin() + S;
    // A selection running to the end of the document (one double click) left nothing
    // in BlockBytes: what replace next looks for is what is overwritten now.
    if (SelSpan < 0) BlockBytes.assign(first, first + SwapLen + 1);
    // Replace next looks for the data replaced here, read from the document itself: the
    // working block may still hold a range picked before a click moved the start point,
    // or a found pattern that the key transform has changed since.
    swapPattern.assign(first, first + SwapLen + 1);
    swapData.assign(InputBytes.begin(), InputBytes.begin() + FindLast + 1);
    swapShown = SwapText;
    swapNextAt = S + SwapLen + 1;

    // Shorter data overwrites only the start of the selection.
    std::copy(swapData.begin(), swapData.end(), first);

    InputText = SwapText;
    SwapFrom = SelStart;
    Dirty = kTrue;
    CutAt = kNone;
    SelSpan = kNone;
    Renovate();
    ShowPage();
}

void Form1::SwapCake(int Index) {
    if (SelStart < 0 || SelSpan < 1) {
        MsgBox(u"块替换必须有起点和终点！");
        Renovate();
        return;
    }
    const std::int32_t S = PageStart + SelStart;
    // A single click after two double clicks moves the start point but keeps the span,
    // so the block can reach past the end of the last page.
    if (!markedInside(*this, S)) return;

    if (Index == 0) {
        FindLast = Numeric(kReplacementReply, SelSpan);
        if (FindLast < 0) {
            FindLast = kNone;
            Renovate();
            return;
        }
        // Tile the block with the typed bytes; a last repetition that does not fit is cut.
        std::int32_t j = 0;
        for (std::int32_t k = 0; k <= SelSpan; ++k) {
            FileBytes[S + k] = InputBytes[j];
            if (++j > FindLast) j = 0;
        }
    } else {
        Dialog2.Caption = u"输入块内将被替换的数字";
        FindLast = Numeric(kCaptionSetReply, -1);
        if (FindLast < 0) {
            Dialog2.Caption.clear();
            FindLast = kNone;
            Renovate();
            return;
        }
        const std::uint8_t X = InputBytes[0];
        Dialog2.Caption = u"输入用于替换的数字";
        FindLast = Numeric(kCaptionSetReply, -1);
        Dialog2.Caption.clear();
        if (FindLast < 0) {
            FindLast = kNone;
            Renovate();
            return;
        }
        const std::uint8_t Y = InputBytes[0];
        for (std::int32_t k = 0; k <= SelSpan; ++k)
            if (FileBytes[S + k] == X) FileBytes[S + k] = Y;
    }

    Dirty = kTrue;
    SelSpan = kNone;
    FindLast = kNone;
    SelStart = kNone;
    Renovate();
    ShowPage();
}

void Form1::SwapNext(int Index) {
    if (SwapFrom < 0) {
        MsgBox(u"没有替换起点或没有先进行常规替换");
        Renovate();
        return;
    }
    const Flag ask = Index == 0 ? kTrue : kFalse;
    std::int32_t pos = swapNextAt;
    if (!ask) platform.setMousePointer(Pointer::Wait);

    std::int64_t n = 0;
    Answer last = Answer::OK;
    while (SwapFrom > kNone) {
        SwapFrom = locate(*this, pos, swapPattern, SwapLen, ask);
        if (SwapFrom == kNone) break;
        const std::int32_t P = PageStart + SwapFrom;
        // Declined data is skipped too: occurrences never overlap and none comes twice.
        pos = P + SwapLen + 1;
        if (ask) {
            last =
                MsgBox(u"是否用“" + swapShown + u"”替换这个数据（已替换" + decText(n) + u"次）？",
                       Buttons::YesNoCancel);
            if (last == Answer::Cancel) break;
            if (last == Answer::Yes) {
                ++n;
                writeAt(FileBytes, P, swapData);
                Dirty = kTrue;
                Renovate();
                ShowPage();
            }
        } else {
            ++n;
            writeAt(FileBytes, P, swapData);
            Dirty = kTrue;
        }
    }

    Renovate();
    if (!ask) platform.setMousePointer(Pointer::Default);
    SwapFrom = kNone;
    PageStart = kPageSize * CurPage;
    Renovate();

    if (!ask && n >= 1) {
        ShowPage();
        MsgBox(u"幸不辱命，全部替换完毕（共替换" + decText(n) + u"次）！");
    }
    if (ask && (last == Answer::Yes || last == Answer::No)) MsgBox(u"后面没有了！");
}

} // namespace quillory
