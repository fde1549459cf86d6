// The help text: the embedded GBK resource and what Help shows.

#include <gtest/gtest.h>

#include "platform/CodePage936.h"
#include "resources/Resources.h"
#include "support/Editor.h"

namespace quillory::testing {
namespace {

const char16_t* const kLines[] = {
    u"1.查找、替换与插入都有三种方式：16进制数字、 Ansi字符、Unicode字符，",
    u"　Ansi与Unicode字符的转换由程序自动进行，用户只需照常操作",
    u"2.单击某数据，仅对该数据进行替换、剪切或复制操作，或对该数据查找下一",
    u"　个及查找出现次数",
    u"3.双击某数据，作为替换、剪切或复制的起点，终点是文件尾",
    u"4.分别双击某数据串首尾，作为替换、剪切或复制的起终点",
    u"5.查找到数据后,该数据的首尾可作为替换、剪切或复制的起终点",
    u"6.在“替换下一个”及“替换全部选定数据”之前要先“替换”一次，在“删",
    u"　除下一个”及“删除全部选定数据”之前要先“剪切”一次",
    u"7.块替换、剪切和复制均为16进制数字形式",
    u"8.插入数据只需确定起点，起点可以是文件尾后一位",
    u"9.剪切或插入数据后，紧跟着可撤消一次",
    u"A.新建的最大字节为 512字节，以后可用插入方式来扩大。剪切、复制或插入",
    u"　的最大长度为65535字节。本软件可处理的文件长度为4M字节",
    u"B.在数字框鼠标右击可查获汉字16进制编码，该编码同时送入剪贴板",
    u"C.在字符框鼠标右击可修正字符框前几行出现的汉字乱码",
    u"D.刷新：用于消除反相显示",
    u"E.加解密：密码≤10个 Ascii 字符，可加密任何类型文件",
};

TEST(Help, ResourceIsTheGbkTextLineByLine) {
    const Bytes bytes = embeddedResource(u"CUSTOM", 101);
    ASSERT_EQ(bytes.size(), 960u);
    EXPECT_NE(bytes[0], 0xEF); // no byte-order mark
    EXPECT_NE(bytes.back(), 0x00);

    const std::u16string text = CodePage936::instance().fromGbk(bytes);
    EXPECT_EQ(text.size(), 537u);
    EXPECT_EQ(text.find(u'\uFFFD'), std::u16string::npos);
    std::u16string expected;
    for (const char16_t* line : kLines)
        expected += std::u16string(line) + u"\r\n";
    EXPECT_EQ(text, expected);
    // No line end other than CR LF.
    std::size_t lineEnds = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'\n') {
            ASSERT_GT(i, 0u);
            EXPECT_EQ(text[i - 1], u'\r') << i;
            ++lineEnds;
        } else if (text[i] == u'\r') {
            ASSERT_LT(i + 1, text.size());
            EXPECT_EQ(text[i + 1], u'\n') << i;
        }
    }
    EXPECT_EQ(lineEnds, 18u);
}

TEST(Help, ShowsTheTextInAnOkBoxTitledHelp) {
    Editor e;
    const auto captions = e.fake.captions;
    e.form.Fhelp();
    ASSERT_EQ(e.fake.messages.size(), 1u);
    EXPECT_EQ(e.fake.messages[0].title, u"帮助");
    EXPECT_EQ(e.fake.messages[0].buttons, Buttons::OK);
    EXPECT_EQ(e.fake.messages[0].text.substr(0, 4), u"1.查找");
    EXPECT_EQ(e.fake.messages[0].text.size(), 537u);
    EXPECT_EQ(e.fake.captions, captions);
    EXPECT_EQ(e.form.Dirty, kFalse);
}

} // namespace
} // namespace quillory::testing
