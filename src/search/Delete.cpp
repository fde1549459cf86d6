#include "core/Form1.h"

#include <cstring>

#include "core/Format.h"
#include "search/Lookup.h"

namespace quillory {
namespace {

// Moves len bytes from r down to w (w <= r); short runs byte by byte, where a call to
// memmove would cost more than the copy.
inline void moveDown(std::uint8_t* buf, std::size_t w, std::size_t r, std::size_t len) {
    if (w == r || len == 0) return;
    if (len < 32) {
        for (std::size_t i = 0; i < len; ++i)
            buf[w + i] = buf[r + i];
    } else {
        std::memmove(buf + w, buf + r, len);
    }
}

inline std::uint16_t load16(const std::uint8_t* p) {
    std::uint16_t v;
    std::memcpy(&v, p, 2);
    return v;
}

inline std::uint64_t load64(const std::uint8_t* p) {
    std::uint64_t v;
    std::memcpy(&v, p, 8);
    return v;
}

// Deleting occurrences one at a time and searching on where each one stood means:
// the search never looks back across a deletion, so it sees the original bytes after
// the deleted occurrence. That is a left-to-right scan of the original document for
// non-overlapping occurrences, which one read cursor and one write cursor remove in a
// single pass. Bytes before `from` are never touched. Returns the number removed.
std::int32_t removeOccurrences(Bytes& bytes, std::size_t from, const Bytes& pattern) {
    const std::size_t n = pattern.size();
    const std::size_t size = bytes.size();
    if (n == 0 || from + n > size) return 0;
    std::uint8_t* buf = bytes.data();
    const std::uint8_t* pat = pattern.data();
    const std::uint8_t p0 = pat[0];

    // Nothing before the first occurrence moves.
    const std::int64_t first = findBytes(buf, size, from, pat, n);
    if (first < 0) return 0;
    std::size_t r = static_cast<std::size_t>(first);
    std::size_t w = r;

    if (n == 1) {
        // Branch-free: every byte is written, the cursor moves past the keepers only.
        for (; r < size; ++r) {
            const std::uint8_t b = buf[r];
            buf[w] = b;
            w += b != p0;
        }
    } else {
        const std::size_t last = size - n; // the last position an occurrence can start
        const std::uint16_t head = load16(pat);
        // A pattern whose length divides eight repeats exactly in a word: eight bytes equal
        // to that word are back-to-back occurrences, which the scan would take one by one.
        const bool wordRuns = 8 % n == 0;
        std::uint64_t run = 0;
        if (wordRuns) {
            std::uint8_t word[8];
            for (std::size_t i = 0; i < 8; ++i)
                word[i] = pat[i % n];
            std::memcpy(&run, word, 8);
        }
        while (r <= last) {
            if (wordRuns) {
                while (r + 8 <= size && load64(buf + r) == run)
                    r += 8;
                if (r > last) break;
            }
            // An occurrence right at the cursor, the common case on dense data, is told by
            // one two-byte load; anything further away is left to the search's scan, whose
            // worst case stays linear however long the pattern.
            if (load16(buf + r) == head &&
                (n == 2 || std::memcmp(buf + r + 2, pat + 2, n - 2) == 0)) {
                r += n;
                continue;
            }
            const std::int64_t at = findBytes(buf, size, r + 1, pat, n);
            const std::size_t next = at < 0 ? size : static_cast<std::size_t>(at);
            moveDown(buf, w, r, next - r);
            w += next - r;
            r = next;
        }
        moveDown(buf, w, r, size - r);
        w += size - r;
    }
    const std::size_t removedBytes = size - w;
    // resize keeps the capacity, so the next edit finds its buffer in place.
    bytes.resize(w);
    return static_cast<std::int32_t>(removedBytes / n);
}

} // namespace

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
    if (!ask) platform.setMousePointer(Pointer::Wait);
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
