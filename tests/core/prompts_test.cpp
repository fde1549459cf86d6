// The two input procedures: the dialog they show, the checks in their order, and the
// bytes they leave.

#include <gtest/gtest.h>

#include "support/Editor.h"

namespace quillory::testing {
namespace {

using Reply = std::optional<std::u16string>;

struct NumericRow {
    const char* name;
    std::vector<Reply> replies;
    int cType;
    int iLen;
    int result;
    Bytes bytes;                          // InputBytes after an accepted reply
    std::vector<std::u16string> messages; // in order
};

class NumericTest : public ::testing::TestWithParam<NumericRow> {};

TEST_P(NumericTest, ChecksAndConverts) {
    const NumericRow& row = GetParam();
    Editor e;
    e.load(Bytes(4, 0)); // a file of 4 bytes: at most 3 bytes of data where the rule applies
    for (const Reply& r : row.replies)
        e.fake.prompts.push_back(r);
    EXPECT_EQ(e.form.Numeric(row.cType, row.iLen), row.result);
    EXPECT_EQ(e.fake.messageTexts(), row.messages);
    EXPECT_EQ(e.fake.promptsShown.size(), row.replies.size());
    if (row.result >= 0) {
        EXPECT_EQ(e.form.InputBytes, row.bytes);
    }
    EXPECT_EQ(e.fake.unanswered, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Replies, NumericTest,
    ::testing::Values(
        NumericRow{"SpacesBetweenPairs", {u"0a ff"}, 1, -1, 1, {0x0A, 0xFF}, {}},
        NumericRow{"NoSpaces", {u"0AFF"}, 1, -1, 1, {0x0A, 0xFF}, {}},
        NumericRow{"SpacesInsidePairs", {u"123 4"}, 3, -1, 1, {0x12, 0x34}, {}},
        NumericRow{"OneSplitPair", {u"1 2"}, 3, -1, 0, {0x12}, {}},
        NumericRow{"OddThenFixed",
                   {u"abc", u"abcd"},
                   1,
                   -1,
                   1,
                   {0xAB, 0xCD},
                   {u"数字位错误(每个数字为2位),请更改"}},
        NumericRow{"LetterG", {u"0g", u"00"}, 1, -1, 0, {0x00}, {u"出现非法数字，请更改"}},
        NumericRow{"HexPrefix", {u"0x12", u"12"}, 1, -1, 0, {0x12}, {u"出现非法数字，请更改"}},
        NumericRow{"Tab", {u"12\t34", u"12"}, 1, -1, 0, {0x12}, {u"出现非法数字，请更改"}},
        NumericRow{"ChineseCharacter", {u"中", u"12"}, 1, -1, 0, {0x12}, {u"出现非法数字，请更改"}},
        // An illegal character is reported before the odd digit count.
        NumericRow{"IllegalBeforeOdd", {u"1g", u"12"}, 1, -1, 0, {0x12}, {u"出现非法数字，请更改"}},
        NumericRow{
            "ReplaceLimitOneByte", {u"7F 80", u"7F"}, 2, 0, 0, {0x7F}, {u"数字长度超界，请更改"}},
        NumericRow{"FindAsLongAsFile",
                   {u"01020304", u"010203"},
                   1,
                   -1,
                   2,
                   {1, 2, 3},
                   {u"数字长度超界，请更改"}},
        NumericRow{"InsertAnyLength", {u"0102030405"}, 3, 0, 4, {1, 2, 3, 4, 5}, {}},
        NumericRow{"Empty", {u""}, 1, -1, -2, {}, {u"无效数字"}},
        NumericRow{"Cancel", {std::nullopt}, 1, -1, -2, {}, {u"无效数字"}},
        NumericRow{"SpacesOnly", {u"   "}, 2, 5, -2, {}, {u"无效数字"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Numeric, DialogTextsAndRecords) {
    Editor e;
    e.form.InputText = u"previous";
    e.fake.prompts = {u"7F 80", u"7f"};
    ASSERT_EQ(e.form.Numeric(2, 0), 0);

    ASSERT_EQ(e.fake.promptsShown.size(), 2u);
    EXPECT_EQ(e.fake.promptsShown[0].caption, u"Swap");
    EXPECT_EQ(e.fake.promptsShown[0].label,
              u"请输入16进制数字(不超过 1个数字)\r\n每个数字为2位,数字之间可用空格隔开");
    EXPECT_EQ(e.fake.promptsShown[0].text, u"previous");
    // The rejected reply is offered again.
    EXPECT_EQ(e.fake.promptsShown[1].text, u"7F 80");
    EXPECT_EQ(e.form.InputText, u"7f");
    EXPECT_EQ(e.form.SwapText, u"7f");
    EXPECT_EQ(e.fake.messages[0].title, u"Quillory");
    EXPECT_EQ(e.fake.messages[0].buttons, Buttons::OK);
}

TEST(Numeric, CaptionsByKind) {
    const std::pair<int, std::u16string> rows[] = {
        {0, u"输入用于替换的数字(串)"}, {1, u"Lookup"}, {2, u"Swap"}, {3, u"插入"}};
    for (const auto& [cType, caption] : rows) {
        Editor e;
        e.fake.prompts = {u"00"};
        e.form.Numeric(cType, -1);
        EXPECT_EQ(e.fake.promptsShown.at(0).caption, caption);
    }
    // Kind 4 keeps the caption its caller set; no limit text for it.
    Editor e;
    e.form.Dialog2.Caption = u"mine";
    e.fake.prompts = {u"00"};
    e.form.Numeric(4, 3);
    EXPECT_EQ(e.fake.promptsShown.at(0).caption, u"mine");
    EXPECT_EQ(e.fake.promptsShown.at(0).label.find(u"不超过"), std::u16string::npos);
}

TEST(Numeric, FindKeepsFindTextAndEmptyKeepsEverything) {
    Editor e;
    e.form.SwapText = u"swap";
    e.fake.prompts = {u"41"};
    EXPECT_EQ(e.form.Numeric(1, -1), 0);
    EXPECT_EQ(e.form.FindText, u"41");
    EXPECT_EQ(e.form.SwapText, u"swap");

    e.fake.prompts = {std::nullopt};
    EXPECT_EQ(e.form.Numeric(1, -1), -2);
    EXPECT_EQ(e.form.FindText, u"41");
    EXPECT_EQ(e.form.InputBytes, Bytes{0x41});
    EXPECT_EQ(e.form.InputText, u""); // the next prompt opens empty
}

TEST(Character, AnsiAndUnicodeBytes) {
    Editor e;
    e.fake.prompts = {u"中A"};
    EXPECT_EQ(e.form.Character(1, 2, -1), 2);
    EXPECT_EQ(e.form.InputBytes, (Bytes{0xD6, 0xD0, 0x41}));
    EXPECT_EQ(e.fake.promptsShown[0].caption, u"Lookup Ansi Character");
    EXPECT_EQ(e.fake.promptsShown[0].label, u"请输入字符\r\n英文字母区分大小写");
    EXPECT_EQ(e.form.FindText, u"中A");

    e.fake.prompts = {u"中A"};
    EXPECT_EQ(e.form.Character(3, 3, -1), 3);
    EXPECT_EQ(e.form.InputBytes, (Bytes{0x2D, 0x4E, 0x41, 0x00}));
    EXPECT_EQ(e.fake.promptsShown[1].caption, u"插入 Unicode Character");
    EXPECT_EQ(e.form.SwapText, u"中A");
}

TEST(Character, UnpairedSurrogateAndMissingCharacter) {
    Editor e;
    // Every UTF-16 unit becomes two bytes, low first, also a lone surrogate.
    e.fake.prompts = {std::u16string(1, u'\xD800')};
    EXPECT_EQ(e.form.Character(3, 3, -1), 1);
    EXPECT_EQ(e.form.InputBytes, (Bytes{0x00, 0xD8}));

    // A character code page 936 lacks becomes "?", and so does the kept text.
    e.fake.prompts = {u"a\u0E01b"}; // Thai ko kai
    EXPECT_EQ(e.form.Character(3, 2, -1), 2);
    EXPECT_EQ(e.form.InputBytes, (Bytes{'a', '?', 'b'}));
    EXPECT_EQ(e.form.InputText, u"a?b");
    EXPECT_EQ(e.form.SwapText, u"a?b");
}

TEST(Character, ReplaceLengthRule) {
    Editor e;
    e.load(Bytes(100, 0));
    // Two bytes allowed: one Unicode character passes, two do not.
    e.fake.prompts = {u"ab", u"a"};
    EXPECT_EQ(e.form.Character(2, 3, 1), 1);
    EXPECT_EQ(e.fake.messageTexts(), std::vector<std::u16string>{u"字符长度超界，请更改"});
    EXPECT_EQ(e.fake.promptsShown[0].caption, u"Swap Unicode Character");
    EXPECT_EQ(e.fake.promptsShown[0].label, u"请输入字符(不超过 2 字节)\r\n英文字母区分大小写");

    // In ANSI two letters or one Chinese character pass, three letters do not.
    e.fake.messages.clear();
    e.fake.prompts = {u"abc", u"中"};
    EXPECT_EQ(e.form.Character(2, 2, 1), 1);
    EXPECT_EQ(e.fake.messageTexts(), std::vector<std::u16string>{u"字符长度超界，请更改"});

    // Find has no length rule; cancel reports the empty reply.
    e.fake.messages.clear();
    e.fake.prompts = {std::u16string(300, u'x'), std::nullopt};
    EXPECT_EQ(e.form.Character(1, 2, 0), 299);
    EXPECT_EQ(e.form.Character(1, 2, 0), -2);
    EXPECT_EQ(e.fake.messageTexts(), std::vector<std::u16string>{u"无效字符"});
}

} // namespace
} // namespace quillory::testing
