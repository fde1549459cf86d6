#include "core/Form1.h"

#include <cctype>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <optional>

namespace quillory {
namespace {

bool isBlank(char16_t c) { return c == u' ' || c == u'\t' || c == u'\u3000'; }

// A decimal number with surrounding blanks, in the plain "." form or with the
// locale's decimal separator; nothing else.
std::optional<double> parseNumber(const std::u16string& reply) {
    std::size_t b = 0, e = reply.size();
    while (b < e && isBlank(reply[b])) ++b;
    while (e > b && isBlank(reply[e - 1])) --e;
    const char* point = std::localeconv()->decimal_point;
    const char localePoint = point && point[0] && !point[1] ? point[0] : '.';
    std::string text;
    for (std::size_t i = b; i < e; ++i) {
        const char16_t c = reply[i];
        if (c > 0x7F) return std::nullopt;
        // strtod reads the locale's separator, so hand it that one.
        text.push_back(c == u'.' || c == localePoint ? localePoint : static_cast<char>(c));
    }
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    std::size_t digits = 0;
    while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) ++i, ++digits;
    if (i < text.size() && text[i] == localePoint) {
        ++i;
        while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) ++i, ++digits;
    }
    if (digits == 0) return std::nullopt;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
        std::size_t expDigits = 0;
        while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) ++i, ++expDigits;
        if (expDigits == 0) return std::nullopt;
    }
    if (i != text.size()) return std::nullopt;
    const double x = std::strtod(text.c_str(), nullptr);
    if (!std::isfinite(x)) return std::nullopt;
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

void Form1::VscrollBar_Scroll() { VscrollBar_Change(); }

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

void Form1::loadDocument(Bytes bytes) {
    LastOffset = static_cast<std::int32_t>(bytes.size());
    FileBytes = std::move(bytes);
    Fcount();
    CurPage = 0;
    PageStart = 0;
    VscrollBar.setValue(0);
    ShowPage();
}

} // namespace quillory
