#include "core/Form1.h"

namespace quillory {
namespace {

// Five bits of the character; a character whose low bits are all zero ("@", "`")
// still has to change something, so it takes all five.
std::uint8_t keyMask(char16_t c) {
    const std::uint8_t k = static_cast<std::uint8_t>(c & 0x1F);
    return k == 0 ? 0x1F : k;
}

// One pass of the combined mask over the whole document. The plain byte loop is what
// the compiler vectorises best; x86-64 machines with AVX2 get a second build of it
// that takes 32 bytes per step.
#if defined(__x86_64__) && defined(__GNUC__)
__attribute__((target_clones("avx2", "default")))
#endif
void xorAll(Bytes& bytes, std::uint8_t k) {
    if (k == 0) return;
    std::uint8_t* p = bytes.data();
    const std::size_t size = bytes.size();
    for (std::size_t i = 0; i < size; ++i)
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
