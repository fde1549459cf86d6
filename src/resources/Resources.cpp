#include "resources/Resources.h"

namespace quillory {

std::vector<std::uint8_t> embeddedResource(const std::u16string&, int) { return {}; }

} // namespace quillory
