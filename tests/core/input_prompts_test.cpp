// The input procedures beyond their everyday replies: what they remember for the next
// prompt, and replies too long for a 16-bit result.

#include <gtest/gtest.h>

#include "support/Editor.h"

namespace quillory::testing {
namespace {

// A find records its text apart from the other kinds; a cancel forgets only the reply,
// so the next prompt opens empty.
TEST(PromptLimits, RecordsAndCancel) {
    Editor e;
    e.fake.prompts = {u"41", u"ab", std::nullopt, std::nullopt};
    EXPECT_EQ(e.form.Numeric(1, -1), 0);
    EXPECT_EQ(e.form.Character(3, 3, -1), 3);
    EXPECT_EQ(e.form.Numeric(1, -1), -2);
    EXPECT_EQ(e.form.Character(1, 3, -1), -2);
    EXPECT_EQ(e.form.FindText, u"41");
    EXPECT_EQ(e.form.SwapText, u"ab");
    EXPECT_EQ(e.form.InputBytes, (Bytes{'a', 0, 'b', 0}));
    e.fake.prompts = {u"a\u0E01b", u"00"};
    e.form.Character(1, 2, -1);
    EXPECT_EQ(e.fake.promptsShown.back().text, u"");
    // What the code page kept of an ANSI reply is offered next time.
    e.form.Numeric(1, -1);
    EXPECT_EQ(e.fake.promptsShown.back().text, u"a?b");
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
