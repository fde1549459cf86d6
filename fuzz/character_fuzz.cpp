// The character prompt under arbitrary replies (Chinese characters, unpaired
// surrogates, characters the code page lacks), limits and document lengths: each case
// runs Form1::Character on the scripted platform and checks what it accepted, refused
// and said against the rules of the prompt.
//
// Input: operation kind (1 byte, mod 5), ANSI or Unicode (1 byte, odd for ANSI), limit
// (signed 16 bits), document length less one (3 bytes), the text the prompt opens
// with, then the replies (see FuzzInput::reply). After the last reply the prompt is
// cancelled.

#include <optional>
#include <vector>

#include "FuzzInput.h"
#include "core/Format.h"
#include "platform/CodePage936.h"
#include "support/Editor.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quillory;
    using fuzz::check;
    static testing::Editor* editor = new testing::Editor;
    Form1& f = editor->form;
    testing::FakePlatform& fake = editor->fake;
    const CodePage936& cp = CodePage936::instance();

    fuzz::FuzzInput in(data, size);
    const std::int32_t cType = in.byte() % 5;
    const bool ansi = in.byte() & 1;
    const std::int32_t iType = ansi ? 2 : 3;
    const std::int32_t iLen = static_cast<std::int16_t>(in.word());
    const std::int32_t lastOffset = in.byte() | in.byte() << 8 | in.byte() << 16;
    const std::u16string opening = in.reply();
    std::vector<std::u16string> replies;
    while (!in.atEnd())
        replies.push_back(in.reply());

    fuzz::resetFake(fake);
    for (const std::u16string& r : replies)
        fake.prompts.push_back(r);
    fake.prompts.push_back(std::nullopt);
    replies.push_back(u"");
    const std::int32_t savedLastOffset = f.LastOffset;
    f.LastOffset = lastOffset;
    f.InputText = opening;
    f.InputBytes = {0xEE};
    f.FindText = u"find before";
    f.SwapText = u"swap before";

    const std::int32_t result = f.Character(cType, iType, iLen);
    f.LastOffset = savedLastOffset;

    // The same rules, read plainly.
    std::vector<std::u16string> messages;
    std::vector<std::u16string> opened{opening};
    std::int32_t want = kNone;
    Bytes wantBytes;
    std::u16string kept; // the reply as the prompt keeps it
    std::size_t taken = 0;
    for (const std::u16string& reply : replies) {
        ++taken;
        if (reply.empty()) {
            messages.push_back(u"无效字符");
            kept = reply;
            break;
        }
        Bytes bytes;
        if (ansi) {
            bytes = cp.toGbk(reply);
            kept = cp.fromGbk(bytes);
        } else {
            for (char16_t unit : reply) {
                bytes.push_back(static_cast<std::uint8_t>(unit & 0xFF));
                bytes.push_back(static_cast<std::uint8_t>(unit >> 8));
            }
            kept = reply;
        }
        const std::int64_t n = static_cast<std::int64_t>(bytes.size());
        check(n >= 1, "a reply gives bytes");
        check(n <= 2 * static_cast<std::int64_t>(reply.size()), "at most two bytes a unit");
        if (cType == 2 && ((iLen >= 0 && n - 1 > iLen) || n - 1 > std::int64_t{lastOffset} - 1)) {
            messages.push_back(u"字符长度超界，请更改");
            opened.push_back(kept);
            continue;
        }
        want = static_cast<std::int32_t>(n - 1);
        wantBytes = bytes;
        break;
    }

    check(result == want, "result");
    check(fake.messageTexts() == messages, "messages");
    check(fake.promptsShown.size() == taken, "number of prompts");
    for (std::size_t k = 0; k < taken; ++k)
        check(fake.promptsShown[k].text == opened[k], "prompt text");
    check(f.InputText == kept, "InputText");
    const std::u16string kind = ansi ? u"Ansi Character" : u"Unicode Character";
    const std::u16string captions[] = {kind, u"Lookup " + kind, u"Swap " + kind, u"插入 " + kind,
                                       kind};
    check(f.Dialog2.Caption == captions[cType], "caption");
    const std::u16string limit =
        cType == 2 && iLen >= 0 ? u"(不超过 " + decText(std::int64_t{iLen} + 1) + u" 字节)" : u"";
    for (const auto& shown : fake.promptsShown)
        check(shown.label == u"请输入字符" + limit + u"\r\n英文字母区分大小写", "prompt label");
    if (result == kNone) {
        check(f.InputBytes == Bytes{0xEE}, "InputBytes kept after no reply");
        check(f.FindText == u"find before" && f.SwapText == u"swap before", "texts kept");
    } else {
        check(f.InputBytes == wantBytes, "InputBytes");
        check(f.FindText == (cType == 1 ? kept : u"find before"), "FindText");
        check(f.SwapText == (cType != 1 ? kept : u"swap before"), "SwapText");
    }
    return 0;
}
