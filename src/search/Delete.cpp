#include "core/Form1.h"

#include "core/Format.h"
#include "search/ByteSearch.h"
#include "search/Lookup.h"

namespace quillory {

void Form1::DelAll(int Index) {
    if (CutAt < 0) {
        MsgBox(u"没有删除起点或没有先进行剪切");
        Renovate();
        return;
    }
    // The data last cut, whatever a copy or count has put into the working block since.
    const Bytes pattern = cutBytes;
    const std::int64_t n = static_cast<std::int64_t>(pattern.size());
    // No room for an occurrence at or after the cut point: nothing to do.
    if (n == 0 || std::int64_t{CutAt} + n - 1 > LastOffset) return;
    BlockBytes = pattern;

    const bool ask = Index == 0;
    std::int32_t c = 0;
    Answer answer = Answer::OK; // no question asked yet

    if (ask) {
        std::int64_t q = CutAt;
        while (q <= LastOffset) {
            const std::int32_t at =
                Lookup(static_cast<std::int32_t>(q), static_cast<std::int32_t>(n - 1), kTrue);
            if (at == kNone) break;
            const std::int64_t P = std::int64_t{PageStart} + at;
            answer =
                MsgBox(u"是否删除这个数据（已删除" + decText(c) + u"次）？", Buttons::YesNoCancel);
            if (answer == Answer::Cancel) break;
            if (answer == Answer::No) {
                q = P + n;
                continue;
            }
            ++c;
            FileBytes.erase(FileBytes.begin() + P, FileBytes.begin() + P + n);
            // An empty document has no page to redraw; a new one follows below.
            if (FileBytes.empty()) break;
            LengthChanged = kTrue;
            LastOffset = static_cast<std::int32_t>(FileBytes.size());
            Fcount();
            // The bytes after the deleted occurrence now start at P.
            q = P;
        }
    } else {
        platform.setMousePointer(Pointer::Wait);
        c = removeOccurrences(FileBytes, static_cast<std::size_t>(CutAt), pattern);
    }

    PageStart = kPageSize * CurPage;
    if (!ask) {
        platform.setMousePointer(Pointer::Default);
        if (c >= 1) {
            if (!FileBytes.empty()) {
                LastOffset = static_cast<std::int32_t>(FileBytes.size());
                LengthChanged = kTrue;
                Fcount();
            }
            MsgBox(u"幸不辱命，有关数据全部删除完毕（共删除" + decText(c) + u"次）！");
        }
    } else if (answer == Answer::Yes || answer == Answer::No) {
        MsgBox(u"后面没有了！");
    }

    cutBytes = Bytes();
    // Deleting down to a single byte leaves nothing worth keeping. A run that deleted
    // nothing leaves the user's document alone, however short.
    if (c >= 1 && FileBytes.size() <= 1) {
        Dirty = kFalse;
        Fnew();
    } else {
        CutAt = kNone;
        FindLast = kNone;
        SelSpan = kNone;
        Renovate();
    }
}

} // namespace quillory
