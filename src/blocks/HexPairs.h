#pragma once
// The clipboard text of a block: two upper-case hex digits per byte, no separators.

#include <cstddef>
#include <cstdint>
#include <string>

namespace quillory {

std::u16string hexPairs(const std::uint8_t* bytes, std::size_t count);

} // namespace quillory
