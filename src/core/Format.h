#pragma once
// Number and text formatting for the texts the editor shows.

#include <cstdint>
#include <string>
#include <string_view>

namespace quillory {

inline constexpr char16_t kHexDigits[] = u"0123456789ABCDEF";

// Upper-case hexadecimal without prefix or leading zeros.
std::u16string hexText(std::uint32_t value);
// A row address: a space and six upper-case hex digits.
std::u16string addressText(std::int32_t offset);
// Plain decimal, with a minus sign when negative.
std::u16string decText(std::int64_t value);
// Decimal with a comma between groups of three digits ("##,###,###").
std::u16string groupedText(std::int64_t value);
// UTF-16 to UTF-8; an unpaired surrogate becomes U+FFFD.
std::string utf8(std::u16string_view text);
// ASCII to UTF-16.
std::u16string ascii(std::string_view text);

} // namespace quillory
