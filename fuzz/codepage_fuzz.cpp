// Code page 936 both ways on arbitrary input, read as UTF-16LE text (unpaired surrogates
// included) and as GBK bytes.

#include <algorithm>

#include "FuzzInput.h"
#include "platform/CodePage936.h"
#include "platform/Utf16.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quillory;
    using fuzz::check;
    const CodePage936& cp = CodePage936::instance();
    std::u16string text;
    for (std::size_t i = 0; i + 1 < size; i += 2)
        text.push_back(static_cast<char16_t>(data[i] | data[i + 1] << 8));
    // The text a prompt keeps of a reply gives the reply's bytes again.
    const Bytes gbk = cp.toGbk(text);
    check(gbk.size() <= 2 * text.size(), "at most two bytes a unit");
    check(cp.toGbk(cp.fromGbk(gbk)) == gbk, "the kept text gives the same bytes");

    // Bytes come back from text without replacement characters, and a pair shown as one
    // character is those two bytes.
    const std::u16string shown = cp.fromGbk(data, size);
    check(shown.size() <= size && (size == 0 || !shown.empty()), "one or two bytes a character");
    check(std::none_of(shown.begin(), shown.end(), isSurrogate), "GBK decodes inside the BMP");
    if (shown.find(u'\uFFFD') == std::u16string::npos)
        check(cp.toGbk(shown) == Bytes(data, data + size), "bytes come back");
    if (size >= 2 && cp.isPair(data[0], data[1]))
        check(cp.toGbk(cp.pairChar(data[0], data[1])) == Bytes(data, data + 2), "pairs come back");
    return 0;
}
