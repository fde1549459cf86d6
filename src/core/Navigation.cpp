#include "core/Form1.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <clocale>
#include <cmath>
#include <optional>
#include <string_view>

namespace quillory {
namespace {

bool isBlank(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\u3000';
}

// The power of ten of the first significant digit of a number, its exponent included:
// negative for magnitudes below one. Asked only of numbers out of a double's range,
// which have a significant digit.
long long magnitude(std::string_view number) {
    const std::size_t e = number.find_first_of("eE");
    const std::string_view mantissa = number.substr(0, e);
    long long exponent = 0;
    if (e != std::string_view::npos) {
        std::string_view digits = number.substr(e + 1);
        if (digits.starts_with('+')) digits.remove_prefix(1);
        const auto result = std::from_chars(digits.data(), digits.data() + digits.size(), exponent);
        // Beyond a long long only the exponent's sign matters.
        if (result.ec != std::errc())
            exponent = digits.starts_with('-') ? LLONG_MIN / 2 : LLONG_MAX / 2;
    }
    const auto point = static_cast<long long>(std::min(mantissa.find('.'), mantissa.size()));
    const auto first = static_cast<long long>(mantissa.find_first_not_of("-0."));
    return (first < point ? point - first - 1 : point - first) + exponent;
}

// A decimal number with surrounding blanks, in the plain "." form or with the
// locale's decimal separator; nothing else.
std::optional<double> parseNumber(const std::u16string& reply) {
    std::size_t b = 0, e = reply.size();
    while (b < e && isBlank(reply[b]))
        ++b;
    while (e > b && isBlank(reply[e - 1]))
        --e;
    const char* point = std::localeconv()->decimal_point;
    const char localePoint = point && point[0] && !point[1] ? point[0] : '.';
    std::string text;
    for (std::size_t i = b; i < e; ++i) {
        const char16_t c = reply[i];
        if (c > 0x7F) return std::nullopt;
        text.push_back(c == localePoint ? '.' : static_cast<char>(c));
    }
    // from_chars reads a minus sign only.
    std::string_view number = text;
    if (number.starts_with('+') && !number.starts_with("+-")) number.remove_prefix(1);
    const char* end = number.data() + number.size();
    double x = 0;
    const auto [stop, error] = std::from_chars(number.data(), end, x);
    if (stop != end) return std::nullopt;
    // Too close to zero is page 0, which the caller refuses aloud; too large is no number.
    if (error == std::errc::result_out_of_range)
        return magnitude(number) < 0 ? std::optional<double>(0.0) : std::nullopt;
    if (error != std::errc() || !std::isfinite(x)) return std::nullopt;
    return x;
}

} // namespace

void Form1::PageNum(int Index) {
    double n = CurPage;
    if (Index == 0) {
        if (n == 0) return;
        n -= 1;
    } else if (Index == 1) {
        if (n == LastPage) return;
        n += 1;
    } else {
        const std::u16string reply = platform.inputBox(u"请输入页号：", u"选择某一页", u"");
        const std::optional<double> x = parseNumber(reply);
        if (!x) return;
        n = *x - 1;
        if (n < 0 || n > LastPage) {
            MsgBox(u"无效页号!");
            return;
        }
        n = std::nearbyint(n); // a half goes to the even neighbour
    }
    CurPage = static_cast<std::int32_t>(n);
    PageStart = kPageSize * CurPage;
    VscrollBar.setValue(CurPage);
    ShowPage();
    Renovate();
}

void Form1::VscrollBar_Change() {
    CurPage = VscrollBar.value();
    PageStart = kPageSize * CurPage;
    ShowPage();
    Renovate();
}

void Form1::VscrollBar_Scroll() {
    VscrollBar_Change();
}

void Form1::Fcount() {
    const std::int32_t len = LastOffset;
    LastPage = len / kPageSize;
    TailCount = len % kPageSize;
    if (TailCount == 0) LastPage -= 1;
    LastOffset = len - 1;
    VscrollBar.setMax(LastPage);
    if (LengthChanged) {
        if (CurPage > LastPage) CurPage = LastPage;
        PageStart = kPageSize * CurPage;
        VscrollBar.setValue(CurPage);
        LengthChanged = kFalse;
        Dirty = kTrue;
        Renovate();
        ShowPage();
    }
}

} // namespace quillory
