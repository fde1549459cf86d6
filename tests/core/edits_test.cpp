// Undo, delete next and replace next act on the bytes of the edit they follow, whatever
// was done in between; counts do not wrap past 32767; no insert passes 16 MiB.

#include <gmock/gmock.h>

#include <numeric>
#include <sstream>

#include "core/Format.h"
#include "support/Editor.h"

namespace quillory::testing {
namespace {

// Answers Yes to each question of replace next and delete next, noting the offset of the
// first byte lit on the page shown: the user answers for what is shown.
struct Watching : FakePlatform {
    const Form1* form = nullptr;
    std::vector<int> shown;
    Answer msgBox(const std::u16string& text, Buttons b, const std::u16string& title) override {
        if (b != Buttons::YesNoCancel) return FakePlatform::msgBox(text, b, title);
        int lit = 0;
        while (lit < 511 && !form->ChrBox.selected(form->OffsetToCell[lit]))
            ++lit;
        shown.push_back(form->PageStart + lit);
        return Answer::Yes;
    }
};

// One step of a scenario; n is an in-page offset, a page or the kind of an insert.
void step(Form1& f, char c, int n) {
    const int cell = f.OffsetToCell[n & 511];
    if (c == 'p') f.VscrollBar.setValue(n);
    if (c == 'c' || c == 'd') f.NumberBox.userClick(cell);
    if (c == 'd') f.NumberBox.userDblClick(cell);
    if (c == 'x') f.CopyOrCut(1); // cut
    if (c == 'u') f.Quash();
    if (c == 'k') f.Hnext(0);                               // count
    if (c == 'i') f.Insert(n ? n : 1);                      // i:HEX, i2:ANSI, i3:Unicode
    if (c == 's') f.Swap(1);                                // s:HEX
    if (c == 'S' || c == 'n') f.SwapNext(c == 'S' ? 1 : 0); // replace all, next
    if (c == 'D' || c == 'N') f.DelAll(c == 'D' ? 1 : 0);   // delete all, next
    if (c == 'w') f.Dirty = kFalse;                         // as after a save
}

struct Row {
    Bytes doc;
    // Steps; then ?N for each question, at offset N, and =TEXT within the last message.
    // A prompt gets the text after ':', TEXT^N for N times TEXT; every question Yes.
    std::string script;
    Bytes want;
};

Bytes counting(std::size_t size) {
    Bytes b(size);
    std::iota(b.begin(), b.end(), std::uint8_t(3));
    return b;
}

Bytes repeat(const Bytes& unit, std::size_t times, const Bytes& tail = {}) {
    Bytes b;
    for (std::size_t k = 0; k < times; ++k)
        b.insert(b.end(), unit.begin(), unit.end());
    b.insert(b.end(), tail.begin(), tail.end());
    return b;
}

Bytes with(Bytes doc, const Bytes& bytes, std::initializer_list<int> at) {
    for (const int a : at)
        std::copy(bytes.begin(), bytes.end(), doc.begin() + a);
    return doc;
}

TEST(Edits, LaterCommandsActOnTheBytesOfTheEditTheyFollow) {
    const Bytes c1000 = counting(1000), big(kMaxDocument - 1, 0x33), AB = {0x41, 0x42};
    const Bytes XY = {0x58, 0x59};
    Row rows[] = {
        // The user answers for the occurrence shown. Replace next looks for the bytes the
        // replacement overwrote and writes its own data, wherever an insert moved them.
        {with(Bytes(1200, 0), {0x5A, 0x5A}, {3, 1000}), "d3 d4 x w N ?998", Bytes(1196, 0)},
        {with(Bytes(1024, 0), AB, {0, 100, 600}), "d0 d1 s:5859 p1 w n ?100 ?600",
         with(Bytes(1024, 0), XY, {0, 100, 600})},
        {with(Bytes(8, 7), AB, {0, 3, 6}), "d0 d1 s:5859 c2 k c2 i:EE w S",
         with(with(Bytes(9, 7), XY, {0, 4, 7}), {0xEE}, {2})},
        // Past 32767.
        {Bytes(40000, 0xEE), "c0 k =找到40000处", Bytes(40000, 0xEE)},
        {repeat(AB, 40000), "d0 d1 s:5859 w S =共替换39999次", repeat(XY, 40000)},
        {repeat({0x41}, 40001, {0x42, 0x43}), "c0 x w D =共删除40000次", {0x42, 0x43}},
        {c1000, "c0 i:5A^40000", repeat({0x5A}, 40000, c1000)},
        {c1000, "c0 i:5A^40000 w u", c1000},
        {c1000, "c0 i2:x^40000", repeat({0x78}, 40000, c1000)},
        {c1000, "c0 i3:x^20000", repeat({0x78, 0}, 20000, c1000)},
        {counting(100000), "d10 x w u", counting(100000)},
        {big, "c0 i:0102", big},
        {big, "c0 i:01", repeat({1}, 1, big)},
    };
    for (Row& row : rows) {
        SCOPED_TRACE(row.script + ", document of " + std::to_string(row.doc.size()));
        Watching fake;
        Form1 f(fake);
        fake.form = &f;
        ASSERT_TRUE(f.Form_Load());
        // Every edit marks the document modified, also one made after a save.
        const bool edited = row.want != row.doc || row.script.find(" w ") != std::string::npos;
        f.loadDocument(std::move(row.doc));
        std::istringstream in(row.script);
        std::vector<int> asked;
        std::string said;
        for (std::string t; in >> t;) {
            const std::size_t colon = t.find(':'), caret = t.find('^');
            if (t[0] == '?') asked.push_back(std::stoi(t.substr(1)));
            if (t[0] == '=') said = t.substr(1);
            std::u16string reply;
            for (int k = caret == t.npos ? 1 : std::stoi(t.substr(caret + 1)); k > 0; --k)
                reply += ascii(t.substr(colon + 1, caret - colon - 1));
            if (colon != t.npos) fake.prompts.push_back(reply);
            step(f, t[0], std::atoi(t.c_str() + 1));
        }
        EXPECT_TRUE(f.FileBytes == row.want) << f.FileBytes.size() << " bytes";
        EXPECT_EQ(fake.shown, asked);
        const std::string last = said.empty() ? said : utf8(fake.messages.back().text);
        EXPECT_THAT(last, ::testing::HasSubstr(said));
        EXPECT_EQ(fake.unanswered, 0);
        EXPECT_EQ(f.Dirty, edited ? kTrue : kFalse);
    }
}

} // namespace
} // namespace quillory::testing
