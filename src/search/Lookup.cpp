#include "search/Lookup.h"

#include <algorithm>
#include <cstring>

namespace quillory {
namespace {

// One memchr call costs a few nanoseconds of set-up. When hits of the guide byte come
// more often than about one in this many bytes, the scan hands over to memmem, whose
// worst case stays linear.
constexpr std::size_t kDenseHitSpacing = 8;
constexpr std::size_t kHitsBeforeJudging = 64;

} // namespace

std::int64_t findBytes(const std::uint8_t* text, std::size_t length, std::size_t from,
                       const std::uint8_t* pattern, std::size_t patternLength) {
    if (patternLength == 0 || from > length || length - from < patternLength) return -1;
    const std::uint8_t* begin = text + from;
    const std::size_t span = length - from;

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

std::int32_t locate(Form1& form, std::int32_t QD, const Bytes& pattern, std::int32_t dLen,
                    Flag BJ1) {
    if (QD < 0 || dLen < 0 || static_cast<std::size_t>(dLen) >= pattern.size()) return kNone;
    const std::size_t length =
        std::min(form.FileBytes.size(), static_cast<std::size_t>(form.LastOffset) + 1);
    const std::int64_t found = findBytes(form.FileBytes.data(), length, QD, pattern.data(),
                                         static_cast<std::size_t>(dLen) + 1);
    if (found < 0) return kNone;

    const auto a = static_cast<std::int32_t>(found);
    const std::int32_t result = a % kPageSize;
    form.PageStart = a - result;
    if (BJ1) {
        form.CurPage = a / kPageSize;
        // The scroll bar's change handling follows the page when it differs.
        form.VscrollBar.setValue(form.CurPage);
        form.Renovate();
        form.ShowPage();
        // Each selection runs the character grid's click handling, which mirrors it into
        // the hex grid; Selecting keeps that from being taken for a user's click.
        form.Selecting = kTrue;
        const std::int32_t last = std::min(dLen, kPageSize - 1 - result);
        for (std::int32_t h = 0; h <= last; ++h)
            form.ChrBox.setSelected(form.OffsetToCell[result + h], true);
        form.Selecting = kFalse;
    }
    return result;
}

std::int32_t Form1::Lookup(std::int32_t QD, std::int32_t dLen, Flag BJ1) {
    return locate(*this, QD, BlockBytes, dLen, BJ1);
}

} // namespace quillory
