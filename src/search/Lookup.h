#pragma once
// The byte scan behind every search, and the locate-and-show step shared by Lookup and
// replace next (which searches with its own copy of the pattern).

#include <cstddef>
#include <cstdint>

#include "core/Form1.h"

namespace quillory {

// Offset of the first occurrence of pattern[0..patternLength) that starts at or after
// `from` and lies wholly inside text[0..length), or -1. Allocates nothing.
std::int64_t findBytes(const std::uint8_t* text, std::size_t length, std::size_t from,
                       const std::uint8_t* pattern, std::size_t patternLength);

// Finds pattern[0..dLen] from absolute offset QD, moves PageStart to the page of the
// occurrence and, with BJ1, shows that page with the occurrence highlighted. Returns the
// occurrence's in-page offset, or kNone (and changes nothing) when there is none.
std::int32_t locate(Form1& form, std::int32_t QD, const Bytes& pattern, std::int32_t dLen,
                    Flag BJ1);

} // namespace quillory
