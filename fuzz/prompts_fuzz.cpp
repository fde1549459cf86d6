// The hex-digit and character prompts on any replies, limits and document lengths: the
// prompt ends with no reply or with exactly the bytes its result counts, within the limit
// its label states; each refusal is a message and a new prompt opening on the refused
// text. Which bytes a reply gives is the random tester's to check. Input: prompt kind (0
// or 3 hex digits, 1 ANSI, 2 Unicode), operation kind (mod 5), limit (16 bits, signed),
// document length less one (16 bits), the text the prompt opens with, the replies
// (FuzzInput::reply), a cancel.

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "core/Format.h"
#include "platform/CodePage936.h"
#include "support/Editor.h"

namespace {

// The input as a stream of fields, each zero past its end: any input is a whole case.
struct FuzzInput {
    const std::uint8_t* data;
    std::size_t size, pos = 0;

    bool atEnd() const { return pos >= size; }
    std::uint8_t byte() { return atEnd() ? 0 : data[pos++]; }
    std::uint16_t word() {
        const std::uint16_t low = byte(); // the low byte comes first
        return static_cast<std::uint16_t>(low | byte() << 8);
    }
    // A reply typed into a prompt, up to the byte 0xFE or the end: 0xFF and the next two
    // bytes give any UTF-16 unit (surrogates too), 0x80..0xFD and the next byte a unit from
    // U+4E00 on, where the Chinese characters are, and any other byte its own character.
    std::u16string reply() {
        std::u16string text;
        for (std::uint8_t b; !atEnd() && (b = byte()) != 0xFE;)
            text.push_back(b == 0xFF  ? static_cast<char16_t>(word())
                           : b < 0x80 ? static_cast<char16_t>(b)
                                      : static_cast<char16_t>(0x4E00 + ((b & 0x7F) << 8 | byte())));
        return text;
    }
};

// A broken rule is a crash to libFuzzer, which then keeps the input that caused it.
void check(bool ok, const char* rule) {
    if (ok) return;
    std::fprintf(stderr, "fuzz check failed: %s\n", rule);
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quillory;
    static auto* editor = new testing::Editor; // one for the run: starting draws a page
    auto& [fake, f] = *editor;
    const CodePage936& cp = CodePage936::instance();

    FuzzInput in{data, size};
    const int kind = in.byte() % 4 % 3;
    const std::int32_t cType = in.byte() % 5, iLen = static_cast<std::int16_t>(in.word());
    f.LastOffset = in.word();
    const std::u16string opening = f.InputText = in.reply();
    std::vector<std::u16string> replies;
    while (!in.atEnd())
        replies.push_back(in.reply());
    fake.clearRecords();
    fake.prompts.assign(replies.begin(), replies.end());
    f.InputBytes = {0xEE};
    f.FindText = f.SwapText = u"before";
    const std::int32_t result = kind ? f.Character(cType, kind + 1, iLen) : f.Numeric(cType, iLen);

    const auto& shown = fake.promptsShown;
    const auto& messages = fake.messages;
    check(!shown.empty() && shown[0].text == opening, "the prompt opens on the last reply");
    check(messages.size() == shown.size() - (result == kNone ? 0 : 1), "a message a refusal");
    auto kept = [&](const std::u16string& r) { return kind == 1 ? cp.fromGbk(cp.toGbk(r)) : r; };
    for (std::size_t k = 0; k + 1 < shown.size(); ++k)
        check(messages[k].text.ends_with(u"请更改") && shown[k + 1].text == kept(replies[k]),
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
