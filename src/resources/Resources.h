#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace quillory {

// Bytes of a resource embedded at build time, by type name and numeric id; empty when
// there is no such resource.
std::vector<std::uint8_t> embeddedResource(const std::u16string& type, int id);

} // namespace quillory
