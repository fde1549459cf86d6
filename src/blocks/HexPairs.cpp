#include "blocks/HexPairs.h"

#include <array>
#include <cstring>

#include "core/Format.h"

namespace quillory {
namespace {

// Both digits of a byte side by side, so that each byte is one four-byte store.
using Pair = std::array<char16_t, 2>;

const std::array<Pair, 256>& pairTable() {
    static const std::array<Pair, 256> table = [] {
        std::array<Pair, 256> t{};
        for (int b = 0; b < 256; ++b)
            t[b] = {kHexDigits[b >> 4], kHexDigits[b & 15]};
        return t;
    }();
    return table;
}

} // namespace

std::u16string hexPairs(const std::uint8_t* bytes, std::size_t count) {
    const std::array<Pair, 256>& table = pairTable();
    // A whole document can be 32 Mi digits: one allocation, filled in one pass.
    std::u16string text(2 * count, u'\0');
    char16_t* out = text.data();
    for (std::size_t i = 0; i < count; ++i)
        std::memcpy(out + 2 * i, table[bytes[i]].data(), 4);
    return text;
}

} // namespace quillory
