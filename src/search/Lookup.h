#pragma once
// The byte scan behind every search, and the locate-and-show step shared by Lookup and
// replace next (which searches with its own copy of the pattern).

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "core/Form1.h"

namespace quillory {

namespace detail {

// Counting and replacing all step from one occurrence to the next, and on dense data the
// next one is usually a few bytes on: the first candidates are looked at inline, before
// paying for a library call. Past those, these do the work out of line.
inline constexpr std::size_t kInlineCandidates = 16;
std::int64_t findByCalls(const std::uint8_t* text, std::size_t length, const std::uint8_t* begin,
                         const std::uint8_t* pattern, std::size_t patternLength);
void showOccurrence(Form1& form, std::int32_t result, std::int32_t dLen);

} // namespace detail

// Offset of the first occurrence of pattern[0..patternLength) that starts at or after
// `from` and lies wholly inside text[0..length), or -1. Allocates nothing.
inline std::int64_t findBytes(const std::uint8_t* text, std::size_t length, std::size_t from,
                              const std::uint8_t* pattern, std::size_t patternLength) {
    if (patternLength == 0 || from > length || length - from < patternLength) return -1;
    const std::uint8_t* begin = text + from;

    const std::size_t candidates = length - from - patternLength + 1;
    const std::size_t quick = std::min(candidates, detail::kInlineCandidates);
    for (std::size_t i = 0; i < quick; ++i) {
        if (begin[i] != pattern[0]) continue;
        std::size_t k = 1;
        while (k < patternLength && begin[i + k] == pattern[k])
            ++k;
        if (k == patternLength) return static_cast<std::int64_t>(from + i);
    }
    if (quick == candidates) return -1;
    return detail::findByCalls(text, length, begin + quick, pattern, patternLength);
}

// Finds pattern[0..dLen] from absolute offset QD, moves PageStart to the page of the
// occurrence and, with BJ1, shows that page with the occurrence highlighted. Returns the
// occurrence's in-page offset, or kNone (and changes nothing) when there is none.
inline std::int32_t locate(Form1& form, std::int32_t QD, const Bytes& pattern, std::int32_t dLen,
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
    if (BJ1) detail::showOccurrence(form, result, dLen);
    return result;
}

} // namespace quillory
