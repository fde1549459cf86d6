#include "core/Form1.h"

#include "core/Format.h"
#include "platform/CodePage936.h"

namespace quillory {
namespace {

int hexValue(char16_t c) {
    return c <= u'9' ? c - u'0' : c - u'A' + 10;
}

bool onlySpaces(const std::u16string& text) {
    return text.find_first_not_of(u' ') == std::u16string::npos;
}

// One round of the prompt dialog: it opens on the last reply, which becomes the new one.
void ask(Form1& f, const std::u16string& label) {
    f.Dialog2.Label1 = label;
    f.Dialog2.Text1 = f.InputText;
    f.platform.showForm2(f.Dialog2);
    f.InputText = f.Dialog2.St51;
}

} // namespace

std::int32_t Form1::Numeric(std::int32_t cType, std::int32_t iLen) {
    std::u16string limit;
    if (iLen >= 0 && cType < kInsertReply)
        limit = u"(不超过 " + decText(std::int64_t{iLen} + 1) + u"个数字)";
    switch (cType) {
    case kReplacementReply:
        Dialog2.Caption = u"输入用于替换的数字(串)";
        break;
    case kFindReply:
        Dialog2.Caption = u"Lookup";
        break;
    case kReplaceReply:
        Dialog2.Caption = u"Swap";
        break;
    case kInsertReply:
        Dialog2.Caption = u"插入";
        break;
    default:
        break; // the caller has set the caption
    }
    const CodePage936& cp = platform.codePage();

    for (;;) {
        ask(*this, u"请输入16进制数字" + limit + u"\r\n每个数字为2位,数字之间可用空格隔开");

        // Spaces alone give no byte at all: the same as no reply.
        if (onlySpaces(InputText)) {
            MsgBox(u"无效数字");
            return kNone;
        }

        std::u16string digits;
        bool illegal = false;
        for (char16_t c : InputText) {
            // Double-byte characters have codes above 0xFF (negative in 16 bits).
            const std::uint16_t code = cp.code(c);
            if (code < 32 || code > 0xFF) {
                illegal = true;
                break;
            }
            const char16_t upper = (c >= u'a' && c <= u'z') ? c - 32 : c;
            const bool digit = (upper >= u'0' && upper <= u'9') || (upper >= u'A' && upper <= u'F');
            if (!digit && upper != u' ') {
                illegal = true;
                break;
            }
            if (digit) digits.push_back(upper);
        }
        if (illegal) {
            MsgBox(u"出现非法数字，请更改");
            continue;
        }
        if (digits.size() % 2 != 0) {
            MsgBox(u"数字位错误(每个数字为2位),请更改");
            continue;
        }
        const std::int64_t m = static_cast<std::int64_t>(digits.size() / 2) - 1;
        if (cType < kInsertReply && ((iLen >= 0 && m > iLen) || m > std::int64_t{LastOffset} - 1)) {
            MsgBox(u"数字长度超界，请更改");
            continue;
        }

        InputBytes.resize(static_cast<std::size_t>(m + 1));
        for (std::size_t k = 0; k < InputBytes.size(); ++k)
            InputBytes[k] = static_cast<std::uint8_t>(hexValue(digits[2 * k]) << 4 |
                                                      hexValue(digits[2 * k + 1]));
        (cType == kFindReply ? FindText : SwapText) = InputText;
        return static_cast<std::int32_t>(m);
    }
}

std::int32_t Form1::Character(std::int32_t cType, std::int32_t iType, std::int32_t iLen) {
    const bool ansi = iType == kAnsiText;
    const std::u16string kind = ansi ? u"Ansi Character" : u"Unicode Character";
    std::u16string limit;
    if (cType == kReplaceReply && iLen >= 0)
        limit = u"(不超过 " + decText(std::int64_t{iLen} + 1) + u" 字节)";
    switch (cType) {
    case kFindReply:
        Dialog2.Caption = u"Lookup " + kind;
        break;
    case kReplaceReply:
        Dialog2.Caption = u"Swap " + kind;
        break;
    case kInsertReply:
        Dialog2.Caption = u"插入 " + kind;
        break;
    default:
        Dialog2.Caption = kind;
        break;
    }
    const CodePage936& cp = platform.codePage();

    for (;;) {
        ask(*this, u"请输入字符" + limit + u"\r\n英文字母区分大小写");

        if (InputText.empty()) {
            MsgBox(u"无效字符");
            return kNone;
        }

        Bytes bytes;
        if (ansi) {
            bytes = cp.toGbk(InputText);
            // What the user sees next is what the code page kept.
            InputText = cp.fromGbk(bytes);
        } else {
            bytes.reserve(InputText.size() * 2);
            for (char16_t unit : InputText) {
                bytes.push_back(static_cast<std::uint8_t>(unit & 0xFF));
                bytes.push_back(static_cast<std::uint8_t>(unit >> 8));
            }
        }
        const std::int64_t n = static_cast<std::int64_t>(bytes.size());
        if (cType == kReplaceReply &&
            ((iLen >= 0 && n - 1 > iLen) || n - 1 > std::int64_t{LastOffset} - 1)) {
            MsgBox(u"字符长度超界，请更改");
            continue;
        }

        InputBytes = std::move(bytes);
        (cType == kFindReply ? FindText : SwapText) = InputText;
        return static_cast<std::int32_t>(n - 1);
    }
}

} // namespace quillory
