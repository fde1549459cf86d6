#include "random/Driver.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <exception>
#include <fstream>
#include <functional>
#include <optional>
#include <sstream>
#include <system_error>

#include "core/Form1.h"
#include "platform/CodePage936.h"
#include "support/FakePlatform.h"
#include "window/Menu.h"

// Present in the sanitizer runtimes only: lets a sanitizer's report end with the steps
// that led to it.
extern "C" __attribute__((weak)) void __sanitizer_set_death_callback(void (*)(void));

namespace quillory::random {

// ---- choice sources ----

std::uint64_t PrngSource::next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

std::uint32_t PrngSource::below(std::uint32_t n) {
    if (n <= 1) return 0;
    return static_cast<std::uint32_t>(next() % n);
}

std::uint32_t ByteSource::below(std::uint32_t n) {
    if (n <= 1) return 0;
    // As many bytes as the range needs, so that small choices cost one byte.
    std::uint32_t value = 0;
    for (std::uint64_t span = 1; span < n; span <<= 8) {
        const std::uint8_t b = pos_ < size_ ? data_[pos_] : 0;
        ++pos_;
        value = (value << 8) | b;
    }
    return value % n;
}

std::uint64_t episodeSeed(std::uint64_t seed, std::uint64_t episode) {
    PrngSource a(seed ^ 0x5151F00DULL);
    PrngSource b(episode * 0x2545F4914F6CDD1DULL + 1);
    return (static_cast<std::uint64_t>(a.below(0xFFFFFFFFu)) << 32 | b.below(0xFFFFFFFFu)) ^
           episode;
}

namespace {

using Bytes = std::vector<std::uint8_t>; // the model's plain vector
using quillory::testing::FakePlatform;
namespace fs = std::filesystem;

constexpr std::int64_t kLimit = 16 * 1024 * 1024;

// ---- text helpers of the checker's own ----

std::string hex2(std::uint8_t b) {
    static const char* digits = "0123456789ABCDEF";
    return {digits[b >> 4], digits[b & 15]};
}

std::u16string u16(const std::string& ascii) {
    return {ascii.begin(), ascii.end()};
}

std::string upperHex(std::uint64_t v) {
    static const char* digits = "0123456789ABCDEF";
    std::string s;
    do {
        s.insert(s.begin(), digits[v & 15]);
        v >>= 4;
    } while (v != 0);
    return s;
}

std::string grouped(std::int64_t v) {
    std::string digits = std::to_string(v);
    std::string out;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i != 0 && (digits.size() - i) % 3 == 0) out.push_back(',');
        out.push_back(digits[i]);
    }
    return out;
}

// Readable and unambiguous: printable ASCII as it is, everything else escaped; long
// texts shortened.
std::string shown(const std::u16string& text) {
    std::string out = "\"";
    const std::size_t limit = 48;
    for (std::size_t i = 0; i < text.size() && i < limit; ++i) {
        const char16_t c = text[i];
        if (c == u'"' || c == u'\\') {
            out.push_back('\\');
            out.push_back(static_cast<char>(c));
        } else if (c >= 0x20 && c < 0x7F) {
            out.push_back(static_cast<char>(c));
        } else {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04X", static_cast<unsigned>(c));
            out += buf;
        }
    }
    out.push_back('"');
    if (text.size() > limit) out += "...(" + std::to_string(text.size()) + " units)";
    return out;
}

std::string hexOf(const Bytes& b, std::size_t from, std::size_t count) {
    std::string s;
    for (std::size_t i = from; i < from + count && i < b.size(); ++i)
        s += hex2(b[i]);
    return s;
}

// Cell index k of a grid shows in-page offset (k mod 32) * 16 + k div 32.
int offsetOfCell(int k) {
    return (k % 32) * 16 + k / 32;
}
int cellOfOffset(int o) {
    return (o % 16) * 32 + o / 16;
}

// ---- replies, as the fake takes them ----

struct Replies {
    std::deque<Answer> answers;
    std::deque<std::u16string> inputs;
    std::deque<std::optional<std::u16string>> prompts;
    std::deque<std::u16string> files;

    Answer question(Buttons buttons) {
        if (answers.empty()) return buttons == Buttons::YesNo ? Answer::No : Answer::Cancel;
        const Answer a = answers.front();
        answers.pop_front();
        return a;
    }
    std::u16string input() {
        if (inputs.empty()) return {};
        std::u16string s = inputs.front();
        inputs.pop_front();
        return s;
    }
    std::optional<std::u16string> prompt() {
        if (prompts.empty()) return std::nullopt;
        auto s = prompts.front();
        prompts.pop_front();
        return s;
    }
    std::u16string file() {
        if (files.empty()) return {};
        std::u16string s = files.front();
        files.pop_front();
        return s;
    }
};

std::string describe(const Replies& r) {
    std::string s;
    if (!r.answers.empty()) {
        s += " answers=[";
        for (std::size_t i = 0; i < r.answers.size(); ++i) {
            const Answer a = r.answers[i];
            s += (i ? "," : "");
            s += a == Answer::Yes      ? "Yes"
                 : a == Answer::No     ? "No"
                 : a == Answer::Cancel ? "Cancel"
                                       : "OK";
        }
        s += "]";
    }
    if (!r.prompts.empty()) {
        s += " prompts=[";
        for (std::size_t i = 0; i < r.prompts.size(); ++i)
            s += (i ? "," : "") + (r.prompts[i] ? shown(*r.prompts[i]) : std::string("Cancel"));
        s += "]";
    }
    if (!r.inputs.empty()) {
        s += " inputs=[";
        for (std::size_t i = 0; i < r.inputs.size(); ++i)
            s += (i ? "," : "") + shown(r.inputs[i]);
        s += "]";
    }
    if (!r.files.empty()) {
        s += " files=[";
        for (std::size_t i = 0; i < r.files.size(); ++i)
            s += (i ? "," : "") + shown(r.files[i]);
        s += "]";
    }
    return s;
}

// ---- the reference model ----

// What the editor's state was just before a step, as far as the model reads it.
struct Before {
    std::int64_t pageStart = 0;
    std::int64_t curPage = 0;
    std::int64_t lastPage = 0;
    std::int32_t selStart = kNone;
    std::int32_t selSpan = kNone;
    std::int32_t findLast = kNone;
};

struct Model {
    Bytes doc;
    bool dirty = false;
    std::u16string fileName;

    // The records a cut, an insert and a replacement leave, kept from what the model
    // itself did: absolute offsets and the bytes concerned.
    bool cutOpen = false;
    std::int64_t cutAt = 0;
    Bytes cutBytes;
    bool insertOpen = false;
    std::int64_t insertAt = 0;
    std::int64_t insertLen = 0;
    bool swapOpen = false;
    Bytes swapPattern;
    Bytes swapData;
    std::int64_t swapNext = 0;

    // The pairing phase of the character grid and whether the view may still show the
    // shifted pairing of the last flip request.
    bool charPhase = false;
    bool maybeShifted = false;
    // New fills the character grid with placeholders rather than the characters of its
    // zero bytes; the first redraw after it shows the characters.
    bool maybePlaceholders = false;

    void newDocument() {
        doc.assign(512, 0);
        maybePlaceholders = true;
        dirty = false;
        fileName.clear();
        cutOpen = insertOpen = swapOpen = false;
    }
};

// What a step must leave beyond the document.
struct Expect {
    std::vector<std::u16string> messages;    // each must have been shown
    std::optional<std::u16string> clipboard; // the clipboard text afterwards
    std::optional<std::int64_t> curPage;
    std::optional<std::u16string> toolTip; // of the grid under the mouse
    bool toolTipHex = true;
    // A save the model expects to succeed: the file must then hold these bytes.
    std::optional<std::pair<std::u16string, Bytes>> savedFile;
};

class Reference {
  public:
    Reference(Model& m, Replies r, const Before& b) : m_(m), r_(std::move(r)), b_(b) {}
    Expect expect;

    std::int64_t length() const { return static_cast<std::int64_t>(m_.doc.size()); }
    std::int64_t lastOff() const { return length() - 1; }

    // Hex digits, two to a byte, spaces anywhere; spaces alone count as no reply.
    std::optional<Bytes> numeric(int cType, std::int64_t iLen) {
        for (;;) {
            const std::optional<std::u16string> reply = r_.prompt();
            if (!reply || reply->find_first_not_of(u' ') == std::u16string::npos) {
                expect.messages.push_back(u"无效数字");
                return std::nullopt;
            }
            std::string digits;
            bool illegal = false;
            for (char16_t c : *reply) {
                if (c == u' ') continue;
                if (c >= u'0' && c <= u'9')
                    digits.push_back(static_cast<char>(c));
                else if ((c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F'))
                    digits.push_back(static_cast<char>(c & ~0x20));
                else {
                    illegal = true;
                    break;
                }
            }
            if (illegal || digits.size() % 2 != 0) continue;
            const std::int64_t m = static_cast<std::int64_t>(digits.size() / 2) - 1;
            if (cType < 3 && ((iLen >= 0 && m > iLen) || m > lastOff() - 1)) continue;
            Bytes out;
            for (std::size_t k = 0; k + 1 < digits.size(); k += 2)
                out.push_back(
                    static_cast<std::uint8_t>(std::stoi(digits.substr(k, 2), nullptr, 16)));
            return out;
        }
    }

    std::optional<Bytes> character(int cType, bool ansi, std::int64_t iLen) {
        for (;;) {
            const std::optional<std::u16string> reply = r_.prompt();
            if (!reply || reply->empty()) {
                expect.messages.push_back(u"无效字符");
                return std::nullopt;
            }
            Bytes out;
            if (ansi) {
                const auto gbk = CodePage936::instance().toGbk(*reply);
                out.assign(gbk.begin(), gbk.end());
            } else {
                for (char16_t c : *reply) {
                    out.push_back(static_cast<std::uint8_t>(c & 0xFF));
                    out.push_back(static_cast<std::uint8_t>(c >> 8));
                }
            }
            const std::int64_t n = static_cast<std::int64_t>(out.size());
            if (cType == 2 && ((iLen >= 0 && n - 1 > iLen) || n - 1 > lastOff() - 1)) continue;
            return out;
        }
    }

    // ---- files ----

    fs::path pathOf(const std::u16string& name) const {
        return fs::path(std::string(name.begin(), name.end()));
    }
    bool writable(const std::u16string& name) const {
        std::error_code ec;
        const fs::path p = pathOf(name);
        return fs::is_directory(p.parent_path(), ec) && !fs::is_directory(p, ec);
    }
    bool save(const std::u16string& name) {
        if (!writable(name)) {
            expect.messages.push_back(u"文件保存失败！");
            return false;
        }
        m_.dirty = false;
        expect.savedFile = std::make_pair(name, m_.doc);
        return true;
    }
    bool fsave() {
        if (m_.fileName.empty()) {
            m_.fileName = r_.file();
            if (m_.fileName.empty()) return false;
        }
        return save(m_.fileName);
    }
    bool savePrompt() {
        if (!m_.dirty) return true;
        const Answer a = r_.question(Buttons::YesNoCancel);
        if (a == Answer::Cancel) return false;
        if (a == Answer::Yes) return fsave();
        return true;
    }

    void fnew() {
        if (!savePrompt()) return;
        m_.newDocument();
        expect.curPage = 0;
    }

    void fopen() {
        if (!savePrompt()) return;
        const std::u16string name = r_.file();
        if (name.empty()) {
            expect.messages.push_back(u"无此文件");
            return;
        }
        std::error_code ec;
        const fs::path p = pathOf(name);
        if (expect.savedFile && expect.savedFile->first == name) {
            // The save prompt's Yes has just written this very file.
            takeOpened(name, expect.savedFile->second);
            return;
        }
        if (!fs::is_regular_file(p, ec)) return;
        const auto size = fs::file_size(p, ec);
        if (ec || size == 0 || static_cast<std::int64_t>(size) > kLimit) return;
        std::ifstream in(p, std::ios::binary);
        Bytes bytes(size);
        in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(size));
        if (!in) return;
        takeOpened(name, std::move(bytes));
    }

    void takeOpened(const std::u16string& name, Bytes bytes) {
        if (bytes.empty() || static_cast<std::int64_t>(bytes.size()) > kLimit) return;
        m_.doc = std::move(bytes);
        m_.dirty = false;
        m_.fileName = name;
        m_.cutOpen = m_.insertOpen = m_.swapOpen = false;
        expect.curPage = 0;
    }

    void fsaveAs() {
        const std::u16string name = r_.file();
        if (name.empty()) return;
        m_.fileName = name;
        save(name);
    }

    // ---- the transform ----

    void encrypt() {
        if (length() == 1) {
            expect.messages.push_back(u"没有文件！");
            return;
        }
        const std::u16string key = r_.input();
        std::uint8_t k = 0;
        bool bad = false;
        for (char16_t c : key) {
            if (c < 0x21 || c > 0x7E) {
                bad = true;
                break;
            }
            const std::uint8_t mask = static_cast<std::uint8_t>(c & 0x1F);
            k ^= mask == 0 ? 0x1F : mask;
        }
        for (std::uint8_t& b : m_.doc)
            b ^= k;
        expect.messages.push_back(bad ? u"密鈅无效！" : u"完成");
    }

    // ---- pages ----

    void pageNum(int index) {
        if (index == 0) expect.curPage = std::max<std::int64_t>(b_.curPage - 1, 0);
        if (index == 1) expect.curPage = std::min(b_.curPage + 1, b_.lastPage);
        if (index == 2) {
            const std::u16string reply = r_.input();
            // Plain whole numbers only; anything else is left to the invariants.
            std::string digits(reply.begin(), reply.end());
            if (!digits.empty() && digits.size() < 9 &&
                std::all_of(digits.begin(), digits.end(),
                            [](char c) { return c >= '0' && c <= '9'; }) &&
                std::u16string(digits.begin(), digits.end()) == reply) {
                const std::int64_t n = std::stoll(digits) - 1;
                if (n < 0 || n > b_.lastPage) {
                    expect.messages.push_back(u"无效页号!");
                    expect.curPage = b_.curPage;
                } else {
                    expect.curPage = n;
                }
            }
        }
    }

    // ---- find and replace ----

    void hunt() {
        m_.cutOpen = false;
        m_.swapOpen = false;
    }

    void swap(int index) {
        if (b_.selStart < 0) {
            expect.messages.push_back(u"没有替换起点");
            return;
        }
        const std::int64_t S = b_.pageStart + b_.selStart;
        if (S + b_.selSpan > lastOff()) {
            expect.messages.push_back(u"偏移量超界！");
            return;
        }
        const std::int64_t span =
            (b_.selSpan == kNone && b_.findLast >= 0) ? b_.findLast : b_.selSpan;
        const std::optional<Bytes> data =
            index == 1 ? numeric(2, span) : character(2, index == 2, span);
        if (!data) return;
        const std::int64_t k = static_cast<std::int64_t>(data->size()) - 1;
        if (S + k > lastOff()) {
            expect.messages.push_back(u"偏移量超界！");
            return;
        }
        const std::int64_t swapLen = std::max(span, k);
        const std::int64_t end = std::min(S + swapLen, lastOff());
        // What replace next looks for is the data this replacement replaced.
        m_.swapPattern.assign(m_.doc.begin() + S, m_.doc.begin() + end + 1);
        m_.swapData = *data;
        m_.swapNext = S + swapLen + 1;
        m_.swapOpen = true;
        std::copy(data->begin(), data->end(), m_.doc.begin() + S);
        m_.cutOpen = false;
        m_.dirty = true;
    }

    void swapCake(int index) {
        if (b_.selStart < 0 || b_.selSpan < 1) {
            expect.messages.push_back(u"块替换必须有起点和终点！");
            return;
        }
        const std::int64_t S = b_.pageStart + b_.selStart;
        if (S + b_.selSpan > lastOff()) {
            expect.messages.push_back(u"偏移量超界！");
            return;
        }
        if (index == 0) {
            const std::optional<Bytes> fill = numeric(0, b_.selSpan);
            if (!fill) return;
            for (std::int64_t k = 0; k <= b_.selSpan; ++k)
                m_.doc[S + k] = (*fill)[k % fill->size()];
        } else {
            const std::optional<Bytes> x = numeric(4, -1);
            if (!x) return;
            const std::optional<Bytes> y = numeric(4, -1);
            if (!y) return;
            for (std::int64_t k = 0; k <= b_.selSpan; ++k)
                if (m_.doc[S + k] == (*x)[0]) m_.doc[S + k] = (*y)[0];
        }
        m_.dirty = true;
    }

    // First occurrence of pattern starting at or after from, or -1.
    std::int64_t find(const Bytes& pattern, std::int64_t from) const {
        if (pattern.empty() || from < 0 || from > length()) return -1;
        const auto it =
            std::search(m_.doc.begin() + from, m_.doc.end(), pattern.begin(), pattern.end());
        return it == m_.doc.end() ? -1 : it - m_.doc.begin();
    }

    void swapNext(int index) {
        if (!m_.swapOpen) {
            expect.messages.push_back(u"没有替换起点或没有先进行常规替换");
            return;
        }
        std::int64_t pos = m_.swapNext;
        const auto len = static_cast<std::int64_t>(m_.swapPattern.size());
        std::int64_t n = 0;
        for (;;) {
            const std::int64_t P = find(m_.swapPattern, pos);
            if (P < 0) break;
            pos = P + len;
            if (index == 0) {
                const Answer a = r_.question(Buttons::YesNoCancel);
                if (a == Answer::Cancel) break;
                if (a == Answer::No) continue;
            }
            std::copy(m_.swapData.begin(), m_.swapData.end(), m_.doc.begin() + P);
            m_.dirty = true;
            ++n;
        }
        if (index == 1 && n >= 1)
            expect.messages.push_back(u"幸不辱命，全部替换完毕（共替换" + u16(std::to_string(n)) +
                                      u"次）！");
        m_.swapOpen = false;
    }

    // ---- blocks ----

    void copyOrCut(int index) {
        if (b_.selStart < 0 || (b_.selSpan < -1 && b_.findLast < 0)) {
            expect.messages.push_back(u"没有复制或剪切起点");
            return;
        }
        const std::int64_t S = b_.pageStart + b_.selStart;
        const std::int64_t n = b_.selSpan >= -1 ? b_.selSpan + 1 : std::int64_t{b_.findLast} + 1;
        if (S > lastOff() || S + n - 1 > lastOff()) {
            expect.messages.push_back(u"偏移量超界！");
            return;
        }
        const std::int64_t count = n > 0 ? n : length() - S;
        expect.clipboard =
            u16(hexOf(m_.doc, static_cast<std::size_t>(S), static_cast<std::size_t>(count)));
        if (index == 0) return;
        cutAt(S, count);
    }

    void cutAt(std::int64_t S, std::int64_t count) {
        Bytes removed(m_.doc.begin() + S, m_.doc.begin() + S + count);
        m_.doc.erase(m_.doc.begin() + S, m_.doc.begin() + S + count);
        if (m_.doc.empty()) {
            m_.newDocument();
            return;
        }
        m_.cutOpen = true;
        m_.cutAt = S;
        m_.cutBytes = std::move(removed);
        m_.insertOpen = false;
        m_.swapOpen = false;
        m_.dirty = true;
    }

    bool insertAt(std::int64_t P, const Bytes& data) {
        if (length() + static_cast<std::int64_t>(data.size()) > kLimit) {
            expect.messages.push_back(u"文件长度超界！");
            return false;
        }
        m_.doc.insert(m_.doc.begin() + P, data.begin(), data.end());
        m_.insertOpen = true;
        m_.insertAt = P;
        m_.insertLen = static_cast<std::int64_t>(data.size());
        m_.cutOpen = false;
        m_.dirty = true;
        return true;
    }

    void insert(int index) {
        if (b_.selStart < 0) {
            expect.messages.push_back(u"没有插入起点");
            return;
        }
        const std::int64_t P = b_.pageStart + b_.selStart;
        if (P > length()) {
            expect.messages.push_back(u"只能紧挨着文件末尾插入！");
            return;
        }
        const std::optional<Bytes> data = index == 1 ? numeric(3, 0) : character(3, index == 2, 0);
        if (!data) return;
        insertAt(P, *data);
    }

    void quash() {
        if (!m_.cutOpen && !m_.insertOpen) {
            expect.messages.push_back(u"没有剪切或插入操作");
            return;
        }
        if (m_.cutOpen) {
            const Bytes back = m_.cutBytes;
            insertAt(m_.cutAt, back);
        } else if (m_.insertAt + m_.insertLen <= length()) {
            expect.clipboard = u16(hexOf(m_.doc, static_cast<std::size_t>(m_.insertAt),
                                         static_cast<std::size_t>(m_.insertLen)));
            cutAt(m_.insertAt, m_.insertLen);
        }
        m_.cutOpen = false;
        m_.insertOpen = false;
    }

    void delAll(int index) {
        if (!m_.cutOpen) {
            expect.messages.push_back(u"没有删除起点或没有先进行剪切");
            return;
        }
        const Bytes pattern = m_.cutBytes;
        const auto n = static_cast<std::int64_t>(pattern.size());
        if (n == 0 || m_.cutAt + n - 1 > lastOff()) return;
        std::int64_t c = 0;
        if (index == 1) {
            // One by one, each search resuming where the deleted data stood: the bytes
            // after a deletion are never joined with those before it.
            Bytes out(m_.doc.begin(), m_.doc.begin() + m_.cutAt);
            std::int64_t i = m_.cutAt;
            while (i < length()) {
                if (i + n <= length() &&
                    std::equal(pattern.begin(), pattern.end(), m_.doc.begin() + i)) {
                    i += n;
                    ++c;
                } else {
                    out.push_back(m_.doc[i++]);
                }
            }
            m_.doc = std::move(out);
            if (c >= 1)
                expect.messages.push_back(u"幸不辱命，有关数据全部删除完毕（共删除" +
                                          u16(std::to_string(c)) + u"次）！");
        } else {
            std::int64_t q = m_.cutAt;
            while (q <= lastOff()) {
                const std::int64_t P = find(pattern, q);
                if (P < 0) break;
                const Answer a = r_.question(Buttons::YesNoCancel);
                if (a == Answer::Cancel) break;
                if (a == Answer::No) {
                    q = P + n;
                    continue;
                }
                ++c;
                m_.doc.erase(m_.doc.begin() + P, m_.doc.begin() + P + n);
                if (m_.doc.empty()) break;
                q = P;
            }
        }
        if (c >= 1 && m_.doc.size() <= 1) {
            m_.newDocument();
            return;
        }
        if (c >= 1) m_.dirty = true;
        m_.cutOpen = false;
    }

    // ---- mouse ----

    void doubleClick() {
        m_.cutOpen = false;
        m_.swapOpen = false;
    }

    void chrRightClick() {
        if (m_.doc[b_.pageStart] >= 0x80) {
            m_.charPhase = !m_.charPhase;
            m_.maybeShifted = m_.charPhase;
        }
    }

  private:
    Model& m_;
    Replies r_;
    Before b_;
};

// ---- steps ----

enum class Kind { Menu, Click, DblClick, MouseDown, MouseMove, ScrollChange, ScrollDrag };

struct Step {
    Kind kind = Kind::Menu;
    int menuItem = -1; // index into menuTree()
    bool hexGrid = true;
    int cell = 0;
    int button = 0;
    float x = 0, y = 0;
    std::vector<int> values; // scroll bar values
    Replies replies;
    std::string text;
};

std::string menuName(const MenuItem& item) {
    std::string s = item.name;
    if (item.index >= 0) s += "(" + std::to_string(item.index) + ")";
    return s;
}

} // namespace

// ---- the driver ----

struct Driver::Impl {
    Options options;
    fs::path folder;
    bool ownFolder = false;
    std::vector<int> menuChoices; // weighted indexes into menuTree()

    explicit Impl(Options o) : options(std::move(o)) {
        if (options.folder.empty()) {
            std::string tmpl = (fs::temp_directory_path() / "quillory-random-XXXXXX").string();
            if (!mkdtemp(tmpl.data())) throw std::runtime_error("cannot make a temporary folder");
            folder = tmpl;
            ownFolder = true;
        } else {
            folder = options.folder;
            fs::create_directories(folder);
        }
        const std::vector<MenuItem>& items = menuTree();
        for (std::size_t i = 0; i < items.size(); ++i) {
            const MenuItem& item = items[i];
            if (!item.run) continue;
            const std::string& n = item.name;
            int weight = 4;
            if (n == "Fopen" || n == "Fsave" || n == "FsaveAs") weight = options.files ? 2 : 0;
            if (n == "Fnew" || n == "Fhelp" || n == "文件" || n == "Renovate") weight = 1;
            if (n == "CopyOrCut" || n == "Insert" || n == "Quash") weight = 6;
            if (n == "Swap" || n == "Hunt" || n == "DelAll") weight = 5;
            for (int w = 0; w < weight; ++w)
                menuChoices.push_back(static_cast<int>(i));
        }
    }

    ~Impl() {
        if (ownFolder) {
            std::error_code ec;
            fs::remove_all(folder, ec);
        }
    }

    std::u16string name(const fs::path& p) const {
        const std::string s = p.string();
        return {s.begin(), s.end()};
    }

    // The folder as every episode finds it: a small file, an empty one, a folder, and
    // (made once, sparse) one just over the limit.
    static Bytes smallFile(ChoiceSource& src) {
        Bytes small(1 + src.below(1500));
        for (auto& b : small)
            b = static_cast<std::uint8_t>(src.below(4) == 0 ? src.below(256) : 0x41 + src.below(3));
        return small;
    }

    void resetFolder(const Bytes& small) {
        std::error_code ec;
        for (const auto& entry : fs::directory_iterator(folder, ec))
            fs::remove_all(entry.path(), ec);
        std::ofstream(folder / "a.bin", std::ios::binary)
            .write(reinterpret_cast<const char*>(small.data()),
                   static_cast<std::streamsize>(small.size()));
        std::ofstream(folder / "empty.bin", std::ios::binary);
        fs::create_directory(folder / "sub", ec);
        // Sparse: it costs no writing.
        std::ofstream(folder / "huge.bin", std::ios::binary);
        fs::resize_file(folder / "huge.bin", kLimit + 1, ec);
    }

    std::u16string fileReply(ChoiceSource& src) {
        switch (src.below(10)) {
        case 0:
            return {};
        case 1:
            return name(folder / "a.bin");
        case 2:
            return name(folder / "empty.bin");
        case 3:
            return name(folder / "sub");
        case 4:
            return name(folder / "missing" / "x.bin");
        case 5:
            return name(folder / "a.bin" / "x.bin");
        case 6:
            return name(folder / "huge.bin");
        default:
            return name(folder / ("s" + std::to_string(src.below(3)) + ".bin"));
        }
    }

    // ---- replies ----

    static char16_t hexDigit(ChoiceSource& src, std::uint8_t v) {
        const char16_t c = u"0123456789ABCDEF"[v & 15];
        return (c >= u'A' && src.chance(2)) ? static_cast<char16_t>(c + 32) : c;
    }

    std::u16string hexText(ChoiceSource& src, const Bytes& bytes) {
        std::u16string s;
        const bool spaced = src.chance(2);
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            if (spaced && i != 0) s += u' ';
            s += hexDigit(src, bytes[i] >> 4);
            if (src.chance(20)) s += u' '; // spaces need not fall between pairs
            s += hexDigit(src, bytes[i]);
        }
        if (src.chance(6)) s = u"  " + s + u" ";
        return s;
    }

    Bytes someBytes(ChoiceSource& src, const Bytes& doc, std::size_t maxLen) {
        const std::size_t len = 1 + src.below(static_cast<std::uint32_t>(maxLen));
        Bytes b;
        if (src.chance(2) && !doc.empty()) {
            // Taken from the document, so that searches find something.
            const std::size_t at = src.below(static_cast<std::uint32_t>(doc.size()));
            for (std::size_t i = at; i < doc.size() && b.size() < len; ++i)
                b.push_back(doc[i]);
        } else {
            for (std::size_t i = 0; i < len; ++i)
                b.push_back(static_cast<std::uint8_t>(src.chance(2) ? src.below(256)
                                                                    : 0x41 + src.below(3)));
        }
        return b;
    }

    std::u16string gbkText(ChoiceSource& src, const Bytes& doc) {
        static const std::u16string pieces[] = {u"A", u"B", u"a", u"中", u"文", u"字", u"啊",
                                                u"€", u"·", u" ", u"Ω",  u"ü",  u"😀"};
        if (src.chance(3) && !doc.empty()) {
            Bytes b = someBytes(src, doc, 8);
            return CodePage936::instance().fromGbk(b.data(), b.size());
        }
        std::u16string s;
        const std::size_t n = 1 + src.below(6);
        for (std::size_t i = 0; i < n; ++i)
            s += pieces[src.below(std::size(pieces))];
        return s;
    }

    std::u16string utf16Text(ChoiceSource& src) {
        std::u16string s;
        const std::size_t n = 1 + src.below(6);
        for (std::size_t i = 0; i < n; ++i) {
            switch (src.below(5)) {
            case 0:
                s += static_cast<char16_t>(0xD800 + src.below(0x800)); // a lone surrogate
                break;
            case 1:
                s += static_cast<char16_t>(src.below(0x10000));
                break;
            case 2:
                s += static_cast<char16_t>(src.below(32)); // control codes, NUL included
                break;
            default:
                s += static_cast<char16_t>(0x41 + src.below(3));
            }
        }
        return s;
    }

    std::optional<std::u16string> promptReply(ChoiceSource& src, const Bytes& doc) {
        switch (src.below(20)) {
        case 0:
            return std::nullopt;
        case 1:
            return std::u16string();
        case 2:
            return std::u16string(1 + src.below(3), u' ');
        case 3: { // an illegal character among digits
            static const char16_t bad[] = {u'g', u'\t', u'x', u'中', u'\u3000', u'-', u'\0'};
            std::u16string s = hexText(src, someBytes(src, doc, 4));
            s.insert(s.begin() + src.below(static_cast<std::uint32_t>(s.size() + 1)),
                     bad[src.below(std::size(bad))]);
            return s;
        }
        case 4: { // an odd count of digits
            std::u16string s = hexText(src, someBytes(src, doc, 4));
            s += u'7';
            return s;
        }
        case 5:
        case 6:
            return gbkText(src, doc);
        case 7:
            return utf16Text(src);
        case 8: { // long
            const std::size_t n = 300 + src.below(3000);
            if (src.chance(2)) {
                Bytes b(n / 2);
                for (auto& x : b)
                    x = static_cast<std::uint8_t>(src.below(4) == 0 ? src.below(256) : 0x41);
                return hexText(src, b);
            }
            std::u16string s;
            for (std::size_t i = 0; i < n; ++i)
                s += src.chance(4) ? u'中' : static_cast<char16_t>(u'a' + src.below(26));
            return s;
        }
        default:
            return hexText(src, someBytes(src, doc, src.chance(4) ? 40 : 4));
        }
    }

    std::u16string pageReply(ChoiceSource& src, std::int64_t pages) {
        switch (src.below(8)) {
        case 0:
            return {};
        case 1:
            return u"0";
        case 2:
            return u16(std::to_string(pages + 1));
        case 3: {
            static const std::u16string odd[] = {u"-1",  u"2.5", u" 2 ", u"1.5",
                                                 u"abc", u"1e1", u"+1",  u"１"};
            return odd[src.below(std::size(odd))];
        }
        default:
            return u16(std::to_string(1 + src.below(static_cast<std::uint32_t>(pages))));
        }
    }

    std::u16string keyReply(ChoiceSource& src) {
        std::u16string s;
        const std::size_t n = src.below(16);
        for (std::size_t i = 0; i < n; ++i)
            s += static_cast<char16_t>(0x21 + src.below(0x5E));
        if (src.chance(4)) {
            static const char16_t bad[] = {u' ', u'中', u'\x7F', u'\t', u'\xA0'};
            s.insert(s.begin() + src.below(static_cast<std::uint32_t>(s.size() + 1)),
                     bad[src.below(std::size(bad))]);
        }
        return s;
    }

    void fillReplies(ChoiceSource& src, Replies& r, const std::string& command, const Bytes& doc,
                     std::int64_t pages) {
        const std::size_t answers = src.below(6);
        for (std::size_t i = 0; i < answers; ++i) {
            const std::uint32_t a = src.below(6);
            r.answers.push_back(a < 3 ? Answer::Yes : a < 5 ? Answer::No : Answer::Cancel);
        }
        if (command == "Hunt" || command == "Swap" || command == "SwapCake" ||
            command == "Insert") {
            const std::size_t n = 1 + src.below(3);
            for (std::size_t i = 0; i < n; ++i)
                r.prompts.push_back(promptReply(src, doc));
        }
        if (command == "PageNum") r.inputs.push_back(pageReply(src, pages));
        if (command == "Encrypt") r.inputs.push_back(keyReply(src));
        if (command == "MouseDown") r.inputs.push_back(gbkText(src, doc));
        if (command == "Fopen" || command == "Fsave" || command == "FsaveAs" || command == "Fnew") {
            const std::size_t n = options.files ? 1 + src.below(2) : 0;
            for (std::size_t i = 0; i < n; ++i)
                r.files.push_back(fileReply(src));
        }
    }

    // ---- documents ----

    Bytes makeDocument(ChoiceSource& src, bool huge) {
        if (huge) {
            Bytes doc(static_cast<std::size_t>(kLimit - (src.chance(2) ? 0 : src.below(1024))), 0);
            for (int i = 0; i < 2000; ++i)
                doc[src.below(static_cast<std::uint32_t>(doc.size()))] =
                    static_cast<std::uint8_t>(src.below(256));
            return doc;
        }
        std::size_t size;
        switch (src.below(6)) {
        case 0:
            size = 1 + src.below(16);
            break;
        case 1: {
            static const std::size_t edges[] = {1, 2, 511, 512, 513, 1023, 1024, 1025, 1536};
            size = edges[src.below(std::size(edges))];
            break;
        }
        case 2:
            size = 1 + src.below(3000);
            break;
        default:
            size = 1 + src.below(1100);
        }
        Bytes doc(size);
        const std::uint32_t style = src.below(3);
        for (auto& b : doc) {
            if (style == 0)
                b = static_cast<std::uint8_t>(src.below(256));
            else if (style == 1) {
                static const std::uint8_t few[] = {0x00, 0x41, 0x42, 0xB0, 0xD6, 0xD0, 0xFF};
                b = few[src.below(std::size(few))];
            } else
                b = static_cast<std::uint8_t>(src.chance(3) ? 0xB0 + src.below(0x48)
                                                            : 0x41 + src.below(3));
        }
        return doc;
    }
};

namespace {

// The steps of the episode being played, for a sanitizer's report.
const std::vector<std::string>* gLiveLog = nullptr;

void printLiveLog() {
    if (!gLiveLog) return;
    std::fprintf(stderr, "\nSteps of the episode that failed:\n");
    for (const std::string& line : *gLiveLog)
        std::fprintf(stderr, "  %s\n", line.c_str());
}

struct LiveLog {
    explicit LiveLog(const std::vector<std::string>& log) {
        gLiveLog = &log;
        if (__sanitizer_set_death_callback) __sanitizer_set_death_callback(printLiveLog);
    }
    ~LiveLog() { gLiveLog = nullptr; }
};

// ---- the checks ----

std::string checkInvariants(const Form1& f) {
    const std::int64_t len = static_cast<std::int64_t>(f.FileBytes.size());
    std::ostringstream e;
    if (len < 1 || len != std::int64_t{f.LastOffset} + 1)
        e << "invariant 1: FileBytes holds " << len << " bytes, LastOffset " << f.LastOffset;
    else if (f.LastPage != (len - 1) / 512 || f.TailCount != len % 512)
        e << "invariant 2: length " << len << ", LastPage " << f.LastPage << ", TailCount "
          << f.TailCount;
    else if (f.CurPage < 0 || f.CurPage > f.LastPage ||
             f.PageStart != 512 * std::int64_t{f.CurPage} || f.VscrollBar.max() != f.LastPage ||
             f.VscrollBar.value() != f.CurPage)
        e << "invariant 3: CurPage " << f.CurPage << ", LastPage " << f.LastPage << ", PageStart "
          << f.PageStart << ", scroll bar value " << f.VscrollBar.value() << " max "
          << f.VscrollBar.max();
    else if (f.NumberBox.listCount() != 512 || f.ChrBox.listCount() != 512 ||
             f.AddressBox.listCount() != 32)
        e << "invariant 4: " << f.NumberBox.listCount() << " hex cells, " << f.ChrBox.listCount()
          << " character cells, " << f.AddressBox.listCount() << " addresses";
    else if (f.SelStart != kNone && (f.SelStart < 0 || f.SelStart > 511))
        e << "invariant 5: SelStart " << f.SelStart;
    return e.str();
}

std::vector<std::u16string> renderCharacters(const Bytes& doc, std::int64_t pageStart,
                                             bool shifted) {
    const CodePage936& cp = CodePage936::instance();
    std::vector<std::u16string> out(512, u". ");
    const std::int64_t len = static_cast<std::int64_t>(doc.size());
    const std::int64_t last = std::min<std::int64_t>(511, len - 1 - pageStart);
    std::int64_t o = shifted ? 1 : 0;
    while (o <= last) {
        const std::uint8_t b = doc[pageStart + o];
        if (b >= 0x80 && pageStart + o < len - 1 && o < 511) {
            out[o] = cp.pairChar(b, doc[pageStart + o + 1]);
            out[o + 1] = u"  ";
            o += 2;
        } else {
            out[o] = cp.byteChar(b) + u" ";
            o += 1;
        }
    }
    return out;
}

std::string checkView(const Form1& f, Model& m) {
    const std::int64_t ps = f.PageStart;
    const std::int64_t len = static_cast<std::int64_t>(m.doc.size());
    std::ostringstream e;
    for (int r = 0; r < 32; ++r) {
        std::string a = upperHex(static_cast<std::uint64_t>(ps + 16 * r));
        a = " " + std::string(6 - std::min<std::size_t>(6, a.size()), '0') + a;
        if (f.AddressBox.text(r) != u16(a)) {
            e << "address row " << r << " shows " << shown(f.AddressBox.text(r)) << ", expected "
              << a;
            return e.str();
        }
    }
    for (int o = 0; o < 512; ++o) {
        const std::string want = ps + o < len ? hex2(m.doc[ps + o]) : "00";
        if (f.NumberBox.text(cellOfOffset(o)) != u16(want)) {
            e << "hex cell of in-page offset " << o << " (offset " << ps + o << ") shows "
              << shown(f.NumberBox.text(cellOfOffset(o))) << ", expected " << want;
            return e.str();
        }
    }
    auto matches = [&](const std::vector<std::u16string>& chars, int* bad) {
        for (int o = 0; o < 512; ++o)
            if (f.ChrBox.text(cellOfOffset(o)) != chars[o]) {
                *bad = o;
                return false;
            }
        return true;
    };
    int bad = 0;
    const std::vector<std::u16string> normal = renderCharacters(m.doc, ps, false);
    if (matches(normal, &bad)) {
        m.maybeShifted = false;
        m.maybePlaceholders = false;
    } else if (int badBlank = 0;
               m.maybePlaceholders && matches(std::vector<std::u16string>(512, u". "), &badBlank)) {
        m.maybeShifted = false;
    } else {
        int badShifted = 0;
        if (!(m.maybeShifted && matches(renderCharacters(m.doc, ps, true), &badShifted))) {
            e << "character cell of in-page offset " << bad << " (offset " << ps + bad << ") shows "
              << shown(f.ChrBox.text(cellOfOffset(bad))) << ", expected " << shown(normal[bad]);
            return e.str();
        }
    }
    const std::string status =
        "文件字节:" + grouped(len) + "( &&H" + upperHex(static_cast<std::uint64_t>(len)) +
        ") 总页数:" + grouped((len - 1) / 512 + 1) + " 当前页:" + grouped(f.CurPage + 1);
    if (testing::utf8(f.StateBar.caption()) != status) {
        e << "status line " << testing::utf8(f.StateBar.caption()) << ", expected " << status;
        return e.str();
    }
    for (int k = 0; k < 512; ++k)
        if (f.NumberBox.selected(k) != f.ChrBox.selected(k)) {
            e << "cell " << k << " is highlighted in one grid only";
            return e.str();
        }
    return {};
}

std::string firstDifference(const Bytes& actual, const Bytes& expected) {
    std::ostringstream e;
    e << "document differs from the model: " << actual.size() << " bytes, model "
      << expected.size();
    const std::size_t n = std::min(actual.size(), expected.size());
    std::size_t i = 0;
    while (i < n && actual[i] == expected[i])
        ++i;
    e << "; first difference at offset " << i;
    const std::size_t from = i >= 4 ? i - 4 : 0;
    e << "; editor " << hexOf(actual, from, 12) << " model " << hexOf(expected, from, 12)
      << " (from offset " << from << ")";
    return e.str();
}

bool sameBytes(const quillory::Bytes& editor, const Bytes& model) {
    return std::equal(editor.begin(), editor.end(), model.begin(), model.end());
}

Bytes readFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

} // namespace

// One editor on the fake, its model, and the steps played so far.
struct Session {
    FakePlatform fake;
    std::unique_ptr<Form1> form;
    Model m;
    bool large = false;
    std::vector<std::string> log;
    std::string lastStep; // for the choice of follow-up commands
};

std::vector<const char*> followUpsOf(const std::string& last) {
    if (last == "DblClick" || last == "Click" || last == "Hunt")
        return {"Swap", "SwapCake", "CopyOrCut", "Insert", "Hnext"};
    if (last == "Swap") return {"SwapNext", "Swap", "Encrypt"};
    if (last == "CopyOrCut") return {"DelAll", "Quash", "Insert"};
    if (last == "Insert") return {"Quash", "CopyOrCut", "DelAll"};
    if (last == "Quash" || last == "DelAll") return {"Quash", "DelAll", "Insert"};
    return {};
}

// Everything an episode needs to be played again without its choice source.
struct Episode {
    Bytes smallFile;
    bool large = false;
    bool openStart = false;
    Bytes start;
    std::vector<Step> steps;
};

namespace {

// The category of a failure, for shrinking: its text up to the first digit or colon
// after the step number.
std::string category(const std::string& failure) {
    std::size_t from = failure.find(": ");
    from = from == std::string::npos ? 0 : from + 2;
    std::size_t to = from;
    while (to < failure.size() && failure[to] != ':' && !(failure[to] >= '0' && failure[to] <= '9'))
        ++to;
    return failure.substr(from, to - from);
}

} // namespace

std::string startSession(Driver::Impl& d, Session& S, const Episode& e) {
    d.resetFolder(e.smallFile);
    S.large = e.large;
    S.fake.screenTwips = e.large ? 1280 * 15 : 800 * 15;
    S.form = std::make_unique<Form1>(S.fake);
    Form1& f = *S.form;
    f.Form_Load();
    S.m = Model();
    S.m.newDocument();
    const std::string what = std::to_string(e.start.size()) + " bytes (" + hexOf(e.start, 0, 16) +
                             (e.start.size() > 16 ? "...)" : ")") +
                             (e.large ? ", large layout" : ", normal layout");
    if (e.openStart) {
        const fs::path p = d.folder / "start.bin";
        std::ofstream(p, std::ios::binary)
            .write(reinterpret_cast<const char*>(e.start.data()),
                   static_cast<std::streamsize>(e.start.size()));
        S.fake.files.push_back(d.name(p));
        f.Fopen();
        S.m.fileName = d.name(p);
        S.log.push_back("start: open " + what);
    } else {
        f.loadDocument(quillory::Bytes(e.start.begin(), e.start.end()));
        S.log.push_back("start: document of " + what);
    }
    S.m.doc = e.start;
    std::string bad = checkInvariants(f);
    if (bad.empty() && !sameBytes(f.FileBytes, S.m.doc))
        bad = firstDifference(Bytes(f.FileBytes.begin(), f.FileBytes.end()), S.m.doc);
    return bad.empty() ? bad : "after the start: " + bad;
}

Step generateStep(Driver::Impl& d, Session& S, ChoiceSource& src) {
    const std::vector<MenuItem>& items = menuTree();
    Form1& f = *S.form;
    Model& m = S.m;
    const bool large = S.large;
    Step step;
    std::uint32_t pick = src.below(100);
    std::string command;
    // Commands that continue what the last step began (a second double click, replace
    // next after a replace, delete next or undo after a cut) come more often than chance
    // alone would bring them.
    std::vector<int> followUps;
    for (const char* next : followUpsOf(S.lastStep))
        for (std::size_t i = 0; i < items.size(); ++i)
            if (items[i].run && items[i].name == next) followUps.push_back(static_cast<int>(i));
    const bool secondDoubleClick = S.lastStep == "DblClick" && src.chance(3);
    if (secondDoubleClick) pick = 60;
    if (!secondDoubleClick && !followUps.empty() && src.chance(3)) {
        step.kind = Kind::Menu;
        step.menuItem = followUps[src.below(static_cast<std::uint32_t>(followUps.size()))];
        command = items[step.menuItem].name;
    } else if (!secondDoubleClick && (pick < 40 || pick >= 90)) {
        step.kind = Kind::Menu;
        step.menuItem = d.menuChoices[src.below(static_cast<std::uint32_t>(d.menuChoices.size()))];
        command = items[step.menuItem].name;
    } else {
        // A cell chosen by its offset, with the end of the document often nearby.
        const std::int64_t tail = static_cast<std::int64_t>(m.doc.size()) - f.PageStart;
        int o;
        switch (src.below(4)) {
        case 0:
            o = static_cast<int>(std::clamp<std::int64_t>(tail - 1 + src.below(3), 0, 511));
            break;
        case 1:
            o = src.chance(2) ? 0 : 511;
            break;
        default:
            o = static_cast<int>(src.below(512));
        }
        step.cell = cellOfOffset(o);
        step.hexGrid = src.chance(2);
        if (pick < 60)
            step.kind = Kind::Click;
        else if (pick < 72)
            step.kind = Kind::DblClick;
        else if (pick < 77) {
            step.kind = Kind::MouseDown;
            static const int buttons[] = {kLeftButton, kRightButton, kMiddleButton};
            step.button = buttons[src.below(3)];
            if (step.hexGrid && step.button != kLeftButton) command = "MouseDown";
        } else if (pick < 83) {
            step.kind = Kind::MouseMove;
            step.button = src.chance(5) ? kLeftButton : 0;
            const int rowH = large ? 285 : 225;
            const int colW = step.hexGrid ? (large ? 430 : 344) : (large ? 255 : 180);
            step.x = static_cast<float>(src.below(static_cast<std::uint32_t>(colW * 17))) +
                     (src.chance(2) ? 0.5f : 0.0f);
            step.y = static_cast<float>(src.below(static_cast<std::uint32_t>(rowH * 33))) +
                     (src.chance(2) ? 0.5f : 0.25f);
        } else {
            const std::int64_t pages = (static_cast<std::int64_t>(m.doc.size()) - 1) / 512 + 1;
            auto value = [&] {
                return static_cast<int>(src.below(static_cast<std::uint32_t>(pages + 2))) - 1;
            };
            step.kind = pick < 88 ? Kind::ScrollChange : Kind::ScrollDrag;
            const std::size_t n = step.kind == Kind::ScrollChange ? 1 : 2 + src.below(4);
            for (std::size_t i = 0; i < n; ++i)
                step.values.push_back(value());
        }
    }
    const std::int64_t pages = (static_cast<std::int64_t>(m.doc.size()) - 1) / 512 + 1;
    d.fillReplies(src, step.replies, command, m.doc, pages);

    S.lastStep = step.kind == Kind::Menu       ? items[step.menuItem].name
                 : step.kind == Kind::DblClick ? "DblClick"
                 : step.kind == Kind::Click    ? "Click"
                                               : "";
    return step;
}

std::string playStep(Driver::Impl& d, Session& S, Step& step, std::size_t index) {
    const std::vector<MenuItem>& items = menuTree();
    FakePlatform& fake = S.fake;
    Form1& f = *S.form;
    Model& m = S.m;
    const bool large = S.large;
    // The description, before anything runs, so that a crash can still show it.
    std::ostringstream text;
    const char* grid = step.hexGrid ? "hex" : "chr";
    const int o = offsetOfCell(step.cell);
    switch (step.kind) {
    case Kind::Menu:
        text << "menu " << testing::utf8(items[step.menuItem].caption) << " ("
             << menuName(items[step.menuItem]) << ")";
        break;
    case Kind::Click:
        text << "click " << grid << " cell " << step.cell << " (in-page offset " << o << ")";
        break;
    case Kind::DblClick:
        text << "double click " << grid << " cell " << step.cell << " (in-page offset " << o << ")";
        break;
    case Kind::MouseDown:
        text << "button " << step.button << " down on the " << grid << " grid";
        break;
    case Kind::MouseMove:
        text << "mouse move over the " << grid << " grid, buttons " << step.button << ", x "
             << step.x << " y " << step.y;
        break;
    case Kind::ScrollChange:
    case Kind::ScrollDrag:
        text << (step.kind == Kind::ScrollChange ? "scroll bar set to"
                                                 : "scroll box dragged through");
        for (int v : step.values)
            text << " " << v;
        break;
    }
    text << describe(step.replies) << "   [page " << f.CurPage << ", length " << f.FileBytes.size()
         << "]";
    S.log.push_back(text.str());

    // The model's prediction, from the state before the step and the replies.
    Before before;
    before.pageStart = f.PageStart;
    before.curPage = f.CurPage;
    before.lastPage = f.LastPage;
    before.selStart = f.SelStart;
    before.selSpan = f.SelSpan;
    before.findLast = f.FindLast;
    const std::u16string toolTipBefore =
        step.hexGrid ? f.NumberBox.toolTipText() : f.ChrBox.toolTipText();
    Reference ref(m, step.replies, before);
    if (step.kind == Kind::Menu) {
        const MenuItem& item = items[step.menuItem];
        const std::string& n = item.name;
        if (n == "Fnew")
            ref.fnew();
        else if (n == "Fopen")
            ref.fopen();
        else if (n == "Fsave")
            ref.fsave();
        else if (n == "FsaveAs")
            ref.fsaveAs();
        else if (n == "Encrypt")
            ref.encrypt();
        else if (n == "PageNum")
            ref.pageNum(item.index);
        else if (n == "Hunt")
            ref.hunt();
        else if (n == "Swap")
            ref.swap(item.index);
        else if (n == "SwapCake")
            ref.swapCake(item.index);
        else if (n == "SwapNext")
            ref.swapNext(item.index);
        else if (n == "Insert")
            ref.insert(item.index);
        else if (n == "CopyOrCut")
            ref.copyOrCut(item.index);
        else if (n == "DelAll")
            ref.delAll(item.index);
        else if (n == "Quash")
            ref.quash();
    } else if (step.kind == Kind::DblClick) {
        ref.doubleClick();
    } else if (step.kind == Kind::MouseDown && !step.hexGrid && step.button == kRightButton) {
        ref.chrRightClick();
    } else if (step.kind == Kind::MouseMove) {
        if (step.button != 0) {
            ref.expect.toolTip = toolTipBefore;
        } else {
            const int rowH = large ? 285 : 225;
            const int colW = step.hexGrid ? (large ? 430 : 344) : (large ? 255 : 180);
            const std::int64_t row = static_cast<std::int64_t>(std::nearbyint(step.y)) / rowH;
            const std::int64_t col = static_cast<std::int64_t>(std::nearbyint(step.x)) / colW;
            const std::int64_t cell = std::min<std::int64_t>(row * 16 + col, 511);
            const std::int64_t at = before.pageStart + cell;
            if (at > static_cast<std::int64_t>(m.doc.size()) - 1)
                ref.expect.toolTip = u"";
            else
                ref.expect.toolTip = u"总偏移量" + u16(std::to_string(at)) + u"(" +
                                     u16(upperHex(at)) + u") 页内偏移量" +
                                     u16(std::to_string(cell)) + u"(" + u16(upperHex(cell)) + u")";
        }
    } else if (step.kind == Kind::ScrollChange || step.kind == Kind::ScrollDrag) {
        ref.expect.curPage = std::clamp<std::int64_t>(step.values.back(), 0, before.lastPage);
    }

    // The step itself.
    fake.answers = step.replies.answers;
    fake.inputs = step.replies.inputs;
    fake.prompts = step.replies.prompts;
    fake.files = step.replies.files;
    fake.messages.clear();
    fake.clipboard.reset();
    fake.clipboardWrites = 0;
    try {
        switch (step.kind) {
        case Kind::Menu:
            items[step.menuItem].run(f);
            break;
        case Kind::Click:
            (step.hexGrid ? f.NumberBox : f.ChrBox).userClick(step.cell);
            break;
        case Kind::DblClick:
            (step.hexGrid ? f.NumberBox : f.ChrBox).userDblClick(step.cell);
            break;
        case Kind::MouseDown:
            (step.hexGrid ? f.NumberBox : f.ChrBox).userMouseDown(step.button, 0, 0.0f, 0.0f);
            break;
        case Kind::MouseMove:
            (step.hexGrid ? f.NumberBox : f.ChrBox).userMouseMove(step.button, 0, step.x, step.y);
            break;
        case Kind::ScrollChange:
            f.VscrollBar.userChange(step.values.front());
            break;
        case Kind::ScrollDrag:
            for (int v : step.values)
                f.VscrollBar.userScroll(v);
            break;
        }
    } catch (const std::exception& ex) {
        return std::string("the step threw: ") + ex.what();
    }
    if (d.options.afterEachStep) d.options.afterEachStep(f);

    // The checks.
    const std::string where = "after step " + std::to_string(index) + ": ";
    std::string bad = checkInvariants(f);
    if (!bad.empty()) return where + bad;
    if (!sameBytes(f.FileBytes, m.doc))
        return where + firstDifference(Bytes(f.FileBytes.begin(), f.FileBytes.end()), m.doc);
    bad = checkView(f, m);
    if (!bad.empty()) return where + bad;
    if ((f.Dirty != kFalse) != m.dirty)
        return where + "Dirty is " + std::to_string(f.Dirty) + ", the model says " +
               (m.dirty ? "modified" : "unmodified");
    if (f.FileName != m.fileName)
        return where + "FileName " + shown(f.FileName) + ", the model has " + shown(m.fileName);
    if ((f.CutAt >= 0) != m.cutOpen || (m.cutOpen && f.CutAt != m.cutAt))
        return where + "CutAt " + std::to_string(f.CutAt) + ", the model's cut record " +
               (m.cutOpen ? "at " + std::to_string(m.cutAt) : std::string("is closed"));
    if ((f.InsertAt >= 0) != m.insertOpen || (m.insertOpen && f.InsertAt != m.insertAt))
        return where + "InsertAt " + std::to_string(f.InsertAt) + ", the model's insert record " +
               (m.insertOpen ? "at " + std::to_string(m.insertAt) : std::string("is closed"));
    if ((f.SwapFrom >= 0) != m.swapOpen)
        return where + "SwapFrom " + std::to_string(f.SwapFrom) + ", the model's replacement " +
               (m.swapOpen ? "is open" : "is closed");
    const Expect& x = ref.expect;
    for (const std::u16string& msg : x.messages) {
        const bool shownMsg = std::any_of(fake.messages.begin(), fake.messages.end(),
                                          [&](const auto& sm) { return sm.text == msg; });
        if (!shownMsg) return where + "the message " + testing::utf8(msg) + " was not shown";
    }
    if (x.clipboard && fake.clipboard != x.clipboard)
        return where + "clipboard " + (fake.clipboard ? shown(*fake.clipboard) : "empty") +
               ", expected " + shown(*x.clipboard);
    if (x.curPage && f.CurPage != *x.curPage)
        return where + "page " + std::to_string(f.CurPage) + " shown, expected " +
               std::to_string(*x.curPage);
    if (x.toolTip) {
        const std::u16string& tip =
            step.hexGrid ? f.NumberBox.toolTipText() : f.ChrBox.toolTipText();
        if (tip != *x.toolTip)
            return where + "tooltip " + shown(tip) + ", expected " + shown(*x.toolTip);
    }
    if (x.savedFile) {
        const fs::path p(std::string(x.savedFile->first.begin(), x.savedFile->first.end()));
        if (readFile(p) != x.savedFile->second)
            return where + "the saved file " + p.string() + " does not hold the document";
    }

    // The fake's records would grow without bound over a long run.
    fake.clearRecords();
    return {};
}

// Plays the steps again on a fresh editor; the failure, or empty.
std::string replay(Driver::Impl& d, const Episode& e, const std::vector<Step>& steps,
                   std::vector<std::string>* log) {
    Session S;
    std::string bad = startSession(d, S, e);
    for (std::size_t i = 0; bad.empty() && i < steps.size(); ++i) {
        Step step = steps[i];
        bad = playStep(d, S, step, i + 1);
    }
    if (log) *log = S.log;
    return bad;
}

// Drops steps while the same kind of failure remains, so that the report is short.
std::vector<Step> shrink(Driver::Impl& d, const Episode& e, std::vector<Step> steps,
                         const std::string& failure) {
    const std::string kind = category(failure);
    int budget = 400;
    for (std::size_t chunk = std::max<std::size_t>(1, steps.size() / 2); chunk >= 1; chunk /= 2) {
        for (std::size_t at = 0; at + chunk <= steps.size() && budget > 0;) {
            std::vector<Step> fewer = steps;
            fewer.erase(fewer.begin() + static_cast<std::ptrdiff_t>(at),
                        fewer.begin() + static_cast<std::ptrdiff_t>(at + chunk));
            --budget;
            const std::string bad = replay(d, e, fewer, nullptr);
            if (!bad.empty() && category(bad) == kind)
                steps = std::move(fewer);
            else
                at += chunk;
        }
        if (chunk == 1) break;
    }
    return steps;
}

Driver::Driver(Options options) : impl_(std::make_unique<Impl>(std::move(options))) {}
Driver::~Driver() = default;

EpisodeResult Driver::runEpisode(ChoiceSource& src) {
    Impl& d = *impl_;
    EpisodeResult result;
    Episode e;
    e.smallFile = Impl::smallFile(src);
    e.large = src.chance(2);
    const bool huge = d.options.hugeOneIn != 0 && src.chance(d.options.hugeOneIn);
    const std::uint32_t maxSteps =
        huge ? std::min<std::uint32_t>(6, d.options.maxEpisodeSteps) : d.options.maxEpisodeSteps;
    const std::uint32_t steps = 1 + src.below(std::max<std::uint32_t>(1, maxSteps));
    e.start = d.makeDocument(src, huge);
    e.openStart = !huge && d.options.files && src.chance(3);

    Session S;
    LiveLog live(S.log);
    std::string bad = startSession(d, S, e);
    for (std::uint32_t s = 0; bad.empty() && s < steps && !src.exhausted(); ++s) {
        e.steps.push_back(generateStep(d, S, src));
        Step step = e.steps.back();
        bad = playStep(d, S, step, s + 1);
        ++result.steps;
    }
    if (bad.empty()) return result;

    result.ok = false;
    std::vector<std::string> log = S.log;
    std::string failure = bad;
    if (e.steps.size() > 1) {
        const std::vector<Step> fewer = shrink(d, e, e.steps, bad);
        if (fewer.size() < e.steps.size()) {
            std::vector<std::string> shortLog;
            const std::string again = replay(d, e, fewer, &shortLog);
            if (!again.empty()) {
                failure = again + "\n(shrunk from " + std::to_string(e.steps.size()) +
                          " steps; the first failure was: " + bad + ")";
                log = std::move(shortLog);
            }
        }
    }
    result.report = failure + "\n";
    for (std::size_t i = 0; i < log.size(); ++i)
        result.report += "  " + std::to_string(i) + ": " + log[i] + "\n";
    return result;
}

RunResult runEpisodeOf(std::uint64_t seed, std::uint64_t episode, const Options& options) {
    Driver driver(options);
    PrngSource src(episodeSeed(seed, episode));
    const EpisodeResult r = driver.runEpisode(src);
    RunResult out;
    out.ok = r.ok;
    out.steps = r.steps;
    out.episodes = 1;
    if (!r.ok)
        out.report = "episode " + std::to_string(episode) + " of seed " + std::to_string(seed) +
                     " failed; replay: scripts/random.sh --seed " + std::to_string(seed) +
                     " --episode " + std::to_string(episode) + "\n" + r.report;
    return out;
}

RunResult runSeeded(std::uint64_t seed, std::uint64_t steps, const Options& options) {
    Driver driver(options);
    RunResult out;
    for (std::uint64_t episode = 0; out.steps < steps; ++episode) {
        PrngSource src(episodeSeed(seed, episode));
        const EpisodeResult r = driver.runEpisode(src);
        out.steps += r.steps;
        ++out.episodes;
        if (!r.ok) {
            out.ok = false;
            out.report = "episode " + std::to_string(episode) + " of seed " + std::to_string(seed) +
                         " failed; replay: scripts/random.sh --seed " + std::to_string(seed) +
                         " --episode " + std::to_string(episode) + "\n" + r.report;
            return out;
        }
    }
    return out;
}

} // namespace quillory::random
