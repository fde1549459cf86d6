// Scripted edits past what the random tester reaches: counts do not wrap past 32767, no
// insert passes 16 MiB, and delete all and next where occurrences meet.

#include <gmock/gmock.h>

#include <sstream>

#include "core/Format.h"
#include "support/Editor.h"
#include "support/TempFiles.h"

namespace quillory::testing {
namespace {

// One step of a scenario; n is an in-page offset, a page or the kind of an insert.
void step(Form1& f, char c, int n) {
    const int cell = f.OffsetToCell[n & 511];
    if (c == 'p') f.VscrollBar.setValue(n);
    if (c == 'c' || c == 'd') f.NumberBox.userClick(cell);
    if (c == 'd') f.NumberBox.userDblClick(cell);
    if (c == 'x') f.CopyOrCut(1); // cut
    if (c == 'u') f.Quash();
    if (c == 'k') f.Hnext(0);          // count
    if (c == 'i') f.Insert(n ? n : 1); // i:HEX, i2:ANSI, i3:Unicode
    if (c == 's') f.Swap(1);           // s:HEX
    if (c == 'S') f.SwapNext(1);       // replace all
    if (c == 'D') f.DelAll(1);         // delete all
    if (c == 'N') f.DelAll(0);         // delete next, its questions answered by y steps
    if (c == 'w') f.Dirty = kFalse;    // as after a save
}

Bytes repeat(const Bytes& unit, std::size_t times, const Bytes& tail = {}) {
    Bytes b;
    for (std::size_t k = 0; k < times; ++k)
        b.insert(b.end(), unit.begin(), unit.end());
    b.insert(b.end(), tail.begin(), tail.end());
    return b;
}

// A named scenario: the document, the steps and the document after. A step is a letter of
// `step` and its number; a prompt gets the text after ':', TEXT^N is N times TEXT, and
// =TEXT is found in the last message.
struct Scenario {
    const char* name;
    Bytes document;
    std::string steps;
    Bytes after;
};

void play(Scenario& row) {
    SCOPED_TRACE(row.name);
    FakePlatform fake;
    Form1 f(fake);
    ASSERT_TRUE(f.Form_Load());
    // Every edit marks the document modified, also one made after a save.
    const bool edited = row.after != row.document || row.steps.find(" w ") != std::string::npos;
    f.loadDocument(std::move(row.document));
    std::istringstream in(row.steps);
    std::string said;
    for (std::string t; in >> t;) {
        const std::size_t colon = t.find(':'), caret = t.find('^');
        if (t[0] == '=') said = t.substr(1);
        std::u16string reply;
        for (int k = caret == t.npos ? 1 : std::stoi(t.substr(caret + 1)); k > 0; --k)
            reply += ascii(t.substr(colon + 1, caret - colon - 1));
        if (colon != t.npos) fake.prompts.push_back(reply);
        if (t[0] == 'y') fake.answers.push_back(Answer::Yes);
        step(f, t[0], std::atoi(t.c_str() + 1));
    }
    EXPECT_TRUE(f.FileBytes == row.after) << f.FileBytes.size() << " bytes";
    const std::string last = said.empty() ? said : utf8(fake.messages.back().text);
    EXPECT_THAT(last, ::testing::HasSubstr(said));
    EXPECT_EQ(fake.unanswered, 0);
    EXPECT_EQ(f.Dirty, edited ? kTrue : kFalse);
}

TEST(Edits, CountsPast32767AndInsertsUpTo16MiB) {
    const Bytes c1000 = pattern(1000, 1), big(kMaxDocument - 1, 0x33), AB = {0x41, 0x42};
    const Bytes XY = {0x58, 0x59};
    Scenario rows[] = {
        {"count 40000", Bytes(40000, 0xEE), "c0 k =找到40000处", Bytes(40000, 0xEE)},
        {"replace all 39999", repeat(AB, 40000), "d0 d1 s:5859 w S =共替换39999次",
         repeat(XY, 40000)},
        {"delete all 40000",
         repeat({0x41}, 40001, {0x42, 0x43}),
         "c0 x w D =共删除40000次",
         {0x42, 0x43}},
        {"insert 40000 hex bytes", c1000, "c0 i:5A^40000", repeat({0x5A}, 40000, c1000)},
        {"undo an insert of 40000", c1000, "c0 i:5A^40000 w u", c1000},
        {"insert 40000 ANSI characters", c1000, "c0 i2:x^40000", repeat({0x78}, 40000, c1000)},
        {"insert 20000 Unicode characters", c1000, "c0 i3:x^20000",
         repeat({0x78, 0}, 20000, c1000)},
        {"undo a cut to the end", pattern(100000, 2), "d10 x w u", pattern(100000, 2)},
        {"no insert past 16 MiB", big, "c0 i:0102", big},
        {"an insert up to 16 MiB", big, "c0 i:01", repeat({1}, 1, big)},
    };
    for (Scenario& row : rows)
        play(row);
}

TEST(Edits, DeleteAllAndNextWhereOccurrencesMeet) {
    auto text = [](std::string_view s) { return Bytes(s.begin(), s.end()); };
    Scenario rows[] = {
        // An occurrence right after a byte kept, the last one just where a run of whole
        // words ends, and a byte after the last occurrence.
        {"delete all in runs", text("CCABABXABABABABAB"), "d2 d3 x w D =共删除6次", text("CCX")},
        {"delete all, a byte after", text("QQABABZ"), "d2 d3 x w D =共删除1次", text("QQZ")},
        // Delete next looks on from where the deleted occurrence stood, not back across it.
        {"delete next looks on", text("QQABAABBZ"), "d2 d3 x w y N =后面没有了", text("QQABZ")},
    };
    for (Scenario& row : rows)
        play(row);
}

} // namespace
} // namespace quillory::testing
