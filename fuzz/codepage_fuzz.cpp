// Code page 936 both ways on arbitrary text and bytes. The input is read twice: as
// UTF-16LE text (unpaired surrogates included) to convert to GBK, and as GBK bytes to
// convert to text.

#include <string>
#include <vector>

#include "FuzzInput.h"
#include "platform/CodePage936.h"

namespace {

bool isSurrogate(char16_t c) {
    return c >= 0xD800 && c <= 0xDFFF;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quillory;
    using fuzz::check;
    const CodePage936& cp = CodePage936::instance();

    std::u16string text;
    for (std::size_t i = 0; i + 1 < size; i += 2)
        text.push_back(static_cast<char16_t>(data[i] | data[i + 1] << 8));

    // Text to bytes: one character at a time, each as code() has it.
    const Bytes gbk = cp.toGbk(text);
    Bytes oneByOne;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (isSurrogate(text[i])) {
            if (text[i] <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
                text[i + 1] <= 0xDFFF)
                ++i;
            oneByOne.push_back('?');
            continue;
        }
        const std::uint16_t code = cp.code(text[i]);
        if (code > 0xFF) oneByOne.push_back(static_cast<std::uint8_t>(code >> 8));
        oneByOne.push_back(static_cast<std::uint8_t>(code));
    }
    check(gbk == oneByOne, "toGbk is code() character by character");

    // What the prompt keeps of a reply gives the same bytes again, so the reply that
    // the next prompt opens with finds the same data.
    const std::u16string kept = cp.fromGbk(gbk);
    check(kept.size() <= gbk.size(), "no more characters than bytes");
    check(cp.toGbk(kept) == gbk, "the kept text gives the same bytes");

    // Bytes to text: text that needed no replacement character turns back into the
    // same bytes.
    const std::u16string shown = cp.fromGbk(data, size);
    check(shown.size() <= size, "no more characters than bytes");
    check(size == 0 || !shown.empty(), "bytes give text");
    bool replaced = false;
    for (char16_t c : shown) {
        check(!isSurrogate(c), "GBK decodes inside the BMP");
        replaced |= c == 0xFFFD;
    }
    if (!replaced) check(cp.toGbk(shown) == Bytes(data, data + size), "bytes come back");
    return 0;
}
