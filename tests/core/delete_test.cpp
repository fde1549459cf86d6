// Delete next and delete all after a cut.

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "core/Format.h"
#include "support/Editor.h"

namespace quillory::testing {
namespace {

const std::u16string kNoStart = u"没有删除起点或没有先进行剪切";
const std::u16string kNoMore = u"后面没有了！";

std::u16string question(int c) {
    return u"是否删除这个数据（已删除" + decText(c) + u"次）？";
}
std::u16string doneAll(int c) {
    return u"幸不辱命，有关数据全部删除完毕（共删除" + decText(c) + u"次）！";
}

// Cuts count bytes at in-page offset `at` of the page shown, as a click (one byte) or two
// double clicks would mark them.
void cut(Editor& e, int at, int count) {
    e.form.SelStart = at;
    e.form.SelSpan = count - 1;
    e.form.PickCount = count > 1 ? 2 : 0;
    const std::size_t from = static_cast<std::size_t>(e.form.PageStart + at);
    e.form.BlockBytes.assign(e.form.FileBytes.begin() + from,
                             e.form.FileBytes.begin() + from + count);
    e.form.CopyOrCut(1);
    e.fake.messages.clear();
}

TEST(DeleteAll, CutFirst41Of41_00_41_41_00) {
    Editor e;
    e.load({0x41, 0x00, 0x41, 0x41, 0x00});
    cut(e, 0, 1);
    ASSERT_EQ(e.form.FileBytes, (Bytes{0x00, 0x41, 0x41, 0x00}));
    e.fake.clipboard = u"kept";
    e.form.DelAll(1);
    EXPECT_EQ(e.form.FileBytes, (Bytes{0x00, 0x00}));
    EXPECT_EQ(e.fake.messageTexts(), std::vector<std::u16string>{doneAll(2)});
    EXPECT_EQ(e.fake.pointers, (std::vector<Pointer>{Pointer::Wait, Pointer::Default}));
    EXPECT_EQ(e.fake.clipboard, u"kept");
    EXPECT_EQ(e.form.LastOffset, 1);
    EXPECT_EQ(e.form.Dirty, kTrue);
    EXPECT_EQ(e.form.CutAt, kNone);
    EXPECT_EQ(e.form.FindLast, kNone);
    EXPECT_EQ(e.form.SelSpan, kNone);
    EXPECT_EQ(e.form.StateBar.caption(), u"文件字节:2( &&H2) 总页数:1 当前页:1");
    // The sequence is closed, and the cut can no longer be undone.
    e.form.DelAll(1);
    e.form.Quash();
    EXPECT_EQ(e.fake.messageTexts(),
              (std::vector<std::u16string>{doneAll(2), kNoStart, u"没有剪切或插入操作"}));
}

TEST(DeleteNext, SearchesTheCutBytesAndAsksEachTime) {
    Editor e;
    e.load({7, 0xAB, 0xCD, 1, 0xAB, 0xCD, 2, 0xAB, 0xCD, 3});
    cut(e, 1, 2); // 7 1 AB CD 2 AB CD 3
    e.fake.answers = {Answer::Yes, Answer::Yes};
    e.form.DelAll(0);
    EXPECT_EQ(e.fake.messageTexts(),
              (std::vector<std::u16string>{question(0), question(1), kNoMore}));
    EXPECT_EQ(e.fake.messages[0].buttons, Buttons::YesNoCancel);
    EXPECT_EQ(e.form.FileBytes, (Bytes{7, 1, 2, 3}));
    EXPECT_EQ(e.form.Dirty, kTrue);
    EXPECT_EQ(e.form.CutAt, kNone);
    EXPECT_TRUE(e.fake.pointers.empty());
}

// What the screen shows while the question is asked.
struct Watching : FakePlatform {
    Form1* form = nullptr;
    std::vector<int> pages;
    std::vector<int> highlighted; // in-page offsets marked in the character grid
    Answer msgBox(const std::u16string& text, Buttons buttons,
                  const std::u16string& title) override {
        if (buttons == Buttons::YesNoCancel) {
            pages.push_back(form->CurPage);
            for (int o = 0; o < 512; ++o)
                if (form->ChrBox.selected(form->OffsetToCell[o])) highlighted.push_back(o);
        }
        return FakePlatform::msgBox(text, buttons, title);
    }
};

TEST(DeleteNext, ShowsEachOccurrenceHighlightedOnItsPage) {
    Watching w;
    Form1 f(w);
    w.form = &f;
    f.Form_Load();
    Bytes doc(1200, 0);
    doc[3] = doc[4] = 0x5A;
    doc[1000] = doc[1001] = 0x5A;
    f.FileBytes = doc;
    f.LastOffset = 1200;
    f.Fcount();
    f.SelStart = 3;
    f.SelSpan = 1;
    f.BlockBytes = {0x5A, 0x5A};
    f.CopyOrCut(1);
    w.answers = {Answer::Cancel};
    f.DelAll(0);
    // The occurrence moved from 1000 to 998 with the cut: page 2, offset 486.
    EXPECT_EQ(w.pages, std::vector<int>{1});
    EXPECT_EQ(w.highlighted, (std::vector<int>{486, 487}));
    EXPECT_EQ(f.FileBytes.size(), 1198u);
    EXPECT_EQ(f.SelStart, kNone); // the closing refresh clears the mark
    EXPECT_FALSE(f.ChrBox.selected(f.OffsetToCell[486]));
    EXPECT_EQ(f.CutAt, kNone);
}

TEST(DeleteNext, DeclinedOccurrenceResumesAfterIt) {
    Editor e;
    e.load({0x41, 0x41, 0x41, 0x41, 0x41, 0x41, 0x41});
    cut(e, 0, 2); // five 41
    e.fake.answers = {Answer::No, Answer::Yes};
    e.form.DelAll(0);
    // Declined at 0, the search goes on at 2 (not 1): deleted there, resumes at 2.
    EXPECT_EQ(e.form.FileBytes, (Bytes{0x41, 0x41, 0x41}));
    EXPECT_EQ(e.fake.messageTexts(),
              (std::vector<std::u16string>{question(0), question(0), kNoMore}));
}

// Down to one byte, or to none, the document is replaced by a new one.
TEST(DeleteAll, LeavingOneByteOrNoneGivesNewDocument) {
    const std::vector<std::pair<Bytes, int>> cases = {{{0x41, 0x00, 0x41}, 1},
                                                      {{0xAB, 0xCD, 0xAB, 0xCD}, 2}};
    for (const auto& [doc, count] : cases) {
        for (int index : {0, 1}) {
            Editor e;
            e.load(doc);
            cut(e, 0, count);
            e.fake.answers = {Answer::Yes};
            e.form.DelAll(index);
            EXPECT_EQ(e.form.FileBytes, Bytes(512, 0));
            EXPECT_EQ(e.form.LastOffset, 511);
            EXPECT_EQ(e.form.Dirty, kFalse);
            EXPECT_EQ(e.form.CutAt, kNone);
            EXPECT_EQ(e.fake.messageTexts().back(), index == 0 ? kNoMore : doneAll(1));
        }
    }
}

// A run that deletes nothing must not throw away a short document.
TEST(DeleteAll, NothingFoundKeepsAOneByteDocument) {
    Editor e;
    e.load({0x41, 0x42});
    cut(e, 0, 1); // 42
    e.form.DelAll(1);
    EXPECT_EQ(e.form.FileBytes, Bytes{0x42});
    EXPECT_TRUE(e.fake.messages.empty());
    EXPECT_EQ(e.form.CutAt, kNone);
}

// The only occurrence left may end on the last byte.
TEST(DeleteAll, OccurrenceEndingOnTheLastByteRightAtTheCut) {
    Editor e;
    e.load({0x10, 0x20, 0xAB, 0xCD, 0xAB, 0xCD});
    cut(e, 2, 2); // 10 20 AB CD
    e.form.DelAll(1);
    EXPECT_EQ(e.form.FileBytes, (Bytes{0x10, 0x20}));
    EXPECT_EQ(e.fake.messageTexts(), std::vector<std::u16string>{doneAll(1)});
}

// The search starts where the cut was, whatever page is shown.
TEST(DeleteAll, StartsAtTheCutAfterAPageTurn) {
    Editor e;
    Bytes doc(1500, 0);
    doc[20] = doc[520] = doc[530] = doc[1400] = 0x77;
    e.load(doc);
    e.form.PageNum(1);
    cut(e, 8, 1); // the 77 at 520
    e.form.PageNum(0);
    e.form.DelAll(1);
    EXPECT_EQ(e.form.FileBytes.size(), 1497u);
    EXPECT_EQ(e.form.FileBytes[20], 0x77); // before the cut point: untouched
    EXPECT_EQ(std::count(e.form.FileBytes.begin(), e.form.FileBytes.end(), 0x77), 1);
    EXPECT_EQ(e.fake.messageTexts(), std::vector<std::u16string>{doneAll(2)});
}

// A copy after the cut replaces the working block; delete next still means the cut data.
TEST(DeleteAll, RepeatsTheCutNotALaterCopy) {
    Editor e;
    e.load({1, 2, 3, 1, 2, 3, 9});
    e.form.SelStart = 0;
    e.form.SelSpan = 1;
    e.form.BlockBytes = {1, 2};
    e.form.CopyOrCut(1); // 3 1 2 3 9
    e.form.SelStart = 4;
    e.form.SelSpan = 0;
    e.form.CopyOrCut(0); // copies the 9
    e.form.DelAll(1);
    EXPECT_EQ(e.form.FileBytes, (Bytes{3, 3, 9}));
}

TEST(DeleteAll, ViewStaysInRangeWhenTheDocumentShrinks) {
    Editor e;
    Bytes doc(2000, 0x11);
    doc[0] = 0x00;
    std::fill(doc.begin() + 1991, doc.end(), 0x22);
    e.load(doc);
    e.form.SelStart = 1;
    e.form.SelSpan = 0;
    e.form.CopyOrCut(1);
    for (int i = 0; i < 3; ++i)
        e.form.PageNum(1);
    ASSERT_EQ(e.form.CurPage, 3);
    e.form.DelAll(1);
    EXPECT_EQ(e.form.FileBytes.size(), 10u);
    EXPECT_EQ(e.form.CurPage, 0);
    EXPECT_EQ(e.form.PageStart, 0);
    EXPECT_EQ(e.form.VscrollBar.value(), 0);
    EXPECT_EQ(e.form.VscrollBar.max(), 0);
    EXPECT_EQ(e.form.TailCount, 10);
    EXPECT_EQ(e.hex(9), u"22");
    EXPECT_EQ(e.fake.messageTexts().back(), doneAll(1989));
}

// Deleting one by one (find from q, remove, go on at the same place) on random data.
TEST(DeleteAll, MatchesOneByOneModelOnRandomDocuments) {
    std::mt19937 rng(20240613);
    for (int round = 0; round < 600; ++round) {
        // Now and then a document over several pages.
        const int length = round % 50 == 0 ? std::uniform_int_distribution<int>(600, 1300)(rng)
                                           : std::uniform_int_distribution<int>(2, 48)(rng);
        const int alphabet = std::uniform_int_distribution<int>(1, 3)(rng);
        Bytes doc(length);
        for (auto& b : doc)
            b = static_cast<std::uint8_t>(0x41 + rng() % alphabet);
        const int count =
            std::uniform_int_distribution<int>(1, std::min(round % 3 ? 4 : 12, length - 1))(rng);
        const int at = std::uniform_int_distribution<int>(0, length - count)(rng);

        // The model.
        Bytes model = doc;
        const Bytes pattern(model.begin() + at, model.begin() + at + count);
        model.erase(model.begin() + at, model.begin() + at + count);
        std::size_t q = at;
        int deletions = 0;
        for (;;) {
            std::size_t a = q;
            while (a + count <= model.size() &&
                   !std::equal(pattern.begin(), pattern.end(), model.begin() + a))
                ++a;
            if (a + count > model.size()) break;
            model.erase(model.begin() + a, model.begin() + a + count);
            ++deletions;
            q = a;
        }
        if (deletions > 0 && model.size() <= 1) model = Bytes(512, 0);

        for (int index : {1, 0}) {
            Editor e;
            e.load(doc);
            cut(e, at, count);
            e.fake.answers.assign(static_cast<std::size_t>(deletions), Answer::Yes);
            e.form.DelAll(index);
            ASSERT_EQ(e.form.FileBytes, model) << "round " << round << " index " << index;
            if (index == 1 && deletions > 0) {
                ASSERT_EQ(e.fake.messageTexts(), std::vector<std::u16string>{doneAll(deletions)});
            }
            ASSERT_EQ(e.fake.unanswered, 0);
        }
    }
}

} // namespace
} // namespace quillory::testing
