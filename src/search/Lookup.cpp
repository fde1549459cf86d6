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

void detail::showOccurrence(Form1& form, std::int32_t result, std::int32_t dLen) {
    form.CurPage = form.PageStart / kPageSize;
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

std::int32_t Form1::Lookup(std::int32_t QD, std::int32_t dLen, Flag BJ1) {
    return locate(*this, QD, BlockBytes, dLen, BJ1);
}

} // namespace quillory
