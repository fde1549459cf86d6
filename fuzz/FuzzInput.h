#pragma once
// A fuzz input as a stream of fields, each zero past its end: any input is a whole case.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace quillory::fuzz {

struct FuzzInput {
    const std::uint8_t* data;
    std::size_t size, pos = 0;

    bool atEnd() const { return pos >= size; }
    std::uint8_t byte() { return atEnd() ? 0 : data[pos++]; }
    std::uint16_t word() {
        const std::uint16_t low = byte(); // the low byte comes first
        return static_cast<std::uint16_t>(low | byte() << 8);
    }
    // A reply typed into a prompt, up to the byte 0xFE or the end: 0xFF and the next two
    // bytes give any UTF-16 unit (surrogates too), 0x80..0xFD and the next byte a unit from
    // U+4E00 on, where the Chinese characters are, and any other byte its own character.
    std::u16string reply() {
        std::u16string text;
        for (std::uint8_t b; !atEnd() && (b = byte()) != 0xFE;)
            text.push_back(b == 0xFF  ? static_cast<char16_t>(word())
                           : b < 0x80 ? static_cast<char16_t>(b)
                                      : static_cast<char16_t>(0x4E00 + ((b & 0x7F) << 8 | byte())));
        return text;
    }
};

// A broken rule is a crash to libFuzzer, which then keeps the input that caused it.
inline void check(bool ok, const char* rule) {
    if (ok) return;
    std::fprintf(stderr, "fuzz check failed: %s\n", rule);
    std::abort();
}

} // namespace quillory::fuzz
