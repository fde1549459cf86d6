#include "core/Form1.h"

#include <algorithm>
#include <cstddef>

#include "blocks/HexPairs.h"

namespace quillory {
namespace {

// Puts the count bytes at absolute offset S on the clipboard and, for a cut, removes
// them. The caller has checked that they lie inside the document.
void copyOrCutAt(Form1& f, std::int64_t S, std::int64_t count, bool cut) {
    const auto first = f.FileBytes.begin() + S;
    const std::u16string text = hexPairs(f.FileBytes.data() + S, static_cast<std::size_t>(count));
    f.platform.clipboardClear();
    f.platform.clipboardSetText(text);
    if (!cut) {
        f.Renovate();
        return;
    }

    f.UndoSpan = static_cast<std::int32_t>(count - 1);
    f.BlockBytes.assign(first, first + count);
    f.cutBytes = f.BlockBytes;
    // erase keeps the capacity: a later insert of the same size needs no new buffer.
    f.FileBytes.erase(first, first + count);
    const std::int64_t newLength = static_cast<std::int64_t>(f.FileBytes.size());
    if (newLength == 0) {
        // Nothing left worth keeping; the cut cannot be undone.
        f.Dirty = kFalse;
        f.Fnew();
        return;
    }
    f.CutAt = static_cast<std::int32_t>(S);
    // The cut is now the operation an undo reverses; an older insert record would point
    // at bytes the cut may have moved.
    f.InsertAt = kNone;
    f.SwapFrom = kNone;
    f.LengthChanged = kTrue;
    f.LastOffset = static_cast<std::int32_t>(newLength);
    f.Fcount();
}

// Inserts the first m bytes of InputBytes at absolute offset P (at most one past the end).
void insertAt(Form1& f, std::int64_t P, std::size_t m) {
    const std::int64_t oldLength = std::int64_t{f.LastOffset} + 1;
    if (oldLength + static_cast<std::int64_t>(m) > kMaxDocument) {
        f.MsgBox(u"文件长度超界！");
        f.Renovate();
        return;
    }
    const auto count = static_cast<std::ptrdiff_t>(m);
    f.FileBytes.insert(f.FileBytes.begin() + P, f.InputBytes.begin(), f.InputBytes.begin() + count);
    f.InsertAt = static_cast<std::int32_t>(P);
    f.CutAt = kNone;
    f.LengthChanged = kTrue;
    f.UndoSpan = static_cast<std::int32_t>(m) - 1;
    f.LastOffset = static_cast<std::int32_t>(f.FileBytes.size());
    f.Fcount();
}

} // namespace

void Form1::CopyOrCut(int Index) {
    // A find that left no pattern length is no block either.
    if (SelStart < 0 || (SelSpan < -1 && FindLast < 0)) {
        MsgBox(u"没有复制或剪切起点");
        Renovate();
        return;
    }
    const std::int64_t S = std::int64_t{PageStart} + SelStart;
    const std::int64_t n = SelSpan >= -1 ? std::int64_t{SelSpan} + 1 : std::int64_t{FindLast} + 1;
    if (S > LastOffset || S + n - 1 > LastOffset) {
        MsgBox(u"偏移量超界！");
        Renovate();
        return;
    }
    FindLast = static_cast<std::int32_t>(n);
    if (SelSpan == 0) BlockBytes.assign(1, FileBytes[S]);
    const std::int64_t count = n > 0 ? n : std::int64_t{LastOffset} + 1 - S;
    copyOrCutAt(*this, S, count, Index == 1);
}

void Form1::Insert(int Index) {
    if (SelStart < 0) {
        MsgBox(u"没有插入起点");
        return;
    }
    const std::int64_t P = std::int64_t{PageStart} + SelStart;
    if (P > std::int64_t{LastOffset} + 1) {
        MsgBox(u"只能紧挨着文件末尾插入！");
        Renovate();
        return;
    }
    const std::int32_t r =
        Index == 1 ? Numeric(kInsertReply, 0) : Character(kInsertReply, characterCodeFor(Index), 0);
    if (r < 0) {
        Renovate();
        return;
    }
    insertAt(*this, P, std::min(static_cast<std::size_t>(r) + 1, InputBytes.size()));
}

void Form1::Quash() {
    if (CutAt < 0 && InsertAt < 0) {
        MsgBox(u"没有剪切或插入操作");
        Renovate();
        return;
    }
    // The replay goes through the steps that cut and insert share, past their prompts.
    if (CutAt > kNone) {
        // The cut bytes go back where they were taken from.
        if (CutAt > std::int64_t{LastOffset} + 1) {
            MsgBox(u"只能紧挨着文件末尾插入！");
            Renovate();
        } else {
            InputBytes = cutBytes;
            insertAt(*this, CutAt, InputBytes.size());
        }
    } else {
        // The inserted bytes come out again, as a cut of them would take them.
        const std::int64_t count = std::int64_t{UndoSpan} + 1;
        if (std::int64_t{InsertAt} + count - 1 > LastOffset) {
            MsgBox(u"偏移量超界！");
            Renovate();
        } else {
            SelSpan = UndoSpan;
            FindLast = static_cast<std::int32_t>(count);
            copyOrCutAt(*this, InsertAt, count, true);
        }
    }
    CutAt = kNone;
    InsertAt = kNone;
    cutBytes = Bytes();
}

} // namespace quillory
