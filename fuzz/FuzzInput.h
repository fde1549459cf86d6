#pragma once
// Reads a fuzz input as a stream of fields. Past its end every field reads as zero, so
// that any input, also an empty one, is a complete case.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "support/FakePlatform.h"

namespace quillory::fuzz {

class FuzzInput {
  public:
    FuzzInput(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    bool atEnd() const { return pos_ >= size_; }

    std::uint8_t byte() { return atEnd() ? 0 : data_[pos_++]; }

    std::uint16_t word() {
        const std::uint16_t low = byte();
        return static_cast<std::uint16_t>(low | byte() << 8);
    }

    // A reply typed into a prompt, up to the byte 0xFE or the end. 0xFF and the two
    // bytes after it give any UTF-16 code unit (low byte first), surrogates included;
    // a byte from 0x80 to 0xFD and the byte after it give a code unit from U+4E00 on,
    // where the Chinese characters are; every other byte is the character of that code.
    std::u16string reply() {
        std::u16string text;
        while (!atEnd()) {
            const std::uint8_t b = byte();
            if (b == 0xFE) break;
            if (b == 0xFF)
                text.push_back(static_cast<char16_t>(word()));
            else if (b >= 0x80)
                text.push_back(static_cast<char16_t>(0x4E00 + ((b & 0x7F) << 8 | byte())));
            else
                text.push_back(static_cast<char16_t>(b));
        }
        return text;
    }

  private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

// A broken rule is a crash to libFuzzer, which then keeps the input that caused it.
inline void check(bool ok, const char* rule) {
    if (ok) return;
    std::fprintf(stderr, "fuzz check failed: %s\n", rule);
    std::abort();
}

// Empties the queues and the records of the fake, so that a case starts as the first did.
inline void resetFake(testing::FakePlatform& fake) {
    fake.reset();
}

} // namespace quillory::fuzz
