// The hex-digit prompt under arbitrary replies, limits and document lengths: each case
// runs Form1::Numeric on the scripted platform and compares what it accepted, refused
// and said with a plain reading of the same rules.
//
// Input: operation kind (1 byte, taken mod 5), limit (signed 16 bits), document length
// less one (3 bytes), the text the prompt opens with, then the replies one after the
// other (see FuzzInput::reply). After the last reply the prompt is cancelled.

#include <optional>
#include <vector>

#include "FuzzInput.h"
#include "core/Format.h"
#include "support/Editor.h"

namespace quillory::fuzz {
namespace {

struct Outcome {
    std::vector<std::u16string> messages;
    std::int32_t result = kNone;
    Bytes bytes;
    std::size_t repliesTaken = 0;
};

bool isHexDigit(char16_t c) {
    return (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'F') || (c >= u'a' && c <= u'f');
}

int digitValue(char16_t c) {
    if (c <= u'9') return c - u'0';
    return (c | 0x20) - u'a' + 10;
}

Outcome expected(std::int32_t cType, std::int32_t iLen, std::int32_t lastOffset,
                 const std::vector<std::u16string>& replies) {
    Outcome out;
    for (const std::u16string& reply : replies) {
        ++out.repliesTaken;
        std::u16string digits;
        bool illegal = false;
        for (char16_t c : reply) {
            if (c == u' ') continue;
            if (!isHexDigit(c)) {
                illegal = true;
                break;
            }
            digits.push_back(c);
        }
        if (!illegal && digits.empty()) {
            out.messages.push_back(u"无效数字");
            return out;
        }
        if (illegal) {
            out.messages.push_back(u"出现非法数字，请更改");
            continue;
        }
        if (digits.size() % 2 != 0) {
            out.messages.push_back(u"数字位错误(每个数字为2位),请更改");
            continue;
        }
        const std::int64_t m = static_cast<std::int64_t>(digits.size() / 2) - 1;
        if (cType < 3 && ((iLen >= 0 && m > iLen) || m > std::int64_t{lastOffset} - 1)) {
            out.messages.push_back(u"数字长度超界，请更改");
            continue;
        }
        for (std::size_t k = 0; k < digits.size(); k += 2)
            out.bytes.push_back(
                static_cast<std::uint8_t>(digitValue(digits[k]) * 16 + digitValue(digits[k + 1])));
        out.result = static_cast<std::int32_t>(m);
        return out;
    }
    return out; // not reached: the replies end with a cancel
}

} // namespace
} // namespace quillory::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quillory;
    using fuzz::check;
    // One editor for the whole run: starting one builds and draws a page. What Numeric
    // reads and writes is set anew for every case.
    static testing::Editor* editor = new testing::Editor;
    Form1& f = editor->form;
    testing::FakePlatform& fake = editor->fake;

    fuzz::FuzzInput in(data, size);
    const std::int32_t cType = in.byte() % 5;
    const std::int32_t iLen = static_cast<std::int16_t>(in.word());
    const std::int32_t lastOffset = in.byte() | in.byte() << 8 | in.byte() << 16;
    const std::u16string opening = in.reply();
    std::vector<std::u16string> replies;
    while (!in.atEnd())
        replies.push_back(in.reply());
    replies.push_back(u""); // the cancel

    fuzz::resetFake(fake);
    for (std::size_t k = 0; k + 1 < replies.size(); ++k)
        fake.prompts.push_back(replies[k]);
    fake.prompts.push_back(std::nullopt);
    const std::int32_t savedLastOffset = f.LastOffset;
    f.LastOffset = lastOffset;
    f.InputText = opening;
    f.InputBytes = {0xEE};
    f.FindText = u"find before";
    f.SwapText = u"swap before";
    f.Dialog2.Caption = u"caption before";

    const std::int32_t result = f.Numeric(cType, iLen);
    f.LastOffset = savedLastOffset;

    const fuzz::Outcome want = fuzz::expected(cType, iLen, lastOffset, replies);
    check(result == want.result, "result");
    check(fake.messageTexts() == want.messages, "messages");
    check(fake.promptsShown.size() == want.repliesTaken, "number of prompts");
    check(fake.prompts.size() == replies.size() - want.repliesTaken, "replies left");
    const std::u16string last = replies[want.repliesTaken - 1];
    check(f.InputText == last, "InputText holds the last reply");
    // Each prompt opens with the reply before it.
    for (std::size_t k = 0; k < fake.promptsShown.size(); ++k)
        check(fake.promptsShown[k].text == (k == 0 ? opening : replies[k - 1]), "prompt text");
    const std::u16string limit =
        iLen >= 0 && cType < 3 ? u"(不超过 " + decText(std::int64_t{iLen} + 1) + u"个数字)" : u"";
    for (const auto& shown : fake.promptsShown)
        check(shown.label ==
                  u"请输入16进制数字" + limit + u"\r\n每个数字为2位,数字之间可用空格隔开",
              "prompt label");
    static const std::u16string captions[] = {u"输入用于替换的数字(串)", u"Lookup", u"Swap",
                                              u"插入", u"caption before"};
    check(f.Dialog2.Caption == captions[cType], "caption");
    if (result == kNone) {
        check(f.InputBytes == Bytes{0xEE}, "InputBytes kept after no reply");
        check(f.FindText == u"find before" && f.SwapText == u"swap before", "texts kept");
    } else {
        check(f.InputBytes == want.bytes, "InputBytes");
        check(f.FindText == (cType == 1 ? last : u"find before"), "FindText");
        check(f.SwapText == (cType != 1 ? last : u"swap before"), "SwapText");
    }
    return 0;
}
