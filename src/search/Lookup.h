#pragma once
// The locate-and-show step shared by Lookup and replace next (which searches with its
// own copy of the pattern).

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "core/Form1.h"
#include "search/ByteSearch.h"

namespace quillory {

namespace detail {

void showOccurrence(Form1& form, std::int32_t result, std::int32_t dLen);

} // namespace detail

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
