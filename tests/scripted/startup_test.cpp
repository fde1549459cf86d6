// Start-up, and the code page it needs.

#include <gtest/gtest.h>

#include <algorithm>

#include "platform/CodePage936.h"
#include "support/Editor.h"

namespace quillory::testing {
namespace {

// Start-up needs the code page, and takes the large layouts on screens wider than 900 pixels.
TEST(StartUp, ScreenPicksTheLayout) {
    for (const int pixels : {0, 900, 901}) {
        FakePlatform fake;
        fake.codePageMissing = pixels == 0;
        fake.screenTwips = pixels * kTwipsPerPixel;
        Form1 form(fake);
        EXPECT_EQ(form.Form_Load(), pixels != 0);
        EXPECT_EQ(form.LargeScreen, pixels > 900 ? kTrue : kFalse);
        EXPECT_EQ(form.Dialog2.Large, pixels > 900); // the prompt's layout too
        EXPECT_EQ(fake.messages.size(), pixels == 0 ? 1u : 0u);
        EXPECT_TRUE(pixels || fake.messages.at(0).text ==
                                  u"缺少 GBK（代码页 936）字符转换，Quillory 无法启动。");
    }
}

// Every byte, pair and UTF-16 unit, each alone at the end of its buffer: a pair is one
// character and gives its two bytes back, as does a byte the code page reads alone; a
// unit becomes at most two bytes, which the text kept of them gives again. A pair the code
// page cannot read shows as one replacement character.
TEST(StartUp, CodePageRoundTrips) {
    const CodePage936& cp = CodePage936::instance();
    for (int code = 0; code < 0x10000; ++code) {
        const Bytes pair{std::uint8_t(code >> 8), std::uint8_t(code)}, byte{std::uint8_t(code)};
        if (code >= 0x8000 && cp.isPair(pair[0], pair[1])) {
            ASSERT_EQ(cp.fromGbk(pair), cp.pairChar(pair[0], pair[1])) << code;
            ASSERT_EQ(cp.pairChar(pair[0], pair[1]).size(), 1u) << code;
            ASSERT_EQ(cp.toGbk(cp.fromGbk(pair)), pair) << code;
        }
        const std::u16string alone = cp.fromGbk(byte);
        ASSERT_TRUE(code >= 256 || alone == u"\uFFFD" || cp.toGbk(alone) == byte) << code;
        const Bytes bytes = cp.toGbk(std::u16string(1, char16_t(code)));
        ASSERT_LE(bytes.size(), 2u);
        ASSERT_EQ(cp.toGbk(cp.fromGbk(bytes)), bytes) << code;
    }
    EXPECT_EQ(cp.pairChar(0xFF, 0xFF), u"\uFFFD");
}

} // namespace
} // namespace quillory::testing
