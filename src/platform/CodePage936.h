#pragma once
// Code page 936 (GBK) through the C library's iconv. Every byte and every lead/trail
// pair is decoded once into tables, so a page redraw makes no iconv call.

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/Bytes.h"

namespace quillory {

class CodePage936 {
  public:
    static const CodePage936& instance();
    // Whether the C library converts code page 936 both ways; a stripped-down one may
    // not, and then the editor has nothing to show its characters with.
    static bool available();

    // The character a lone byte denotes; U+FFFD where the code page has none.
    const std::u16string& byteChar(std::uint8_t b) const { return single_[b]; }
    // The character a lead byte (0x80..0xFF) and any second byte denote together;
    // U+FFFD where the pair is not a character.
    const std::u16string& pairChar(std::uint8_t lead, std::uint8_t trail) const {
        return pairs_[(lead & 0x7F) * 256 + trail];
    }
    bool isPair(std::uint8_t lead, std::uint8_t trail) const {
        return lead >= 0x80 && pairValid_[(lead & 0x7F) * 256 + trail];
    }

    // Text to GBK bytes; a character the code page lacks (also an unpaired surrogate or
    // a character outside the BMP) becomes "?".
    Bytes toGbk(std::u16string_view text) const;
    // GBK bytes to text; a byte that starts no character decodes alone.
    std::u16string fromGbk(const std::uint8_t* data, std::size_t size) const;
    std::u16string fromGbk(const Bytes& bytes) const { return fromGbk(bytes.data(), bytes.size()); }
    // The GBK code of one UTF-16 code unit: a byte, or lead * 256 + trail; '?' where
    // the code page lacks it.
    std::uint16_t code(char16_t c) const;

  private:
    CodePage936();
    void buildEncoder() const;

    std::array<std::u16string, 256> single_;
    std::vector<std::u16string> pairs_;
    std::vector<bool> pairValid_;
    mutable std::vector<std::uint16_t> encode_; // built on first use
};

} // namespace quillory
