// Start-up, help and the character code tool.

#include <gtest/gtest.h>

#include <algorithm>

#include "support/Editor.h"

namespace quillory::testing {
namespace {

TEST(Window, StartUpNeedsTheCodePage) {
    FakePlatform fake;
    fake.codePageMissing = true;
    Form1 form(fake);
    EXPECT_FALSE(form.Form_Load());
    EXPECT_EQ(fake.messageTexts(),
              std::vector<std::u16string>{u"缺少 GBK（代码页 936）字符转换，Quillory 无法启动。"});
}

// Help shows the embedded text whole: eighteen lines ending in CR LF, first to last, and
// nothing the code page could not read.
TEST(Window, HelpShowsTheEmbeddedText) {
    Editor e;
    e.form.Fhelp();
    const std::u16string text = e.fake.messages.at(0).text;
    EXPECT_EQ(text.find(u'\uFFFD'), std::u16string::npos);
    EXPECT_EQ(std::count(text.begin(), text.end(), u'\n'), 18);
    EXPECT_EQ(std::count(text.begin(), text.end(), u'\r'), 18);
    EXPECT_TRUE(text.starts_with(u"1.查找、替换与插入"));
    EXPECT_TRUE(text.ends_with(u"\r\nE.加解密：密码≤10个 Ascii 字符，可加密任何类型文件\r\n"));
}

// A right or middle click in the hex grid shows and copies the GBK codes of typed
// characters, "?" for one the code page lacks, also outside the BMP; the selection stays.
TEST(Window, CharacterCodeTool) {
    const std::tuple<int, std::u16string, std::u16string> rows[] = {
        {kMiddleButton, u"A\u3000", u"41 A1A1"},
        {kRightButton, u"\u0E01\U0001F600x", u"3F 3F 78"},
        {kLeftButton, u"A", u""},
        {0, u"A", u""},
        {kRightButton, u"", u""}};
    for (const auto& [button, reply, codes] : rows) {
        Editor e;
        e.form.NumberBox.userClick(33);
        e.fake.inputs = {reply};
        e.form.NumberBox.userMouseDown(button, 0, 0, 0);
        EXPECT_EQ(e.fake.clipboard.value_or(u""), codes);
        std::vector<std::u16string> shown{u"“" + reply + u"”的16进制Ascii码是：\r\n" + codes};
        EXPECT_EQ(e.fake.messageTexts(), codes.empty() ? std::vector<std::u16string>() : shown);
        EXPECT_TRUE(e.form.SelStart == 17 && e.form.NumberBox.selected(33));
    }
}

} // namespace
} // namespace quillory::testing
