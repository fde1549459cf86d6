// The input procedures beyond their everyday replies: the order of the checks where
// two could fire, the captions and limit texts of the remaining kinds, the file-length
// rule without a caller's limit, and replies too long for a 16-bit result.

#include <gtest/gtest.h>

#include "support/Editor.h"

namespace quillory::testing {
namespace {

TEST(PromptLimits, OddDigitCountReportedBeforeLength) {
    Editor e;
    e.fake.prompts = {u"123", u"12"};
    EXPECT_EQ(e.form.Numeric(2, 0), 0);
    EXPECT_EQ(e.fake.messageTexts(),
              std::vector<std::u16string>{u"数字位错误(每个数字为2位),请更改"});
}

TEST(PromptLimits, NumericRejectsWhatTheCodePageMakesNoDigit) {
    // Full-width digits are double-byte; a character outside the code page becomes "?".
    for (const std::u16string reply : {u"１２", u"1\u0E012", u"12\x7F"}) {
        Editor e;
        e.fake.prompts = {reply, u"12"};
        EXPECT_EQ(e.form.Numeric(1, -1), 0) << utf8(reply);
        EXPECT_EQ(e.fake.messageTexts(), std::vector<std::u16string>{u"出现非法数字，请更改"});
    }
}

TEST(PromptLimits, LimitTextOnlyWhereTheRuleApplies) {
    struct Row {
        int cType;
        bool numeric;
        const char16_t* label;
    };
    const Row rows[] = {
        {0, true, u"请输入16进制数字(不超过 4个数字)\r\n每个数字为2位,数字之间可用空格隔开"},
        {3, true, u"请输入16进制数字\r\n每个数字为2位,数字之间可用空格隔开"},
        {1, false, u"请输入字符\r\n英文字母区分大小写"},
        {2, false, u"请输入字符(不超过 4 字节)\r\n英文字母区分大小写"},
        {3, false, u"请输入字符\r\n英文字母区分大小写"},
    };
    for (const Row& r : rows) {
        Editor e;
        e.load(Bytes(64, 0));
        e.fake.prompts = {u"00"};
        if (r.numeric)
            e.form.Numeric(r.cType, 3);
        else
            e.form.Character(r.cType, 2, 3);
        EXPECT_EQ(utf8(e.fake.promptsShown.at(0).label), utf8(r.label)) << r.cType;
    }
}

TEST(PromptLimits, CharacterKindAloneForBlockReplace) {
    for (const int cType : {0, 4}) {
        Editor e;
        e.form.Dialog2.Caption = u"set by the caller";
        e.fake.prompts = {u"x", u"y"};
        e.form.Character(cType, 2, -1);
        e.form.Character(cType, 3, -1);
        EXPECT_EQ(e.fake.promptsShown.at(0).caption, u"Ansi Character");
        EXPECT_EQ(e.fake.promptsShown.at(1).caption, u"Unicode Character");
        EXPECT_EQ(e.form.SwapText, u"y");
    }
}

TEST(PromptLimits, CharacterReplaceMustBeShorterThanFile) {
    Editor e;
    e.load(Bytes(4, 0));
    e.fake.prompts = {u"abcd", u"abc"};
    EXPECT_EQ(e.form.Character(2, 2, -1), 2);
    EXPECT_EQ(e.fake.messageTexts(), std::vector<std::u16string>{u"字符长度超界，请更改"});
    // The rejected reply is offered again, and the label has no limit text.
    EXPECT_EQ(e.fake.promptsShown.at(1).text, u"abcd");
    EXPECT_EQ(e.fake.promptsShown.at(0).label, u"请输入字符\r\n英文字母区分大小写");
}

TEST(PromptLimits, CharacterCancelKeepsRecords) {
    Editor e;
    e.fake.prompts = {u"ab"};
    ASSERT_EQ(e.form.Character(3, 3, -1), 3);
    e.fake.prompts = {std::nullopt};
    EXPECT_EQ(e.form.Character(1, 3, -1), -2);
    EXPECT_EQ(e.form.InputBytes, (Bytes{'a', 0, 'b', 0}));
    EXPECT_EQ(e.form.SwapText, u"ab");
    EXPECT_TRUE(e.form.FindText.empty());
    // The next prompt opens empty.
    e.fake.prompts = {u"z"};
    e.form.Character(1, 2, -1);
    EXPECT_EQ(e.fake.promptsShown.back().text, u"");
}

TEST(PromptLimits, AnsiRoundTripIsOfferedNextTime) {
    Editor e;
    e.fake.prompts = {u"a\u0E01b", u"00"};
    e.form.Character(1, 2, -1);
    e.form.Numeric(1, -1);
    EXPECT_EQ(e.fake.promptsShown.at(1).text, u"a?b");
    EXPECT_EQ(e.form.FindText, u"00");
}

// Results and counts are 32-bit: nothing wraps past 32767.
TEST(PromptLimits, LongRepliesKeepWholeLength) {
    Editor e;
    std::u16string digits;
    for (int k = 0; k < 40000; ++k)
        digits += u"A5";
    e.fake.prompts = {digits};
    EXPECT_EQ(e.form.Numeric(3, -1), 39999);
    EXPECT_EQ(e.form.InputBytes.size(), 40000u);
    EXPECT_EQ(e.form.InputBytes.back(), 0xA5);

    e.fake.prompts = {std::u16string(20000, u'中')};
    EXPECT_EQ(e.form.Character(3, 2, -1), 39999);
    EXPECT_EQ(e.form.InputBytes.size(), 40000u);

    e.fake.prompts = {std::u16string(20000, u'x')};
    EXPECT_EQ(e.form.Character(3, 3, -1), 39999);
    EXPECT_TRUE(e.fake.messages.empty());
}

} // namespace
} // namespace quillory::testing
