#include "core/Form1.h"

#include <cstring>

namespace quillory {
namespace {

// Five bits of the character; a character whose low bits are all zero ("@", "`")
// still has to change something, so it takes all five.
std::uint8_t keyMask(char16_t c) {
    const std::uint8_t k = static_cast<std::uint8_t>(c & 0x1F);
    return k == 0 ? 0x1F : k;
}

// One pass of the combined mask over the whole document, eight bytes at a time.
void xorAll(Bytes& bytes, std::uint8_t k) {
    if (k == 0) return;
    std::uint8_t* p = bytes.data();
    const std::size_t size = bytes.size();
    const std::uint64_t wide = 0x0101010101010101ULL * k;
    std::size_t i = 0;
    for (; i + 8 <= size; i += 8) {
        std::uint64_t w;
        std::memcpy(&w, p + i, 8);
        w ^= wide;
        std::memcpy(p + i, &w, 8);
    }
    for (; i < size; ++i)
        p[i] ^= k;
}

} // namespace

void Form1::Encrypt() {
    if (LastOffset == 0) {
        MsgBox(u"没有文件！");
        return;
    }
    const std::u16string key =
        platform.inputBox(u"请输入密钥（≤10个可见的Ascii字符）：", u"加解密", u"");

    // XOR is associative: the masks of the characters combine into one, and the
    // document is passed over once instead of once per character.
    std::uint8_t combined = 0;
    for (char16_t c : key) {
        if (c < u'!' || c > u'~') {
            // The characters before the bad one are applied, so running the same key
            // again stops at the same place and restores the document.
            xorAll(FileBytes, combined);
            // The grids must not go on showing bytes the document no longer holds.
            ShowPage();
            MsgBox(u"密鈅无效！");
            return;
        }
        combined ^= keyMask(c);
    }
    xorAll(FileBytes, combined);
    ShowPage();
    MsgBox(u"完成");
}

} // namespace quillory
