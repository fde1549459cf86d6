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

std::u16string expectedText() {
    std::u16string text;
    for (const char16_t* line : kLines)
        text += std::u16string(line) + u"\r\n";
    return text;
}

// Compared whole, the text also shows that there is no byte-order mark, no trailing
// NUL and no line end other than CR LF.
TEST(Help, ResourceIsTheGbkHelpText) {
    const Bytes bytes = embeddedResource(u"CUSTOM", 101);
    EXPECT_EQ(bytes.size(), 960u);
    const std::u16string text = CodePage936::instance().fromGbk(bytes);
    EXPECT_EQ(text, expectedText());
}

TEST(Help, ShowsTheTextInAnOkBoxTitledHelp) {
    Editor e;
    e.form.Fhelp();
    ASSERT_EQ(e.fake.messages.size(), 1u);
    EXPECT_EQ(e.fake.messages[0].title, u"帮助");
    EXPECT_EQ(e.fake.messages[0].buttons, Buttons::OK);
    EXPECT_EQ(e.fake.messages[0].text, expectedText());
}

} // namespace
} // namespace quillory::testing
