#include "core/Format.h"

#include <charconv>

#include "platform/Utf16.h"

namespace quillory {

std::u16string hexText(std::uint32_t value) {
    char digits[8] = {};
    const char* end = std::to_chars(digits, digits + sizeof digits, value, 16).ptr;
    std::u16string s;
    for (const char* p = digits; p != end; ++p)
        s.push_back(static_cast<char16_t>(*p >= 'a' ? *p - 'a' + 'A' : *p));
    return s;
}

std::u16string addressText(std::int32_t offset) {
    std::u16string s(7, u' ');
    for (int i = 6; i >= 1; --i) {
        s[i] = kHexDigits[offset & 0xF];
        offset >>= 4;
    }
    return s;
}

std::u16string decText(std::int64_t value) {
    return ascii(std::to_string(value));
}

std::u16string groupedText(std::int64_t value) {
    const std::string digits = std::to_string(value < 0 ? -value : value);
    std::u16string s;
    if (value < 0) s.push_back(u'-');
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) s.push_back(u',');
        s.push_back(static_cast<char16_t>(digits[i]));
    }
    return s;
}

std::string utf8(std::u16string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (isSurrogatePair(text, i))
            c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
        else if (isSurrogate(text[i]))
            c = 0xFFFD;
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
        } else if (c < 0x800) {
            out.push_back(static_cast<char>(0xC0 | c >> 6));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else if (c < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | c >> 12));
            out.push_back(static_cast<char>(0x80 | (c >> 6 & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | c >> 18));
            out.push_back(static_cast<char>(0x80 | (c >> 12 & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c >> 6 & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
    return out;
}

std::u16string ascii(std::string_view text) {
    return std::u16string(text.begin(), text.end());
}

} // namespace quillory
