// The two input procedures: the dialog they show, the checks in their order, and the
// bytes they leave.

#include <gtest/gtest.h>

#include "support/Editor.h"

namespace quillory::testing {
namespace {

using Reply = std::optional<std::u16string>;

TEST(Numeric, ChecksAndConverts) {
    struct Row {
        std::vector<Reply> replies;
        int cType, iLen, result;
        Bytes bytes;                          // InputBytes after an accepted reply
        std::vector<std::u16string> messages; // in order
    };
    const std::u16string illegal = u"出现非法数字，请更改";
    const std::u16string odd = u"数字位错误(每个数字为2位),请更改";
    const std::u16string tooLong = u"数字长度超界，请更改";
    // The retry messages, and the order of the checks.
    const Row rows[] = {
        {{u"abc", u"abcd"}, 1, -1, 1, {0xAB, 0xCD}, {odd}},
        {{u"1g", u"12"}, 1, -1, 0, {0x12}, {illegal}},   // reported before the odd count
        {{u"１２", u"12"}, 1, -1, 0, {0x12}, {illegal}}, // double-byte digits are no digits
        {{u"123", u"12"}, 2, 0, 0, {0x12}, {odd}},       // odd count before the length
        {{u"7F 80", u"7F"}, 2, 0, 0, {0x7F}, {tooLong}},
    };
    for (const Row& r : rows) {
        Editor e;
        e.load(Bytes(4, 0));
        e.fake.prompts.assign(r.replies.begin(), r.replies.end());
        const std::string first = utf8(r.replies[0].value_or(u"(cancel)"));
        EXPECT_EQ(e.form.Numeric(r.cType, r.iLen), r.result) << first;
        EXPECT_EQ(e.fake.messageTexts(), r.messages) << first;
        EXPECT_EQ(e.fake.unanswered, 0) << first;
        EXPECT_EQ(e.form.InputBytes, r.bytes) << first;
    }
}

// Captions by kind, and the limit text only where a limit applies.
TEST(Prompts, CaptionsAndLimitTexts) {
    struct Row {
        bool numeric;
        int cType, iType, iLen;
        std::u16string caption, limit;
    };
    const Row rows[] = {
        {true, 0, 0, 3, u"输入用于替换的数字(串)", u"(不超过 4个数字)"},
        {true, 1, 0, -1, u"Lookup", u""},
        {true, 2, 0, 0, u"Swap", u"(不超过 1个数字)"},
        {true, 3, 0, 3, u"插入", u""},
        {true, 4, 0, 3, u"set by the caller", u""},
        {false, 1, 2, 3, u"Lookup Ansi Character", u""},
        {false, 2, 3, 3, u"Swap Unicode Character", u"(不超过 4 字节)"},
        {false, 2, 2, -1, u"Swap Ansi Character", u""},
        {false, 3, 3, 3, u"插入 Unicode Character", u""},
        {false, 0, 2, -1, u"Ansi Character", u""}, // block replace: the kind alone
        {false, 4, 3, -1, u"Unicode Character", u""},
    };
    for (const Row& r : rows) {
        Editor e;
        e.load(Bytes(64, 0));
        e.form.Dialog2.Caption = u"set by the caller";
        e.fake.prompts = {u"00"};
        if (r.numeric)
            e.form.Numeric(r.cType, r.iLen);
        else
            e.form.Character(r.cType, r.iType, r.iLen);
        const ShownPrompt& shown = e.fake.promptsShown.at(0);
        EXPECT_EQ(utf8(shown.caption), utf8(r.caption));
        EXPECT_EQ(utf8(shown.label),
                  utf8(r.numeric ? u"请输入16进制数字" + r.limit +
                                       u"\r\n每个数字为2位,数字之间可用空格隔开"
                                 : u"请输入字符" + r.limit + u"\r\n英文字母区分大小写"));
    }
}

TEST(Numeric, RejectedReplyIsOfferedAgain) {
    Editor e;
    e.form.InputText = u"previous";
    e.fake.prompts = {u"7F 80", u"7f"};
    ASSERT_EQ(e.form.Numeric(2, 0), 0);
    ASSERT_EQ(e.fake.promptsShown.size(), 2u);
    EXPECT_EQ(e.fake.promptsShown[0].text, u"previous");
    EXPECT_EQ(e.fake.promptsShown[1].text, u"7F 80");
    EXPECT_EQ(e.form.InputText, u"7f");
    EXPECT_EQ(e.form.SwapText, u"7f");
    EXPECT_EQ(e.fake.messages[0].title, u"Quillory");
    EXPECT_EQ(e.fake.messages[0].buttons, Buttons::OK);
}

// ANSI goes through code page 936; a character it lacks becomes "?", also in the text
// kept for the next prompt. A find takes any length.
TEST(Character, AnsiBytesAndFindWithoutLimit) {
    Editor e;
    e.load(Bytes(100, 0));
    e.fake.prompts = {u"中A", u"a\u0E01b", std::u16string(300, u'x')};
    EXPECT_EQ(e.form.Character(1, 2, -1), 2);
    EXPECT_EQ(e.form.InputBytes, (Bytes{0xD6, 0xD0, 0x41}));
    EXPECT_EQ(e.form.FindText, u"中A");
    EXPECT_EQ(e.form.Character(3, 2, -1), 2);
    EXPECT_EQ(e.form.InputBytes, (Bytes{'a', '?', 'b'}));
    EXPECT_EQ(e.form.SwapText, u"a?b");
    EXPECT_EQ(e.form.Character(1, 2, 0), 299);
    EXPECT_TRUE(e.fake.messages.empty());
}

} // namespace
} // namespace quillory::testing
