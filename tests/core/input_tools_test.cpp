#include <gtest/gtest.h>

#include "support/Editor.h"

namespace quillory::testing {
namespace {

TEST(CharacterCodeTool, ShowsAndCopiesCodes) {
    const std::pair<std::u16string, std::u16string> rows[] = {
        {u"A中", u"41 D6D0"},
        {u" ", u"20"}, // a blank reply is a character, not nothing
        {u"\u3000", u"A1A1"},
        // Characters the code page lacks give the question mark's code;
        // a character outside the BMP is one character, not two.
        {u"\u0E01x", u"3F 78"},
        {u"\U0001F600", u"3F"},
    };
    for (const auto& [reply, codes] : rows) {
        Editor e;
        e.fake.inputs.push_back(reply);
        e.form.NumberBox.userMouseDown(kRightButton, 0, 100, 100);
        ASSERT_EQ(e.fake.inputBoxes.size(), 1u);
        EXPECT_EQ(e.fake.inputBoxes[0].prompt, u"请输入要检索的字符：");
        EXPECT_EQ(e.fake.inputBoxes[0].title, u"检索 Ascii 码");
        EXPECT_EQ(e.fake.inputBoxes[0].defaultText, u"");
        EXPECT_EQ(utf8(e.fake.messageTexts().at(0)),
                  utf8(u"“" + reply + u"”的16进制Ascii码是：\r\n" + codes));
        EXPECT_EQ(e.fake.messages[0].title, kAppTitle);
        EXPECT_EQ(utf8(e.fake.clipboard.value_or(u"(none)")), utf8(codes));
    }
}

// Only the right and middle buttons open it, and it leaves the selection alone.
TEST(CharacterCodeTool, MiddleOpensLeftDoesNot) {
    Editor e;
    e.form.NumberBox.userClick(33);
    e.fake.inputs.push_back(u"A");
    e.form.NumberBox.userMouseDown(kMiddleButton, 0, 0, 0);
    EXPECT_EQ(e.fake.clipboard, std::u16string(u"41"));
    e.form.NumberBox.userMouseDown(kLeftButton, 0, 0, 0);
    e.form.NumberBox.userMouseDown(0, 0, 0, 0); // a button beyond the three
    EXPECT_EQ(e.fake.inputBoxes.size(), 1u);
    EXPECT_EQ(e.form.SelStart, 17);
    EXPECT_TRUE(e.form.NumberBox.selected(33));
}

TEST(CharacterCodeTool, EmptyReplyEndsSilentlyButIsKept) {
    Editor e;
    e.form.InputText = u"earlier";
    e.fake.inputs.push_back(u"");
    e.form.NumberBox.userMouseDown(kRightButton, 0, 0, 0);
    EXPECT_EQ(e.form.InputText, u"");
    EXPECT_TRUE(e.fake.messages.empty());
    EXPECT_EQ(e.fake.clipboardWrites, 0);
}

// Two pages that both begin with the second half of 中 (D6 D0): D0 D6 D0 41. A right
// click shifts the pairing by one byte, and any other redraw pairs from the first again.
struct PairingFix : ::testing::Test {
    Editor e;
    void SetUp() override {
        Bytes bytes(1024, 0x41);
        for (const int page : {0, 512}) {
            bytes[page + 0] = 0xD0;
            bytes[page + 1] = 0xD6;
            bytes[page + 2] = 0xD0;
        }
        e.load(bytes);
    }
    void rightClick() { e.form.ChrBox.userMouseDown(kRightButton, 0, 0, 0); }
    // Shifted: D0 alone, then D6 D0 as 中. Otherwise D0 D6 and D0 41 are paired.
    bool shifted() {
        if (e.chr(0) == u". " && e.chr(1) == u"中" && e.chr(2) == u"  " && e.chr(3) == u"A ")
            return true;
        EXPECT_EQ(e.chr(0), u"兄");
        EXPECT_EQ(e.chr(2), u"\u8825");
        return false;
    }
};

TEST_F(PairingFix, RightClicksAlternateAndPageChangeResetsView) {
    e.form.NumberBox.userClick(64); // offset 2
    rightClick();
    EXPECT_TRUE(shifted());
    EXPECT_EQ(e.form.CharPhase, kTrue);
    EXPECT_EQ(e.form.FlipPending, kFalse);
    EXPECT_EQ(e.form.SelStart, 2);
    EXPECT_TRUE(e.form.ChrBox.selected(64));
    rightClick();
    EXPECT_FALSE(shifted());
    rightClick(); // an odd number of requests on this page
    EXPECT_TRUE(shifted());
    // Any other redraw pairs from the first byte again; the phase stays.
    e.form.PageNum(1);
    EXPECT_FALSE(shifted());
    EXPECT_EQ(e.form.CharPhase, kTrue);
    rightClick(); // only turns the phase back
    EXPECT_FALSE(shifted());
    EXPECT_EQ(e.form.CharPhase, kFalse);
    rightClick();
    EXPECT_TRUE(shifted());
}

} // namespace
} // namespace quillory::testing
