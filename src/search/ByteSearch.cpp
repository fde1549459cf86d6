#include "search/ByteSearch.h"

#include <algorithm>
#include <cstring>

namespace quillory {
namespace {

// One memchr call costs a few nanoseconds of set-up. When hits of the guide byte come
// more often than about one in this many bytes, the scan hands over to memmem, whose
// worst case stays linear.
constexpr std::size_t kDenseHitSpacing = 8;
constexpr std::size_t kHitsBeforeJudging = 64;

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

} // namespace

std::int64_t detail::findByCalls(const std::uint8_t* text, std::size_t length,
                                 const std::uint8_t* begin, const std::uint8_t* pattern,
                                 std::size_t patternLength) {
    const std::size_t span = static_cast<std::size_t>(text + length - begin);
    if (patternLength == 1) {
        const void* hit = std::memchr(begin, pattern[0], span);
        return hit ? static_cast<const std::uint8_t*>(hit) - text : -1;
    }

    // Guide the scan by the last pattern byte that differs from the first one. On data
    // made of runs of the first byte (where a first-byte filter stops at every position
    // and memmem slows down) memchr then skips the runs at full speed.
    std::size_t guide = patternLength - 1;
    while (guide > 0 && pattern[guide] == pattern[0])
        --guide;

    if (guide > 0) {
        const std::uint8_t g = pattern[guide];
        const std::uint8_t* p = begin + guide;
        // The guide byte of the last candidate position, plus one.
        const std::uint8_t* const end = text + length - (patternLength - 1 - guide);
        std::size_t misses = 0;
        bool dense = false;
        while (!dense && p < end) {
            const auto* hit = static_cast<const std::uint8_t*>(std::memchr(p, g, end - p));
            if (!hit) return -1;
            const std::uint8_t* candidate = hit - guide;
            if (candidate[0] == pattern[0] &&
                std::memcmp(candidate + 1, pattern + 1, patternLength - 1) == 0)
                return candidate - text;
            p = hit + 1;
            ++misses;
            dense = misses >= kHitsBeforeJudging &&
                    misses * kDenseHitSpacing > static_cast<std::size_t>(p - begin);
            if (dense) begin = candidate + 1;
        }
        if (!dense) return -1;
    }

    const void* hit =
        memmem(begin, static_cast<std::size_t>(text + length - begin), pattern, patternLength);
    return hit ? static_cast<const std::uint8_t*>(hit) - text : -1;
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

} // namespace quillory
