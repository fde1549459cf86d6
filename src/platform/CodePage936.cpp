#include "platform/CodePage936.h"

#include "platform/Utf16.h"

#include <iconv.h>

#include <cerrno>
#include <mutex>
#include <stdexcept>
#include <utility>

namespace quillory {
namespace {

constexpr char16_t kReplacement = u'\uFFFD';

class Iconv {
  public:
    Iconv(const char* to, const char* from) : cd_(iconv_open(to, from)) {
        if (cd_ == reinterpret_cast<iconv_t>(-1))
            throw std::runtime_error("iconv cannot convert code page 936");
    }
    ~Iconv() { iconv_close(cd_); }
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;

    // Converts the whole input or fails; returns the number of output bytes, or -1.
    int convert(const char* in, std::size_t inSize, char* out, std::size_t outSize) {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr); // reset the shift state
        char* inPtr = const_cast<char*>(in);
        char* outPtr = out;
        std::size_t inLeft = inSize;
        std::size_t outLeft = outSize;
        if (iconv(cd_, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1) ||
            inLeft != 0)
            return -1;
        return static_cast<int>(outSize - outLeft);
    }

  private:
    iconv_t cd_;
};

// Decodes GBK bytes into UTF-16 code units; empty on failure.
std::u16string decode(Iconv& cv, const char* bytes, std::size_t size) {
    char out[16];
    const int n = cv.convert(bytes, size, out, sizeof out);
    std::u16string s;
    for (int i = 0; i + 1 < n; i += 2)
        s.push_back(static_cast<char16_t>(static_cast<unsigned char>(out[i]) |
                                          static_cast<unsigned char>(out[i + 1]) << 8));
    return s;
}

} // namespace

bool CodePage936::available() {
    for (const auto& [to, from] :
         {std::pair{"UTF-16LE", "CP936"}, std::pair{"CP936", "UTF-16LE"}}) {
        const iconv_t cd = iconv_open(to, from);
        if (cd == reinterpret_cast<iconv_t>(-1)) return false;
        iconv_close(cd);
    }
    return true;
}

const CodePage936& CodePage936::instance() {
    static const CodePage936 table;
    return table;
}

CodePage936::CodePage936() : pairs_(128 * 256), pairValid_(128 * 256) {
    Iconv cv("UTF-16LE", "CP936");
    for (int b = 0; b < 256; ++b) {
        const char in = static_cast<char>(b);
        std::u16string s = decode(cv, &in, 1);
        single_[b] = s.size() == 1 ? s : std::u16string(1, kReplacement);
    }
    for (int lead = 0x80; lead < 0x100; ++lead) {
        for (int trail = 0; trail < 0x100; ++trail) {
            const char in[2] = {static_cast<char>(lead), static_cast<char>(trail)};
            std::u16string s = decode(cv, in, 2);
            const int i = (lead & 0x7F) * 256 + trail;
            // A lone 0x80 decodes by itself, so its "pair" can be two characters:
            // that is what the conversion yields and what the grid shows.
            pairValid_[i] = s.size() == 1;
            pairs_[i] = s.empty() ? std::u16string(1, kReplacement) : s;
        }
    }
}

void CodePage936::buildEncoder() const {
    static std::once_flag once;
    std::call_once(once, [this] {
        encode_.assign(0x10000, u'?');
        Iconv cv("CP936", "UTF-16LE");
        for (int c = 0; c < 0x10000; ++c) {
            if (isSurrogate(static_cast<char16_t>(c))) continue;
            const char in[2] = {static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
            unsigned char out[8];
            const int n = cv.convert(in, 2, reinterpret_cast<char*>(out), sizeof out);
            if (n == 1)
                encode_[c] = out[0];
            else if (n == 2)
                encode_[c] = static_cast<std::uint16_t>(out[0] << 8 | out[1]);
        }
    });
}

std::uint16_t CodePage936::code(char16_t c) const {
    buildEncoder();
    return encode_[c];
}

Bytes CodePage936::toGbk(std::u16string_view text) const {
    buildEncoder();
    Bytes out;
    out.reserve(text.size() * 2);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (isSurrogate(c)) {
            // A surrogate pair is one character outside the code page: one "?".
            if (isSurrogatePair(text, i)) ++i;
            out.push_back('?');
            continue;
        }
        const std::uint16_t code = encode_[c];
        if (code > 0xFF) out.push_back(static_cast<std::uint8_t>(code >> 8));
        out.push_back(static_cast<std::uint8_t>(code & 0xFF));
    }
    return out;
}

std::u16string CodePage936::fromGbk(const std::uint8_t* data, std::size_t size) const {
    std::u16string out;
    out.reserve(size);
    for (std::size_t i = 0; i < size; ++i) {
        const std::uint8_t b = data[i];
        if (b >= 0x80 && i + 1 < size && isPair(b, data[i + 1])) {
            out += pairChar(b, data[i + 1]);
            ++i;
        } else {
            out += single_[b];
        }
    }
    return out;
}

} // namespace quillory
