#pragma once
// UTF-16 code units: which ones are halves of a character outside the BMP.

#include <cstddef>
#include <string_view>

namespace quillory {

constexpr bool isSurrogate(char16_t c) {
    return c >= 0xD800 && c <= 0xDFFF;
}

// Whether text[i] and text[i + 1] are the two halves of one character.
constexpr bool isSurrogatePair(std::u16string_view text, std::size_t i) {
    return i + 1 < text.size() && text[i] >= 0xD800 && text[i] <= 0xDBFF && text[i + 1] >= 0xDC00 &&
           text[i + 1] <= 0xDFFF;
}

} // namespace quillory
