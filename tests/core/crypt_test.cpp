// The key prompt and the XOR transform of the document.

#include <gtest/gtest.h>

#include "support/Editor.h"

namespace quillory::testing {
namespace {

Bytes mixed(std::size_t size) {
    Bytes b(size);
    for (std::size_t i = 0; i < size; ++i)
        b[i] = static_cast<std::uint8_t>(i * 37 + (i >> 8));
    return b;
}

// One pass per key character, stopping at the first invalid one: the plain reading of
// the command, which the single combined pass must match.
Bytes passPerCharacter(Bytes b, const std::u16string& key) {
    for (char16_t c : key) {
        if (c < u'!' || c > u'~') break;
        std::uint8_t k = c & 0x1F;
        if (k == 0) k = 0x1F;
        for (std::uint8_t& x : b)
            x ^= k;
    }
    return b;
}

std::u16string encrypt(Editor& e, const std::u16string& key) {
    e.fake.inputs = {key};
    const std::size_t before = e.fake.messages.size();
    e.form.Encrypt();
    return e.fake.messages.size() > before ? e.fake.messages.back().text : u"";
}

// Longer than the prompt asks for: every character still counts.
const std::u16string kKey = u"A1b2C3d4E5f6G7h";

TEST(Encrypt, SameKeyTurnsTheDocumentBack) {
    Editor e;
    const Bytes doc = mixed(1037); // not a whole number of words
    e.load(doc);
    EXPECT_EQ(encrypt(e, kKey), u"完成");
    EXPECT_NE(e.form.FileBytes, doc);
    EXPECT_EQ(e.form.FileBytes, passPerCharacter(doc, kKey));
    EXPECT_EQ(e.fake.inputBoxes.at(0).prompt, u"请输入密钥（≤10个可见的Ascii字符）：");
    EXPECT_EQ(e.fake.inputBoxes.at(0).title, u"加解密");
    EXPECT_EQ(e.fake.inputBoxes.at(0).defaultText, u"");
    EXPECT_EQ(encrypt(e, kKey), u"完成");
    EXPECT_EQ(e.form.FileBytes, doc);
}

TEST(Encrypt, CharacterWithLowBitsZeroUsesAllFiveBits) {
    for (const std::u16string key : {u"@", u"`"}) {
        Editor e;
        e.load({0x00, 0x41, 0xE0});
        encrypt(e, key);
        EXPECT_EQ(e.form.FileBytes, (Bytes{0x1F, 0x5E, 0xFF}));
        EXPECT_EQ(e.hex(1), u"5E"); // redrawn
    }
}

TEST(Encrypt, KeysThatChangeNothing) {
    for (const std::u16string key : {u"zz", u"", u"!A"}) { // "!" and "A" both mask 1
        Editor e;
        e.load(mixed(300));
        EXPECT_EQ(encrypt(e, key), u"完成");
        EXPECT_EQ(e.form.FileBytes, mixed(300));
    }
}

TEST(Encrypt, InvalidCharacterStopsAfterApplyingTheOnesBefore) {
    for (const std::u16string key : {u"ab cd", u"ab中cd", u"ab\x7F"}) {
        Editor e;
        e.load({0x00, 0x10});
        EXPECT_EQ(encrypt(e, key), u"密鈅无效！");
        // a = 1, b = 2: only their masks reach the bytes.
        EXPECT_EQ(e.form.FileBytes, (Bytes{0x03, 0x13}));
        // The page shows what the document now holds, not the bytes before the key.
        EXPECT_EQ(e.hex(0), u"03");
        EXPECT_EQ(e.chr(1), u"\x13 ");
        EXPECT_EQ(e.fake.messages.size(), 1u);
        // The same key again stops at the same place and restores the bytes.
        encrypt(e, key);
        EXPECT_EQ(e.form.FileBytes, (Bytes{0x00, 0x10}));
    }
}

TEST(Encrypt, LeavesDirtyPageAndRecordsAlone) {
    Editor e;
    e.load(mixed(1500));
    e.form.PageNum(1);
    e.form.CutAt = 7;
    e.form.BlockBytes = {9};
    encrypt(e, u"k");
    EXPECT_EQ(e.form.Dirty, kFalse);
    EXPECT_EQ(e.form.CurPage, 1);
    EXPECT_EQ(e.form.FileBytes.size(), 1500u);
    EXPECT_EQ(e.form.CutAt, 7);
    EXPECT_EQ(e.form.BlockBytes, Bytes{9});
    e.form.Dirty = kTrue;
    encrypt(e, u"k");
    EXPECT_EQ(e.form.Dirty, kTrue);
}

TEST(Encrypt, OneByteDocumentIsRefusedBeforeThePrompt) {
    Editor e;
    e.load({0x41});
    EXPECT_EQ(encrypt(e, u"k"), u"没有文件！");
    EXPECT_TRUE(e.fake.inputBoxes.empty());
    EXPECT_EQ(e.form.FileBytes, Bytes{0x41});
}

} // namespace
} // namespace quillory::testing
