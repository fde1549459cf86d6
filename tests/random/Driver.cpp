#include "random/Driver.h"

#include <algorithm>
#include <array>
#include <bitset>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <map>
#include <optional>
#include <sstream>

#include "core/Form1.h"
#include "core/Format.h"
#include "files/FileIo.h"
#include "files/Names.h"
#include "platform/CodePage936.h"
#include "support/FakePlatform.h"
#include "support/TempFiles.h"
#include "window/Menu.h"

// Present in the sanitizer runtimes only: lets a sanitizer's report end with the steps
// that led to it.
extern "C" __attribute__((weak)) void __sanitizer_set_death_callback(void (*)(void));

namespace quillory::random {

namespace {

// Where every choice of an episode comes from: splitmix64, one word of state, so that a
// seed names a run.
struct ChoiceSource {
    std::uint64_t state;
    std::uint32_t below(std::uint32_t n) { // a value in 0..n-1
        std::uint64_t z = (state += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return n <= 1 ? 0 : static_cast<std::uint32_t>((z ^ (z >> 31)) % n);
    }
    bool chance(std::uint32_t inN) { return below(inN) == 0; }
};

using Vec = std::vector<std::uint8_t>;
using namespace quillory::testing;

std::u16string dec(std::int64_t v) {
    return ascii(std::to_string(v));
}
std::string hexNumber(std::uint64_t v, int width) {
    char buf[24];
    std::snprintf(buf, sizeof buf, "%0*llX", width, static_cast<unsigned long long>(v));
    return buf;
}
std::string hexOf(const Vec& b, std::size_t from, std::size_t count) {
    std::string s;
    for (std::size_t i = from; i < from + count && i < b.size(); ++i)
        s += hexNumber(b[i], 2);
    return s;
}
// One thing a step shows, as the check prints it.
std::string box(const std::u16string& text, const std::u16string& title = {},
                Buttons buttons = Buttons::OK) {
    std::string s = " | " + utf8(text);
    if (!title.empty()) s.append(" [").append(utf8(title)).append(" ") += char('0' + int(buttons));
    return s;
}
std::string dialogText(bool saveForm, const CommonDialog& d) {
    return box(d.FileName, (saveForm ? u"save " : u"open ") + d.DialogTitle + u" " + d.Filter +
                               u" " + ascii(hexNumber(d.Flags, 1)));
}

int cellOf(int offset) {
    return (offset % 16) * 32 + offset / 16;
}

// The reference model: the editor's state as the user sees it, advanced by each
// command's documented effect, and what the command must show and put on the clipboard.
struct Model {
    Vec doc;
    bool dirty = false;
    std::int64_t page = 0;
    std::int32_t selStart = kNone, selSpan = kNone, pick = 0, firstPick = 0, findLast = kNone;
    Vec block;
    std::bitset<512> lit; // highlighted in-page offsets
    std::optional<std::int64_t> cutAt, insertAt;
    Vec cutBytes;
    std::int64_t insertLen = 0;
    bool swapOpen = false;
    Vec swapPattern, swapData;
    std::u16string swapShown, findText, swapText, inputText, cakeCaption;
    std::int64_t swapNext = 0;
    bool charPhase = false, maybeShifted = false, maybePlaceholders = false;
    const char* followUps = ""; // what the last step began, for the choice of the next

    // The files by name under the folder; the document's name; the file last read or written,
    // and whether another program wrote it since; the shared dialog as the last command left it.
    std::u16string dir;
    std::map<std::string, Vec> files;
    std::u16string fileName, seenName, caption = kAppTitle;
    bool behind = false;
    CommonDialog cd;

    // The step's replies, and what it shows as the check prints it.
    std::deque<Answer> answers;
    std::deque<std::optional<std::u16string>> prompts;
    std::deque<std::u16string> inputs, names;
    struct Shown {
        std::string messages, inputBoxes, prompts, dialogs, captions, pointers;
        std::optional<std::u16string> clipboard;
    } shown;
    bool closed = false;

    std::int64_t len() const { return static_cast<std::int64_t>(doc.size()); }
    std::int64_t last() const { return len() - 1; }
    std::int64_t lastPage() const { return last() / 512; }
    std::int64_t ps() const { return page * 512; }

    void say(const std::u16string& text, const std::u16string& title = kAppTitle) {
        shown.messages += box(text, title, Buttons::OK);
    }
    // What the user sees at each question: the page and its highlight.
    std::deque<std::pair<std::int64_t, std::bitset<512>>> atQuestions;
    Answer ask(const std::u16string& text, Buttons buttons,
               const std::u16string& title = kAppTitle) {
        shown.messages += box(text, title, buttons);
        atQuestions.emplace_back(page, lit);
        return takeFirst(answers, buttons == Buttons::YesNo ? Answer::No : Answer::Cancel);
    }

    void renovateCommand(int) { renovate(); }
    void renovate() {
        lit.reset();
        pick = 0;
        selStart = kNone;
    }
    void refuse(const std::u16string& text) {
        say(text);
        renovate();
    }
    // A different value of the scroll bar is a change of page, which refreshes.
    void turnTo(std::int64_t p) {
        if (p == page) return;
        page = p;
        renovate();
    }
    // The recount after a change of length.
    void recount() {
        page = std::min(page, lastPage());
        dirty = true;
        renovate();
    }
    // The document of file `name`, or of none, as New and Open make it.
    void load(const Vec& bytes, const std::u16string& name, const std::u16string& caption) {
        turnTo(0); // the scroll bar's change, where the page was another
        doc = bytes;
        dirty = swapOpen = behind = false;
        selStart = selSpan = findLast = kNone;
        cutAt.reset();
        insertAt.reset();
        lit.reset();
        fileName = seenName = name;
        shown.captions += box(this->caption = caption);
    }
    void newDocument() {
        load(Vec(512, 0), u"", kAppTitle);
        maybePlaceholders = true;
    }

    // First occurrence of `pattern` starting at or after `from`, or -1.
    std::int64_t find(const Vec& pattern, std::int64_t from) const {
        if (pattern.empty() || from < 0 || from >= len()) return -1;
        const auto it = std::search(doc.begin() + from, doc.end(), pattern.begin(), pattern.end());
        return it == doc.end() ? -1 : it - doc.begin();
    }
    // An occurrence shown: its page, and its cells on that page highlighted.
    void show(std::int64_t at, std::int64_t count) {
        turnTo(at / 512);
        renovate();
        for (std::int64_t o = at % 512; o < at % 512 + count && o < 512; ++o)
            lit.set(static_cast<std::size_t>(o));
    }
    Vec slice(std::int64_t from, std::int64_t count) const {
        return Vec(doc.begin() + from, doc.begin() + from + count);
    }

    // The hex-digit prompt (type 1) or the character prompt (2 ANSI, 3 Unicode): the
    // bytes of the first reply that passes, or none once the replies run out or one is empty.
    // Each round opens on the last reply, and states a limit where the reply overwrites.
    std::optional<Vec> prompt(int type, int cType, std::int64_t iLen) {
        const bool hex = type == 1;
        const std::u16string kind = type == 2 ? u"Ansi Character" : u"Unicode Character";
        const std::u16string caption =
            hex ? std::array<std::u16string, 5>{u"输入用于替换的数字(串)", u"Lookup", u"Swap",
                                                u"插入", cakeCaption}[cType]
                : std::array<std::u16string, 4>{kind, u"Lookup ", u"Swap ", u"插入 "}[cType] +
                      (cType ? kind : u"");
        const bool limited = iLen >= 0 && (hex ? cType < 3 : cType == 2);
        const std::u16string label =
            (hex ? u"请输入16进制数字" : u"请输入字符") +
            (limited ? u"(不超过 " + dec(iLen + 1) + (hex ? u"个数字)" : u" 字节)") : u"") +
            (hex ? u"\r\n每个数字为2位,数字之间可用空格隔开" : u"\r\n英文字母区分大小写");
        std::optional<std::u16string> reply;
        Vec out;
        for (;;) {
            shown.prompts += box(inputText, caption + u" " + label);
            reply = takeFirst(prompts, std::nullopt);
            inputText = reply.value_or(u"");
            // Spaces alone are no digits, but they are characters.
            if (!reply || reply->find_first_not_of(hex ? u" " : u"") == std::u16string::npos) {
                say(hex ? u"无效数字" : u"无效字符");
                return std::nullopt;
            }
            std::string digits;
            out.clear();
            if (hex) {
                for (char16_t c : *reply)
                    if (c != u' ')
                        digits.push_back(std::isxdigit(c < 0x80 ? c : 0) ? std::toupper(c) : '!');
                for (std::size_t k = 0; k + 1 < digits.size(); k += 2)
                    out.push_back(static_cast<std::uint8_t>(
                        std::strtol(digits.substr(k, 2).c_str(), nullptr, 16)));
            } else if (type == 2) {
                const CodePage936& cp = CodePage936::instance();
                const auto gbk = cp.toGbk(*reply);
                out.assign(gbk.begin(), gbk.end());
                inputText = *(reply = cp.fromGbk(gbk)); // what the code page kept of the text
            } else {
                for (char16_t c : *reply)
                    out.insert(out.end(),
                               {static_cast<std::uint8_t>(c), static_cast<std::uint8_t>(c >> 8)});
            }
            const std::int64_t m = hex ? static_cast<std::int64_t>(digits.size() / 2) - 1
                                       : static_cast<std::int64_t>(out.size()) - 1;
            const bool tooLong = (iLen >= 0 && m > iLen) || m > last() - 1;
            if (hex && digits.find('!') != std::string::npos)
                say(u"出现非法数字，请更改");
            else if (hex && digits.size() % 2 != 0)
                say(u"数字位错误(每个数字为2位),请更改");
            else if (tooLong && (hex ? cType < 3 : cType == 2))
                say(hex ? u"数字长度超界，请更改" : u"字符长度超界，请更改");
            else
                break;
        }
        (cType == 1 ? findText : swapText) = *reply;
        return out;
    }

    void click(int o) {
        lit.flip(static_cast<std::size_t>(o));
        selStart = o;
        if (pick != 2) selSpan = 0;
    }

    void doubleClick(int p) {
        findLast = kNone;
        selSpan = -1;
        ++pick;
        if (pick == 1) firstPick = p;
        if (pick == 2) {
            selSpan = std::abs(p - firstPick);
            firstPick = std::min(p, firstPick);
            for (int o = firstPick; o <= firstPick + selSpan; ++o)
                lit.set(static_cast<std::size_t>(o));
        }
        swapOpen = false;
        cutAt.reset();
        selStart = firstPick;
        if (selSpan < 0) return;
        if (ps() + selStart + selSpan > last()) {
            say(u"偏移量超界！");
            pick = 0;
            selStart = selSpan = kNone;
            return;
        }
        block = slice(ps() + selStart, selSpan + 1);
    }

    void hunt(int index) {
        swapOpen = false;
        cutAt.reset();
        selSpan = kNone;
        renovate();
        const auto pattern = prompt(index, 1, -1);
        findLast = pattern ? static_cast<std::int32_t>(pattern->size()) - 1 : kNone;
        if (!pattern) return renovate();
        block = *pattern;
        const std::int64_t at = find(block, 0);
        if (at < 0) return say(u"没有找到“" + findText + u"”！");
        show(at, findLast + 1);
        selStart = static_cast<std::int32_t>(at % 512);
    }

    void hnext(int index) {
        if (selStart < 0 || (selSpan < 0 && findLast < 0))
            return refuse(u"没有查找起点或终点(需双击2次)，查找1个字符(Numeric)只需单击1次");
        if (ps() + selStart + selSpan > last()) return refuse(u"偏移量超界！");
        std::int64_t pos = ps() + selStart;
        const std::int64_t L = selSpan >= 0 ? selSpan : findLast;
        if (selSpan == 0) block = slice(pos, 1);
        const Vec pattern(block.begin(),
                          block.begin() + std::min<std::int64_t>(L + 1, block.size()));
        std::int64_t n = 0;
        for (std::int64_t at; (at = find(pattern, pos)) >= 0;) {
            ++n;
            if (index == 1) show(at, L + 1);
            pos = at + L + 1;
            if (pos > last()) break;
            if (index == 1 &&
                ask(u"已找到" + dec(n) + u"处，是否继续？", Buttons::YesNo) != Answer::Yes)
                break;
        }
        say(n >= 1 ? u"共找到" + dec(n) + u"处选定数据" : u"后面没有了！");
        findLast = selSpan = kNone;
        renovate();
    }

    void swap(int index) {
        if (selStart < 0) return say(u"没有替换起点");
        const std::int64_t S = ps() + selStart;
        if (S + selSpan > last()) return refuse(u"偏移量超界！");
        if (selSpan == kNone && findLast >= 0) selSpan = findLast;
        if (selSpan == 0) block = slice(S, 1);
        const auto data = prompt(index, 2, selSpan);
        findLast = data ? static_cast<std::int32_t>(data->size()) - 1 : kNone;
        if (!data) return renovate();
        if (S + findLast > last()) return refuse(u"偏移量超界！");
        const std::int64_t swapLen = std::max(selSpan, findLast);
        swapPattern = slice(S, swapLen + 1);
        if (selSpan < 0) block = swapPattern;
        swapData = *data;
        swapShown = swapText;
        swapNext = S + swapLen + 1;
        swapOpen = true;
        std::copy(data->begin(), data->end(), doc.begin() + S);
        dirty = true;
        cutAt.reset();
        selSpan = kNone;
        renovate();
    }

    void swapCake(int index) {
        if (selStart < 0 || selSpan < 1) return refuse(u"块替换必须有起点和终点！");
        const std::int64_t S = ps() + selStart;
        if (S + selSpan > last()) return refuse(u"偏移量超界！");
        cakeCaption = u"输入块内将被替换的数字";
        const auto x = prompt(1, index, index == 0 ? selSpan : -1);
        cakeCaption = u"输入用于替换的数字";
        const auto y = x && index == 4 ? prompt(1, 4, -1) : x;
        if (!x || !y) {
            findLast = kNone;
            return renovate();
        }
        for (std::int64_t k = 0; k <= selSpan; ++k) {
            std::uint8_t& b = doc[S + k];
            if (index == 0) b = (*x)[k % x->size()];
            if (index == 4 && b == x->front()) b = y->front();
        }
        dirty = true;
        selSpan = findLast = kNone;
        renovate();
    }

    void swapNextCommand(int index) {
        if (!swapOpen) return refuse(u"没有替换起点或没有先进行常规替换");
        if (index == 1) shown.pointers += "WD";
        std::int64_t pos = swapNext, n = 0;
        const auto length = static_cast<std::int64_t>(swapPattern.size());
        std::optional<Answer> answer;
        for (std::int64_t at; (at = find(swapPattern, pos)) >= 0;) {
            pos = at + length;
            if (index == 0) {
                show(at, length);
                answer = ask(u"是否用“" + swapShown + u"”替换这个数据（已替换" + dec(n) + u"次）？",
                             Buttons::YesNoCancel);
                if (answer == Answer::Cancel) break;
                if (answer == Answer::No) continue;
                renovate();
            }
            ++n;
            std::copy(swapData.begin(), swapData.end(), doc.begin() + at);
            dirty = true;
        }
        swapOpen = false;
        renovate();
        if (index == 1 && n >= 1) say(u"幸不辱命，全部替换完毕（共替换" + dec(n) + u"次）！");
        if (answer && answer != Answer::Cancel) say(u"后面没有了！");
    }

    void copyOrCut(int index) {
        if (selStart < 0 || (selSpan < -1 && findLast < 0)) return refuse(u"没有复制或剪切起点");
        const std::int64_t S = ps() + selStart;
        const std::int64_t n = selSpan >= -1 ? selSpan + 1 : findLast + 1;
        if (S > last() || S + n - 1 > last()) return refuse(u"偏移量超界！");
        findLast = static_cast<std::int32_t>(n);
        if (selSpan == 0) block = slice(S, 1);
        const std::int64_t count = n > 0 ? n : len() - S;
        shown.clipboard =
            ascii(hexOf(doc, static_cast<std::size_t>(S), static_cast<std::size_t>(count)));
        if (index == 0) return renovate();
        cut(S, count);
    }

    void cut(std::int64_t S, std::int64_t count) {
        block = slice(S, count);
        doc.erase(doc.begin() + S, doc.begin() + S + count);
        if (doc.empty()) return newDocument();
        cutAt = S;
        cutBytes = block;
        insertAt.reset();
        swapOpen = false;
        recount();
    }

    void insertBytes(std::int64_t P, const Vec& data) {
        if (len() + static_cast<std::int64_t>(data.size()) > kMaxDocument)
            return refuse(u"文件长度超界！");
        doc.insert(doc.begin() + P, data.begin(), data.end());
        insertAt = P;
        insertLen = static_cast<std::int64_t>(data.size());
        cutAt.reset();
        recount();
    }

    void insert(int index) {
        if (selStart < 0) return say(u"没有插入起点");
        const std::int64_t P = ps() + selStart;
        if (P > len()) return refuse(u"只能紧挨着文件末尾插入！");
        const auto data = prompt(index, 3, -1);
        if (!data) return renovate();
        insertBytes(P, *data);
    }

    void quash(int) {
        if (!cutAt && !insertAt) return refuse(u"没有剪切或插入操作");
        if (cutAt && *cutAt > len()) {
            refuse(u"只能紧挨着文件末尾插入！");
        } else if (cutAt) {
            insertBytes(*cutAt, cutBytes);
        } else if (*insertAt + insertLen - 1 > last()) {
            refuse(u"偏移量超界！");
        } else {
            selSpan = static_cast<std::int32_t>(insertLen - 1);
            findLast = static_cast<std::int32_t>(insertLen);
            shown.clipboard = ascii(hexOf(doc, static_cast<std::size_t>(*insertAt),
                                          static_cast<std::size_t>(insertLen)));
            cut(*insertAt, insertLen);
        }
        cutAt.reset();
        insertAt.reset();
    }

    void delAll(int index) {
        if (!cutAt) return refuse(u"没有删除起点或没有先进行剪切");
        const Vec pattern = cutBytes;
        const auto n = static_cast<std::int64_t>(pattern.size());
        if (*cutAt + n - 1 > last()) return;
        block = pattern;
        std::int64_t c = 0;
        std::optional<Answer> answer;
        if (index == 0) {
            for (std::int64_t q = *cutAt, at; q <= last() && (at = find(pattern, q)) >= 0;) {
                show(at, n);
                answer =
                    ask(u"是否删除这个数据（已删除" + dec(c) + u"次）？", Buttons::YesNoCancel);
                if (answer == Answer::Cancel) break;
                q = at + n;
                if (answer == Answer::No) continue;
                ++c;
                doc.erase(doc.begin() + at, doc.begin() + at + n);
                if (doc.empty()) break;
                recount();
                q = at;
            }
        } else {
            shown.pointers += "WD";
            // One by one, each search resuming where the deleted data stood: the bytes
            // after a deletion are never joined with those before it.
            Vec out = slice(0, *cutAt);
            for (std::int64_t i = *cutAt; i < len();) {
                const bool hit =
                    i + n <= len() && std::equal(pattern.begin(), pattern.end(), doc.begin() + i);
                if (!hit) out.push_back(doc[i]);
                i += hit ? n : 1;
                c += hit;
            }
            doc = std::move(out);
            if (c >= 1 && !doc.empty()) recount();
            if (c >= 1) say(u"幸不辱命，有关数据全部删除完毕（共删除" + dec(c) + u"次）！");
        }
        if (answer && answer != Answer::Cancel) say(u"后面没有了！");
        if (c >= 1 && doc.size() <= 1) return newDocument();
        cutAt.reset();
        findLast = selSpan = kNone;
        renovate();
    }

    void pageNum(int index) {
        std::int64_t n = page + (index == 0 ? -1 : 1);
        if (index == 2) {
            shown.inputBoxes += box(u"请输入页号：", u"选择某一页");
            std::u16string reply = takeFirst(inputs, u"");
            // The blanks the program trims: spaces, tabs and ideographic spaces.
            const std::u16string_view blanks = u" \t\u3000";
            const auto b = reply.find_first_not_of(blanks), e = reply.find_last_not_of(blanks);
            std::string text;
            for (std::size_t i = b; b != std::u16string::npos && i <= e; ++i) {
                if (reply[i] > 0x7F) return;
                text.push_back(static_cast<char>(reply[i]));
            }
            if (text.empty() || text.find_first_not_of("-.0123456789") != std::string::npos) return;
            const double x = std::stod(text) - 1;
            if (x < 0 || x > lastPage()) return say(u"无效页号!");
            n = static_cast<std::int64_t>(std::nearbyint(x));
        } else if (n < 0 || n > lastPage()) {
            return;
        }
        turnTo(n);
        renovate();
    }

    void encrypt(int) {
        if (len() == 1) return say(u"没有文件！");
        shown.inputBoxes += box(u"请输入密钥（≤10个可见的Ascii字符）：", u"加解密");
        // Character by character over the whole document, as the key is described to
        // the user: each visible character flips the low five bits its code names.
        for (char16_t c : takeFirst(inputs, u"")) {
            if (c < 0x21 || c > 0x7E) return say(u"密鈅无效！");
            const std::uint8_t mask = (c & 0x1F) != 0 ? c & 0x1F : 0x1F;
            for (std::uint8_t& b : doc)
                b ^= mask;
        }
        say(u"完成");
    }

    // The hex grid's code tool: the codes of what is typed, one "?" for what the code page
    // lacks. What is typed is the next prompt's opening text.
    void codeTool() {
        shown.inputBoxes += box(u"请输入要检索的字符：", u"检索 Ascii 码");
        if ((inputText = takeFirst(inputs, u"")).empty()) return;
        std::string codes;
        for (std::size_t i = 0; i < inputText.size(); ++i) {
            const bool pair = i + 1 < inputText.size() && (inputText[i] & 0xFC00) == 0xD800 &&
                              (inputText[i + 1] & 0xFC00) == 0xDC00;
            const auto b = CodePage936::instance().toGbk(inputText.substr(i, pair ? 0 : 1));
            codes += (i ? " " : "") + hexNumber(b.empty()       ? '?'
                                                : b.size() == 1 ? b[0]
                                                                : b[0] << 8 | b[1],
                                                1);
            i += pair;
        }
        say(u"“" + inputText + u"”的16进制Ascii码是：\r\n" + ascii(codes));
        shown.clipboard = ascii(codes);
    }

    void rightClickCharacters() {
        if (doc[ps()] < 0x80) return;
        charPhase = !charPhase;
        maybeShifted = charPhase;
        maybePlaceholders = false;
    }

    // The help text as the source tree has it, in GBK, shown whole.
    void fhelp(int) {
        const auto text = readBytes(QUILLORY_SOURCE_DIR "/src/resources/help.txt");
        say(CodePage936::instance().fromGbk(text), u"帮助");
    }

    void fnew(int) {
        if (savePrompt()) newDocument();
    }
    // Names as the model keeps them: under the folder, without "./" in front.
    std::string key(const std::u16string& name) const {
        std::u16string rel = name.substr(dir.size() + 1);
        while (rel.starts_with(u"./"))
            rel.erase(0, 2);
        return nativePath(rel);
    }
    // The folder holds one folder, "sub".
    SaveTarget target(const std::u16string& name) const {
        const std::string k = key(name), folder = k.substr(0, k.rfind('/') + 1);
        return k == "sub"                         ? SaveTarget::Folder
               : folder != "" && folder != "sub/" ? SaveTarget::NoFolder
               : files.contains(k)                ? SaveTarget::Existing
                                                  : SaveTarget::New;
    }

    // Yes saves, and goes on only once the document is written.
    bool savePrompt() {
        if (!dirty) return true;
        const Answer a = ask(u"文件已经修改，是否保存？", Buttons::YesNoCancel, u"提示保存");
        return a == Answer::Yes ? fsave() : a != Answer::Cancel;
    }

    void fopen(int) {
        if (!savePrompt()) return;
        cd.DialogTitle = u"打开";
        cd.Filter = u"所有文件(*.*)|*.*";
        shown.dialogs += dialogText(false, cd);
        const std::u16string name = cd.FileName = takeFirst(names, u"");
        if (name.empty()) return say(u"无此文件");
        openFile(name);
    }
    void openFile(const std::u16string& name) {
        const auto file = files.find(key(name));
        if (file == files.end() || file->second.empty()) return;
        load(file->second, name, u"正在编辑：" + shownName(name, CodePage936::instance()));
        renovate();
        maybeShifted = maybePlaceholders = false;
    }
    // A drop opens its first file as Open does, without the dialog; a drop of none asks
    // nothing.
    void drop(const std::vector<std::u16string>& dropped) {
        for (const std::u16string& name : dropped)
            if (files.contains(key(name))) {
                if (savePrompt()) openFile(name);
                return;
            }
    }

    // The dialog until a name the flags let a save take, or none.
    std::u16string pickName(bool saveForm) {
        for (std::u16string name;;) {
            shown.dialogs += dialogText(saveForm, cd);
            if ((name = cd.FileName = takeFirst(names, u"")).empty()) return name;
            const SaveTarget t = target(name);
            if ((cd.Flags & kPathMustExist) && t == SaveTarget::NoFolder)
                say(u"路径不存在。\r\n请检查路径是否正确。", cd.DialogTitle);
            else if (t != SaveTarget::Existing ||
                     (!fileName.empty() && key(name) == key(fileName)) ||
                     ask(shownName(name.substr(name.rfind(u'/') + 1), CodePage936::instance()) +
                             u" 已存在。\r\n要替换它吗？",
                         Buttons::YesNo, cd.DialogTitle) == Answer::Yes)
                return name;
        }
    }

    bool write(const std::u16string& name) {
        if (!seenName.empty() && key(name) == key(seenName) && behind &&
            files.contains(key(name)) &&
            ask(u"文件已被其他程序修改，是否覆盖？", Buttons::YesNo) != Answer::Yes)
            return false;
        if (target(name) > SaveTarget::Existing) { // a folder, or in a missing one
            say(u"文件保存失败！");
            return false;
        }
        files[key(name)] = doc;
        seenName = name;
        behind = dirty = false;
        return true;
    }

    bool fsave() {
        if (fileName.empty()) {
            cd.DialogTitle = u"保存";
            cd.Flags = kOverwritePrompt | kPathMustExist;
            cd.Filter = u"所有文件(*.*)|*.*";
            if ((fileName = pickName(false)).empty()) return false;
        }
        return write(fileName);
    }
    void fsaveCommand(int) { fsave(); }

    void fsaveAs(int) {
        cd.DialogTitle = u"另存为";
        cd.Flags = kOverwritePrompt | kNoChangeDir | kCreatePrompt;
        cd.Filter = u"所有文件(*.*)|*.*";
        if (const std::u16string name = pickName(true); !name.empty() && write(fileName = name))
            shown.captions +=
                box(caption = u"正在编辑 " + shownName(name, CodePage936::instance()));
    }
};

// The character cells of a page, written into `out` (reused: the check runs every step).
void characters(const Vec& doc, std::int64_t ps, bool shifted, std::vector<std::u16string>& out) {
    const CodePage936& cp = CodePage936::instance();
    out.resize(512);
    const std::int64_t last =
        std::min<std::int64_t>(511, static_cast<std::int64_t>(doc.size()) - 1 - ps);
    std::fill(out.begin(), out.end(), u". ");
    for (std::int64_t o = shifted ? 1 : 0; o <= last; ++o) {
        const std::uint8_t b = doc[ps + o];
        if (b >= 0x80 && o < last && o < 511) {
            out[o] = cp.pairChar(b, doc[ps + o + 1]);
            out[++o] = u"  ";
        } else {
            out[o] = cp.byteChar(b);
            out[o] += u' ';
        }
    }
}

// Appended digit by digit: GCC 12 takes inserts into the string for overlapping copies.
std::string grouped(std::int64_t v) {
    const std::string digits = std::to_string(v);
    std::string s;
    for (std::size_t i = 0; i < digits.size(); s += digits[i++])
        if (i > 0 && (digits.size() - i) % 3 == 0) s += ',';
    return s;
}

std::string shown(const std::u16string& s) {
    return "\"" + utf8(s.substr(0, 60)) + (s.size() > 60 ? "...\"" : "\"");
}

std::string checkView(const Form1& f, Model& m) {
    const std::int64_t ps = m.ps();
    for (int r = 0; r < 32; ++r)
        if (f.AddressBox.text(r) !=
            ascii(" " + hexNumber(static_cast<std::uint64_t>(ps + 16 * r), 6)))
            return "address row " + std::to_string(r) + " shows " + shown(f.AddressBox.text(r));
    for (int o = 0; o < 512; ++o) {
        static const auto hex = [] {
            std::vector<std::u16string> t;
            for (int b = 0; b < 256; ++b)
                t.push_back(ascii(hexNumber(static_cast<std::uint64_t>(b), 2)));
            return t;
        }();
        if (f.NumberBox.text(cellOf(o)) != hex[ps + o < m.len() ? m.doc[ps + o] : 0])
            return "hex cell at in-page offset " + std::to_string(o) + " shows " +
                   shown(f.NumberBox.text(cellOf(o)));
    }
    // New shows placeholders until the next redraw, and a flip request shows the
    // shifted pairing until the next one.
    auto shows = [&](const std::vector<std::u16string>& chars) {
        for (int o = 0; o < 512; ++o)
            if (f.ChrBox.text(cellOf(o)) != chars[o]) return o;
        return -1;
    };
    static std::vector<std::u16string> normal, other;
    characters(m.doc, ps, false, normal);
    const int bad = shows(normal);
    if (bad < 0) {
        m.maybeShifted = m.maybePlaceholders = false;
    } else if (!(m.maybePlaceholders && shows(std::vector<std::u16string>(512, u". ")) < 0) &&
               !(m.maybeShifted && (characters(m.doc, ps, true, other), shows(other)) < 0)) {
        return "character cell at in-page offset " + std::to_string(bad) + ": editor " +
               shown(f.ChrBox.text(cellOf(bad))) + ", model " + shown(normal[bad]);
    }
    const std::u16string status =
        u"文件字节:" + ascii(grouped(m.len())) + u"( &&H" + ascii(hexNumber(m.len(), 1)) +
        u") 总页数:" + ascii(grouped(m.lastPage() + 1)) + u" 当前页:" + ascii(grouped(m.page + 1));
    if (f.StateBar.caption() != status)
        return "status line " + utf8(f.StateBar.caption()) + ", model " + utf8(status);
    return {};
}

// FNV-1a: the document, BlockBytes, the clipboard and files can be megabytes long.
template <class Items> std::string fingerprint(const Items& items) {
    std::uint32_t hash = 2166136261u;
    for (auto item : items)
        hash = (hash ^ item) * 16777619u;
    return std::to_string(items.size()) + " items #" + std::to_string(hash);
}

// The state a step leaves, on one line, so that the editor's and the model's compare as
// a whole and a failure shows both.
std::string summary(const Model& m, const std::vector<std::int64_t>& counts) {
    std::ostringstream s;
    s << "document " << fingerprint(m.doc) << ", page " << m.page << ", dirty " << m.dirty
      << ", SelStart " << m.selStart << ", SelSpan " << m.selSpan << ", PickCount " << m.pick
      << ", FindLast " << m.findLast << ", BlockBytes " << fingerprint(m.block) << ", CutAt "
      << m.cutAt.value_or(kNone) << ", InsertAt " << m.insertAt.value_or(kNone) << ", replace next "
      << m.swapOpen << ", LastOffset LastPage TailCount PageStart, scroll "
      << "bar value and maximum, cells, rows, clipboard writes, closed, Form2 unloads";
    for (std::int64_t c : counts)
        s << ' ' << c;
    s << ", highlight";
    for (int o = 0; o < 512; ++o)
        if (m.lit[o]) s << ' ' << o;
    const Model::Shown& out = m.shown;
    s << ", messages" << out.messages << ", input boxes" << out.inputBoxes << ", prompts"
      << out.prompts << ", file dialogs" << out.dialogs << ", captions" << out.captions
      << ", caption " << utf8(m.caption) << ", FileName " << utf8(m.fileName) << ", pointers "
      << out.pointers << ", clipboard "
      << (out.clipboard ? shown(*out.clipboard) + " " + fingerprint(*out.clipboard) : "none");
    return s.str();
}

std::string listing(const std::map<std::string, Vec>& files) {
    std::string s;
    for (const auto& [name, bytes] : files)
        s.append(name).append(" ").append(fingerprint(bytes)).append("; ");
    return s;
}

std::string check(const Form1& f, Model& m, const FakePlatform& fake, bool closed, bool onDisk) {
    Model seen;
    seen.doc.assign(f.FileBytes.begin(), f.FileBytes.end());
    seen.page = f.CurPage;
    seen.dirty = f.Dirty != kFalse;
    seen.selStart = f.SelStart;
    seen.selSpan = f.SelSpan;
    seen.pick = f.PickCount;
    seen.findLast = f.FindLast;
    seen.block.assign(f.BlockBytes.begin(), f.BlockBytes.end());
    if (f.CutAt != kNone) seen.cutAt = f.CutAt;
    if (f.InsertAt != kNone) seen.insertAt = f.InsertAt;
    seen.swapOpen = f.SwapFrom >= 0;
    for (int o = 0; o < 512; ++o) {
        seen.lit[o] = f.NumberBox.selected(cellOf(o));
        if (f.ChrBox.selected(cellOf(o)) != seen.lit[o])
            return "in-page offset " + std::to_string(o) + " is highlighted in one grid only";
    }
    for (const ShownMessage& m : fake.messages)
        seen.shown.messages += box(m.text, m.title, m.buttons);
    for (const auto& [prompt, title] : fake.inputBoxes)
        seen.shown.inputBoxes += box(prompt, title);
    for (const ShownPrompt& p : fake.promptsShown)
        seen.shown.prompts += box(p.text, p.caption + u" " + p.label);
    for (const auto& [saveForm, settings] : fake.fileDialogs)
        seen.shown.dialogs += dialogText(saveForm, settings);
    for (const std::u16string& c : fake.captions)
        seen.shown.captions += box(c);
    for (Pointer p : fake.pointers)
        seen.shown.pointers += p == Pointer::Wait ? 'W' : 'D';
    seen.shown.clipboard = fake.clipboard;
    seen.caption = f.Caption;
    seen.fileName = f.FileName;
    const std::string editor = summary(seen, {f.LastOffset, f.LastPage, f.TailCount, f.PageStart,
                                              f.VscrollBar.value(), f.VscrollBar.max(),
                                              f.NumberBox.listCount() + f.ChrBox.listCount(),
                                              f.AddressBox.listCount(), fake.clipboardWrites,
                                              closed, fake.form2Unloads}),
                      model = summary(m, {m.last(), m.lastPage(), m.len() % 512, m.ps(), m.page,
                                          m.lastPage(), 1024, 32, m.shown.clipboard.has_value(),
                                          m.closed, m.closed});
    if (editor != model)
        return "the state differs:\n    editor " + editor + "\n    model  " + model;
    if (onDisk) { // only file steps touch the folder
        std::map<std::string, Vec> files;
        const std::filesystem::path folder = utf8(m.dir);
        for (const auto& e : std::filesystem::recursive_directory_iterator(folder))
            if (e.is_regular_file())
                files[e.path().lexically_relative(folder)] = readBytes<Vec>(e.path());
        if (files != m.files)
            return "the folder holds " + listing(files) + "\n    model " + listing(m.files);
    }
    return checkView(f, m);
}

Vec someBytes(ChoiceSource& src, const Vec& doc, std::uint32_t maxLen) {
    const std::size_t len = 1 + src.below(maxLen);
    if (src.chance(2)) { // taken from the document, so that searches find something
        const std::size_t at = src.below(static_cast<std::uint32_t>(doc.size()));
        return Vec(doc.begin() + at, doc.begin() + std::min(doc.size(), at + len));
    }
    Vec b(len);
    for (auto& x : b)
        x = static_cast<std::uint8_t>(src.chance(2) ? src.below(256) : 0x41 + src.below(3));
    return b;
}

std::u16string hexText(ChoiceSource& src, const Vec& bytes) {
    std::u16string s = src.chance(6) ? u"  " : u"";
    const bool spaced = src.chance(2);
    for (std::uint8_t b : bytes)
        for (char16_t c : ascii((spaced && !s.empty() ? " " : "") + hexNumber(b, 2)))
            s += src.chance(2) ? static_cast<char16_t>(std::tolower(c)) : c;
    return s;
}

std::u16string text(ChoiceSource& src, const Vec& doc) {
    static const std::u16string pieces[] = {u"A", u"a", u"中", u"文", u"啊",   u"€",     u"·",
                                            u" ", u"Ω", u"ü",  u"😀",  u"\x01", u"\xD800"};
    if (src.chance(3)) {
        const Vec b = someBytes(src, doc, 8);
        return CodePage936::instance().fromGbk(b.data(), b.size());
    }
    std::u16string s;
    for (std::uint32_t n = 1 + src.below(6); n > 0; --n)
        s += pieces[src.below(std::size(pieces))];
    return s;
}

std::optional<std::u16string> promptReply(ChoiceSource& src, const Vec& doc) {
    const std::uint32_t kind = src.below(16);
    if (kind == 0) return std::nullopt;
    if (kind == 1) return std::u16string(src.below(3), u' ');
    if (kind <= 3) { // an illegal character among digits, or an odd digit
        std::u16string s = hexText(src, someBytes(src, doc, 4));
        const char16_t odd = kind == 2 ? u"gx\t中-"[src.below(5)] : u'7';
        return s.insert(src.below(static_cast<std::uint32_t>(s.size() + 1)), 1, odd);
    }
    if (kind <= 6) return text(src, doc);
    if (kind == 7) // long
        return hexText(src, Vec(150 + src.below(1500), static_cast<std::uint8_t>(src.below(256))));
    return hexText(src, someBytes(src, doc, src.chance(4) ? 40 : 4));
}

// Names the dialogs hand out: files another program may write, a folder, missing folders.
// The second is "文件.bin" in GBK bytes, shown as the third is.
const std::u16string kNames[] = {
    u"a.bin",  u"\xDCCE\xDCC4\xDCBC\xDCFE.bin", u"文件.bin", u"sub/c.bin", u"sub", u"missing/d.bin",
    u"a.bin/e"};
enum Change { Rewrite, Touch, Replace, Remove };

std::u16string fileReply(ChoiceSource& src, const Model& m) {
    const std::uint32_t kind = src.below(8);
    if (kind == 0) return u"";
    if (kind <= 2 && !m.fileName.empty()) // the document's own, maybe spelt another way
        return kind == 1 ? m.fileName : m.dir + u"/./" + m.fileName.substr(m.dir.size() + 1);
    return m.dir + u"/" + kNames[src.below(std::size(kNames))];
}

// What a command asks the user for, queued as the fake hands it out. Only commands that
// ask for file names touch the folder.
void fileNames(ChoiceSource& src, Model& m) {
    for (std::uint32_t n = src.below(4); n > 0; --n)
        m.names.push_back(fileReply(src, m));
}
void patterns(ChoiceSource& src, Model& m) {
    for (std::uint32_t n = 1 + src.below(3); n > 0; --n)
        m.prompts.push_back(promptReply(src, m.doc));
}
void pageNumber(ChoiceSource& src, Model& m) {
    static const char16_t* pages[] = {u"", u"-1", u"2.5", u" 2 ", u"\t2\u3000", u"1.5", u"abc"};
    m.inputs.push_back(src.chance(2) ? dec(src.below(static_cast<std::uint32_t>(m.lastPage() + 3)))
                                     : pages[src.below(std::size(pages))]);
}
void encryptKey(ChoiceSource& src, Model& m) {
    std::u16string key;
    for (std::uint32_t n = src.below(14); n > 0; --n)
        key += static_cast<char16_t>(0x21 + src.below(0x5E));
    if (src.chance(4))
        key.insert(src.below(static_cast<std::uint32_t>(key.size() + 1)), 1,
                   u" 中\x7F"[src.below(3)]);
    m.inputs.push_back(key);
}
void nothingAsked(ChoiceSource&, Model&) {}

// The commands played, a row each: the menu entry's name, the model's step, what the
// command asks for, and the commands that go on from what it began. Those come more often
// than chance alone would bring them: replace next after a replacement, ...
struct CommandRow {
    const char* name;
    void (Model::*run)(int index);
    void (*replies)(ChoiceSource&, Model&);
    const char* followedBy;
};
const CommandRow kCommandRows[] = {
    {"Hunt", &Model::hunt, patterns, " Swap CopyOrCut Hnext "},
    {"Hnext", &Model::hnext, nothingAsked, ""},
    {"Swap", &Model::swap, patterns, " SwapNext "},
    {"SwapCake", &Model::swapCake, patterns, ""},
    {"SwapNext", &Model::swapNextCommand, nothingAsked, ""},
    {"CopyOrCut", &Model::copyOrCut, nothingAsked, " DelAll Quash Insert "},
    {"Insert", &Model::insert, patterns, " Quash CopyOrCut "},
    {"Quash", &Model::quash, nothingAsked, ""},
    {"DelAll", &Model::delAll, nothingAsked, ""},
    {"PageNum", &Model::pageNum, pageNumber, ""},
    {"Encrypt", &Model::encrypt, encryptKey, ""},
    {"Fnew", &Model::fnew, fileNames, ""},
    {"Fopen", &Model::fopen, fileNames, ""},
    {"Fsave", &Model::fsaveCommand, fileNames, ""},
    {"FsaveAs", &Model::fsaveAs, fileNames, ""},
    {"Fhelp", &Model::fhelp, fileNames, ""},
    {"Renovate", &Model::renovateCommand, nothingAsked, ""},
    {"文件", &Model::renovateCommand, nothingAsked, ""},
};
// The same for what is not a command: a click, another program's change to a file.
const char* const kAfterClick = " Swap CopyOrCut Insert Hnext SwapCake ";
const char* const kAfterOtherProgram = " Fsave FsaveAs Fopen ";

// Every menu entry of the table, each as often as the others.
struct Command {
    const MenuItem* item;
    const CommandRow* row;
};
const std::vector<Command>& commands() {
    static const std::vector<Command> all = [] {
        std::vector<Command> out;
        for (const MenuItem& item : menuTree())
            for (const CommandRow& row : kCommandRows)
                if (item.run && item.name == row.name) out.push_back({&item, &row});
        return out;
    }();
    return all;
}

enum class Kind { Menu, Click, DoubleClick, RightClick, Scroll, Other, Drop, Close };

struct Step {
    Kind kind = Kind::Menu;
    const Command* command = nullptr;
    int offset = 0; // in-page offset of the cell
    std::vector<int> values;
    std::string file; // another program's: the file, what it does to it (values) and the bytes
    Vec bytes;
    std::vector<std::u16string> dropped;
};

Step makeStep(ChoiceSource& src, Model& m) {
    Step s;
    const std::uint32_t pick = src.below(100);
    const auto onPage = static_cast<std::uint32_t>(std::min<std::int64_t>(512, m.len() - m.ps()));
    s.offset = static_cast<int>(src.chance(3)   ? src.below(512)
                                : src.chance(4) ? std::min(511u, onPage - src.below(2))
                                                : src.below(onPage));
    s.kind = pick < 50   ? Kind::Menu
             : pick < 67 ? Kind::Click
             : pick < 84 ? Kind::DoubleClick
             : pick < 89 ? Kind::RightClick
             : pick < 96 ? Kind::Scroll
             : pick < 98 ? Kind::Other
             : pick < 99 ? Kind::Drop
                         : Kind::Close;
    std::vector<const Command*> next;
    for (const Command& c : commands())
        if (std::string_view(m.followUps).find(" " + c.item->name + " ") != std::string_view::npos)
            next.push_back(&c);
    if (s.kind == Kind::Menu)
        s.command = next.empty() || src.chance(4)
                        ? &commands()[src.below(static_cast<std::uint32_t>(commands().size()))]
                        : next[src.below(static_cast<std::uint32_t>(next.size()))];
    for (std::uint32_t n = s.kind == Kind::Scroll ? 1 + src.below(3) : 0; n > 0; --n)
        s.values.push_back(
            static_cast<int>(src.below(static_cast<std::uint32_t>(m.lastPage() + 3))) - 1);
    if (s.kind == Kind::Other) { // mostly the document's own file
        const bool own =
            !m.fileName.empty() && !src.chance(3) && m.target(m.fileName) <= SaveTarget::Existing;
        s.file = own ? m.key(m.fileName) : nativePath(kNames[src.below(4)]);
        s.values = {static_cast<int>(src.below(4))};
        s.bytes = src.chance(8) ? Vec() : someBytes(src, m.doc, 1100); // Open refuses empty ones
    }
    // The replies, queued as the fake hands them out.
    for (std::uint32_t n = src.below(6), a; n > 0; --n)
        m.answers.push_back((a = src.below(6)) < 3 ? Answer::Yes
                            : a < 5                ? Answer::No
                                                   : Answer::Cancel);
    for (std::uint32_t n = s.kind == Kind::Drop ? 1 + src.below(3) : 0; n > 0; --n)
        s.dropped.push_back(m.dir + u"/" + kNames[src.below(std::size(kNames))]);
    if (s.command) s.command->row->replies(src, m);
    if (s.kind >= Kind::Drop) fileNames(src, m);
    if (s.kind == Kind::RightClick && s.offset % 3)
        m.inputs.push_back(src.chance(5) ? u"" : text(src, m.doc));
    const bool click = s.kind == Kind::Click || s.kind == Kind::DoubleClick;
    m.followUps = s.command               ? s.command->row->followedBy
                  : click                 ? kAfterClick
                  : s.kind == Kind::Other ? kAfterOtherProgram
                                          : "";
    return s;
}

std::string describe(const Step& s, const Model& m) {
    std::ostringstream d;
    d << std::array{"menu",        "click at",        "double click at",
                    "right click", "scroll bar to",   "another program:",
                    "drop",        "close the window"}[int(s.kind)];
    if (s.command) d << " " << s.command->item->name << "(" << s.command->item->index << ")";
    if (s.kind == Kind::Click || s.kind == Kind::DoubleClick) d << " " << s.offset;
    for (int v : s.values)
        d << " "
          << (s.kind == Kind::Other ? std::array{"rewrite", "touch", "replace", "remove"}[v]
                                    : std::to_string(v));
    if (s.kind == Kind::Other)
        d << " " << s.file << " with " << s.bytes.size() << " bytes " << hexOf(s.bytes, 0, 8);
    for (const auto& n : s.dropped)
        d << " " << utf8(n.substr(m.dir.size() + 1));
    for (const auto& n : m.names)
        d << " file=" << (n.empty() ? "Cancel" : utf8(n.substr(m.dir.size() + 1)));
    for (const auto& p : m.prompts)
        d << " prompt=" << (p ? shown(*p) : "Cancel");
    for (const auto& i : m.inputs)
        d << " input=" << shown(i);
    for (Answer a : m.answers)
        d << (a == Answer::Yes ? " Yes" : a == Answer::No ? " No" : " Cancel");
    d << "   [page " << m.page << ", " << m.len() << " bytes]";
    return d.str();
}

// Another program's change to a file. What it moves aside stays in the folder "gone":
// no file the editor noted ever hands its inode on.
void otherProgram(const Step& s, Model& m) {
    namespace fs = std::filesystem;
    static int moment = 0; // times near the clock's epoch, far from now: each one is new
    const std::string path = utf8(m.dir) + "/" + s.file;
    const auto old = m.files.find(s.file);
    const int change = old == m.files.end() ? Rewrite : s.values[0];
    fs::file_time_type time{std::chrono::seconds(++moment)};
    if (change >= Replace) { // a new file of the same length and time, or none
        time = fs::last_write_time(path);
        fs::rename(path, utf8(m.dir) + "/../gone/" + std::to_string(moment));
    }
    if (change == Remove)
        m.files.erase(old);
    else if (change == Rewrite || change == Replace)
        writeBytes(path, change == Rewrite ? m.files[s.file] = s.bytes : old->second);
    if (change != Remove) fs::last_write_time(path, time);
    m.behind |= !m.seenName.empty() && m.key(m.seenName) == s.file;
}

// Returns whether the window closed.
bool play(const Step& s, Form1& f, Model& m) {
    ListBox& grid = s.offset % 2 ? f.NumberBox : f.ChrBox; // either grid selects the same cell
    switch (s.kind) {
    case Kind::Menu:
        (m.*s.command->row->run)(s.command->item->index);
        s.command->item->run(f);
        break;
    case Kind::Click:
        m.click(s.offset);
        grid.userClick(cellOf(s.offset));
        break;
    case Kind::DoubleClick:
        m.doubleClick(s.offset);
        grid.userDblClick(cellOf(s.offset));
        break;
    case Kind::RightClick: // on the character grid the pairing fix, on the hex grid the code tool
        if (s.offset % 3) {
            m.codeTool();
            f.NumberBox.userMouseDown(s.offset % 3 == 1 ? kRightButton : kMiddleButton, 0, 0, 0);
            break;
        }
        m.rightClickCharacters();
        f.ChrBox.userMouseDown(kRightButton, 0, 0, 0);
        break;
    case Kind::Scroll:
        for (int v : s.values)
            m.turnTo(std::clamp<std::int64_t>(v, 0, m.lastPage()));
        for (int v : s.values)
            s.values.size() == 1 ? f.VscrollBar.userChange(v) : f.VscrollBar.userScroll(v);
        break;
    case Kind::Other:
        otherProgram(s, m);
        break;
    case Kind::Drop:
        m.drop(s.dropped);
        f.DropFiles(s.dropped);
        break;
    case Kind::Close:
        m.closed = m.savePrompt();
        return !f.Form_QueryUnload();
    }
    return false;
}

// Documents of a few bytes to a few pages, their lengths often at a page's edge, of
// random bytes, of a few values, or of GBK characters; or near 16 MiB.
Vec makeDocument(ChoiceSource& src, bool huge) {
    static const std::uint32_t sizes[] = {1, 2, 16, 511, 512, 513, 1023, 1024, 1025, 1536};
    Vec doc(huge            ? kMaxDocument - src.below(2) * src.below(1024)
            : src.chance(3) ? sizes[src.below(std::size(sizes))]
                            : 1 + src.below(src.chance(4) ? 3000 : 1100));
    static const std::uint8_t few[] = {0x00, 0x41, 0x42, 0xB0, 0xD6, 0xD0, 0xFF};
    const std::uint32_t style = huge ? 3 : src.below(3);
    for (auto& b : doc)
        b = static_cast<std::uint8_t>(style == 0      ? src.below(256)
                                      : style == 1    ? few[src.below(std::size(few))]
                                      : style == 3    ? 0x41
                                      : src.chance(3) ? 0xB0 + src.below(0x48)
                                                      : 0x41 + src.below(3));
    for (int i = huge ? 2000 : 0; i > 0; --i)
        doc[src.below(static_cast<std::uint32_t>(doc.size()))] =
            static_cast<std::uint8_t>(src.below(256));
    return doc;
}

// The steps of the episode being played, for a sanitizer's report.
const std::vector<std::string>* gLog = nullptr;
void printLog() {
    for (std::size_t i = 0; gLog && i < gLog->size(); ++i)
        std::fprintf(stderr, "  %zu: %s\n", i, (*gLog)[i].c_str());
}

// One episode: a document, then steps until one fails or the steps chosen run out. One
// in 400 starts near 16 MiB.
RunResult runEpisode(ChoiceSource& src) {
    FakePlatform fake;
    Form1 f(fake);
    f.Form_Load();
    Model m;
    const bool huge = src.chance(400);
    m.doc = makeDocument(src, huge);
    f.loadDocument(Bytes(m.doc.begin(), m.doc.end()));
    fake.clearRecords();
    // The files, and what another program moved aside; in memory if it can: a save syncs.
    TempFolder root(std::filesystem::is_directory("/dev/shm") ? "/dev/shm" : "/tmp");
    std::filesystem::create_directories(root.file("files/sub"));
    std::filesystem::create_directory(root.file("gone"));
    m.dir = ascii(root.file("files"));
    for (const std::u16string& name : {kNames[0], kNames[1], kNames[2], kNames[3]})
        if (src.chance(2))
            writeBytes(root.file("files/" + nativePath(name)),
                       m.files[nativePath(name)] = someBytes(src, m.doc, 1100));
    std::vector<std::string> log{"start: " + std::to_string(m.len()) + " bytes " +
                                 hexOf(m.doc, 0, 16)};
    gLog = &log;
    if (__sanitizer_set_death_callback) __sanitizer_set_death_callback(printLog);

    RunResult r;
    r.episodes = 1;
    const std::uint32_t steps = 1 + src.below(huge ? 6 : 60);
    std::string bad = check(f, m, fake, false, true);
    std::string unseen; // the first question of a step asked over another page or highlight
    fake.onQuestion = [&] {
        std::pair<std::int64_t, std::bitset<512>> seen{f.CurPage, {}}, want{-1, {}};
        for (int o = 0; o < 512; ++o)
            seen.second[o] = f.NumberBox.selected(cellOf(o));
        if (!m.atQuestions.empty()) want = m.atQuestions.front(), m.atQuestions.pop_front();
        if (unseen.empty() && seen != want)
            unseen = "question " + std::to_string(fake.messages.size()) + " asked over page " +
                     std::to_string(seen.first) + ", model page " + std::to_string(want.first);
    };
    for (; bad.empty() && !m.closed && r.steps < steps; ++r.steps) {
        const Step s = makeStep(src, m);
        log.push_back(describe(s, m));
        fake.answers = m.answers;
        fake.prompts = m.prompts;
        fake.inputs = m.inputs;
        fake.files = m.names;
        fake.clearRecords();
        fake.clipboard.reset();
        m.shown = {};
        const bool closed = play(s, f, m);
        m.answers.clear();
        m.prompts.clear();
        m.inputs.clear();
        m.names.clear();
        const bool onDisk =
            s.kind >= Kind::Other || (s.command && s.command->row->replies == fileNames);
        bad = unseen.empty() ? check(f, m, fake, closed, onDisk) : unseen;
        unseen.clear();
        m.atQuestions.clear();
        if (!bad.empty()) bad = "after step " + std::to_string(r.steps + 1) + ": " + bad;
    }
    gLog = nullptr;
    if (bad.empty()) return r;
    r.ok = false;
    r.report = bad + "\n";
    for (std::size_t i = 0; i < log.size(); ++i)
        r.report += "  " + std::to_string(i) + ": " + log[i] + "\n";
    return r;
}

} // namespace

RunResult runSeeded(std::uint64_t seed, std::uint64_t steps, std::int64_t only) {
    RunResult out;
    const std::uint64_t first = std::max<std::int64_t>(only, 0);
    for (std::uint64_t e = first; out.ok && out.steps < steps && (only < 0 || e == first); ++e) {
        ChoiceSource src{seed ^ (e * 0x2545F4914F6CDD1DULL)};
        const RunResult r = runEpisode(src);
        out.steps += r.steps;
        out.episodes += 1;
        out.ok = r.ok;
        if (!r.ok)
            out.report = "episode " + std::to_string(e) + " of seed " + std::to_string(seed) +
                         " failed; replay: scripts/random.sh --seed " + std::to_string(seed) +
                         " --episode " + std::to_string(e) + "\n" + r.report;
    }
    return out;
}

} // namespace quillory::random
