#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/Bytes.h"

namespace quillory {

// Bytes of a resource embedded at build time, by type name and numeric id; empty when
// there is no such resource.
Bytes embeddedResource(const std::u16string& type, int id);

} // namespace quillory
