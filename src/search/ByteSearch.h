#pragma once
// Byte-buffer algorithms behind the search commands: finding a pattern, and removing
// every further occurrence of one in a single pass. They know nothing of pages,
// highlights or the editor's records.

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "platform/Bytes.h"

namespace quillory {

namespace detail {

// Counting and replacing all step from one occurrence to the next, and on dense data the
// next one is usually a few bytes on: the first candidates are looked at inline, before
// paying for a library call. Past those, these do the work out of line.
inline constexpr std::size_t kInlineCandidates = 16;
std::int64_t findByCalls(const std::uint8_t* text, std::size_t length, const std::uint8_t* begin,
                         const std::uint8_t* pattern, std::size_t patternLength);

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

// Removes the non-overlapping occurrences of `pattern` that a left-to-right scan from
// `from` finds; bytes before `from` stay where they are. Returns the number removed.
std::int32_t removeOccurrences(Bytes& bytes, std::size_t from, const Bytes& pattern);

} // namespace quillory
