#include "core/Format.h"

namespace quillory {

std::u16string hexText(std::uint32_t value) {
    char16_t buf[8];
    int n = 0;
    do {
        buf[n++] = u"0123456789ABCDEF"[value & 0xF];
        value >>= 4;
    } while (value != 0);
    std::u16string s;
    while (n > 0) s.push_back(buf[--n]);
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

std::u16string ascii(std::string_view text) {
    return std::u16string(text.begin(), text.end());
}

} // namespace quillory
