#include "core/Form1.h"

namespace quillory {

std::int32_t Form1::Numeric(std::int32_t, std::int32_t) { return kNone; }
std::int32_t Form1::Character(std::int32_t, std::int32_t, std::int32_t) { return kNone; }

} // namespace quillory
