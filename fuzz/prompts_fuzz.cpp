// The hex-digit and character prompts on any replies, limits and document lengths: the
// prompt ends with no reply or with exactly the bytes its result counts, within the limit
// its label states; each refusal is a message and a new prompt opening on the refused
// text. Which bytes a reply gives is the random tester's to check. Input: prompt kind (0
// or 3 hex digits, 1 ANSI, 2 Unicode), operation kind (mod 5), limit (16 bits, signed),
// document length less one (16 bits), the text the prompt opens with, the replies
// (FuzzInput::reply), a cancel.

#include <vector>

#include "FuzzInput.h"
#include "core/Format.h"
#include "platform/CodePage936.h"
#include "support/Editor.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quillory;
    using fuzz::check;
    static auto* editor = new testing::Editor; // one for the run: starting draws a page
    auto& [fake, f] = *editor;
    const CodePage936& cp = CodePage936::instance();

    fuzz::FuzzInput in{data, size};
    const int kind = in.byte() % 4 % 3;
    const std::int32_t cType = in.byte() % 5, iLen = static_cast<std::int16_t>(in.word());
    f.LastOffset = in.word();
    const std::u16string opening = f.InputText = in.reply();
    std::vector<std::u16string> replies;
    while (!in.atEnd())
        replies.push_back(in.reply());
    fake.reset();
    fake.prompts.assign(replies.begin(), replies.end());
    f.InputBytes = {0xEE};
    f.FindText = f.SwapText = u"before";
    const std::int32_t result = kind ? f.Character(cType, kind + 1, iLen) : f.Numeric(cType, iLen);

    const auto& shown = fake.promptsShown;
    const auto messages = fake.messageTexts();
    check(!shown.empty() && shown[0].text == opening, "the prompt opens on the last reply");
    check(messages.size() == shown.size() - (result == kNone ? 0 : 1), "a message a refusal");
    auto kept = [&](const std::u16string& r) { return kind == 1 ? cp.fromGbk(cp.toGbk(r)) : r; };
    for (std::size_t k = 0; k + 1 < shown.size(); ++k)
        check(messages[k].ends_with(u"请更改") && shown[k + 1].text == kept(replies[k]),
              "a refusal asks for a change and offers the refused reply again");
    const bool limited = kind ? cType == 2 : cType < 3; // by the selection and the document
    const std::u16string limit = iLen < 0 ? u"不超过" : u"(不超过 " + decText(iLen + 1);
    for (const auto& s : shown)
        check((s.label.find(limit) != std::u16string::npos) == (limited && iLen >= 0),
              "the label states the limit");

    const std::u16string reply = shown.size() <= replies.size() ? replies[shown.size() - 1] : u"";
    if (result == kNone) {
        check(reply.find_first_not_of(kind ? u"" : u" ") == std::u16string::npos &&
                  f.InputBytes == Bytes{0xEE} && f.FindText + f.SwapText == u"beforebefore",
              "only a blank reply ends the prompt, and changes nothing");
        return 0;
    }
    check(result >= 0 && f.InputBytes.size() == std::size_t(result) + 1, "the result counts");
    check(!limited || ((iLen < 0 || result <= iLen) && result < f.LastOffset), "limits hold");
    check(f.InputText == kept(reply), "the reply is kept as the code page has it");
    check((cType == 1 ? f.FindText : f.SwapText) == f.InputText, "the reply is recorded");
    check((cType == 1 ? f.SwapText : f.FindText) == u"before", "the other record stays");
    return 0;
}
