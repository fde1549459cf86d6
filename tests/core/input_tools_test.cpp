#include <gtest/gtest.h>

#include "platform/CodePage936.h"
#include "support/Editor.h"

namespace quillory::testing {
namespace {

struct CodeCase {
    const char* name;
    const char16_t* reply;
    const char16_t* codes;
};

class CharacterCodeTool : public ::testing::TestWithParam<CodeCase> {};

TEST_P(CharacterCodeTool, ShowsAndCopiesCodes) {
    const CodeCase& c = GetParam();
    Editor e;
    e.fake.inputs.push_back(c.reply);
    e.form.NumberBox.userMouseDown(kRightButton, 0, 100, 100);

    ASSERT_EQ(e.fake.inputBoxes.size(), 1u);
    EXPECT_EQ(e.fake.inputBoxes[0].prompt, u"请输入要检索的字符：");
    EXPECT_EQ(e.fake.inputBoxes[0].title, u"检索 Ascii 码");
    EXPECT_EQ(e.fake.inputBoxes[0].defaultText, u"");
    EXPECT_EQ(e.form.InputText, c.reply);
    ASSERT_EQ(e.fake.messages.size(), 1u);
    EXPECT_EQ(utf8(e.fake.messages[0].text),
              utf8(u"“" + std::u16string(c.reply) + u"”的16进制Ascii码是：\r\n" + c.codes));
    EXPECT_EQ(e.fake.messages[0].buttons, Buttons::OK);
    EXPECT_EQ(e.fake.messages[0].title, kAppTitle);
    ASSERT_TRUE(e.fake.clipboard.has_value());
    EXPECT_EQ(utf8(*e.fake.clipboard), utf8(c.codes));
}

INSTANTIATE_TEST_SUITE_P(
    Selection, CharacterCodeTool,
    ::testing::Values(CodeCase{"LetterAndHanzi", u"A中", u"41 D6D0"},
                      CodeCase{"ThreeLetters", u"abc", u"61 62 63"}, CodeCase{"Space", u" ", u"20"},
                      CodeCase{"Digit", u"5", u"35"},
                      CodeCase{"FullWidthSpace", u"\u3000", u"A1A1"},
                      // Characters the code page lacks give the question mark's code;
                      // a character outside the BMP is one character, not two.
                      CodeCase{"Unmapped", u"\u0E01x", u"3F 78"},
                      CodeCase{"OutsideBmp", u"\U0001F600", u"3F"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CharacterCodeToolButtons, MiddleOpensLeftDoesNot) {
    Editor e;
    e.fake.inputs.push_back(u"A");
    e.form.NumberBox.userMouseDown(kMiddleButton, 0, 0, 0);
    EXPECT_EQ(e.fake.inputBoxes.size(), 1u);
    EXPECT_EQ(e.fake.clipboard, std::u16string(u"41"));

    e.form.NumberBox.userMouseDown(kLeftButton, 0, 0, 0);
    e.form.NumberBox.userMouseDown(0, 0, 0, 0); // a button beyond the three
    EXPECT_EQ(e.fake.inputBoxes.size(), 1u);
}

TEST(CharacterCodeToolButtons, EmptyReplyEndsSilentlyButIsKept) {
    Editor e;
    e.form.InputText = u"earlier";
    e.fake.clipboard = u"untouched";
    e.fake.inputs.push_back(u"");
    e.form.NumberBox.userMouseDown(kRightButton, 0, 0, 0);
    EXPECT_EQ(e.form.InputText, u"");
    EXPECT_TRUE(e.fake.messages.empty());
    EXPECT_EQ(e.fake.clipboard, std::u16string(u"untouched"));
    EXPECT_EQ(e.fake.clipboardWrites, 0);
}

TEST(CharacterCodeToolButtons, LeavesDocumentAndSelectionAlone) {
    Editor e;
    e.form.NumberBox.userClick(33);
    const Bytes before = e.form.FileBytes;
    e.fake.inputs.push_back(u"中");
    e.form.NumberBox.userMouseDown(kRightButton, 0, 0, 0);
    EXPECT_EQ(e.form.FileBytes, before);
    EXPECT_EQ(e.form.SelStart, 17);
    EXPECT_EQ(e.form.SelSpan, 0);
    EXPECT_TRUE(e.form.NumberBox.selected(33));
    EXPECT_EQ(e.form.Dirty, kFalse);
}

// Two pages that both begin with the second half of 中 (D6 D0): D0 D6 D0 41.
struct PairingFix : ::testing::Test {
    Editor e;
    std::u16string zhong;
    void SetUp() override {
        Bytes bytes(1024, 0x41);
        for (const int page : {0, 512}) {
            bytes[page + 0] = 0xD0;
            bytes[page + 1] = 0xD6;
            bytes[page + 2] = 0xD0;
            bytes[page + 3] = 0x41;
        }
        e.load(bytes);
        zhong = u"中";
    }
    void rightClick() { e.form.ChrBox.userMouseDown(kRightButton, 0, 0, 0); }
    bool shifted() {
        if (e.chr(0) == u". " && e.chr(1) == zhong && e.chr(2) == u"  " && e.chr(3) == u"A ")
            return true;
        // The ordinary pairing: D0 D6, then D0 41.
        EXPECT_NE(e.chr(0), u". ");
        EXPECT_EQ(e.chr(1), u"  ");
        EXPECT_EQ(e.chr(3), u"  ");
        return false;
    }
};

TEST_F(PairingFix, RightClicksAlternateAndPageChangeResetsView) {
    ASSERT_FALSE(shifted());
    rightClick();
    EXPECT_TRUE(shifted());
    EXPECT_EQ(e.form.CharPhase, kTrue);
    EXPECT_EQ(e.form.FlipPending, kFalse);
    rightClick();
    EXPECT_FALSE(shifted());
    rightClick(); // an odd number of requests on this page
    EXPECT_TRUE(shifted());

    e.form.PageNum(1);
    EXPECT_FALSE(shifted());
    EXPECT_EQ(e.form.CharPhase, kTrue);
    rightClick(); // only turns the phase back
    EXPECT_FALSE(shifted());
    EXPECT_EQ(e.form.CharPhase, kFalse);
    rightClick();
    EXPECT_TRUE(shifted());
}

TEST_F(PairingFix, OnlyRightButtonOnHighFirstByte) {
    e.form.ChrBox.userMouseDown(kMiddleButton, 0, 0, 0);
    e.form.ChrBox.userMouseDown(kLeftButton, 0, 0, 0);
    EXPECT_FALSE(shifted());
    EXPECT_EQ(e.form.CharPhase, kFalse);

    Bytes low(512, 0x41);
    low[0] = 0x7F;
    low[1] = 0xD6;
    low[2] = 0xD0;
    e.load(low);
    rightClick();
    EXPECT_EQ(e.form.CharPhase, kFalse);
    EXPECT_EQ(e.chr(1), zhong);
}

TEST_F(PairingFix, LeavesSelectionAlone) {
    e.form.NumberBox.userClick(64); // offset 2
    rightClick();
    EXPECT_TRUE(shifted());
    EXPECT_EQ(e.form.SelStart, 2);
    EXPECT_TRUE(e.form.ChrBox.selected(64));
    EXPECT_EQ(e.form.Dirty, kFalse);
}

} // namespace
} // namespace quillory::testing
