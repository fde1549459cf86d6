#include "platform/Platform.h"

#include <cstddef>

#include "platform/CodePage936.h"

namespace quillory {
namespace resources {
// Generated at build time from src/resources/help.txt.
extern const std::uint8_t kHelpText[];
extern const std::size_t kHelpTextSize;
} // namespace resources

Bytes Platform::loadResource(const std::u16string& type, int id) {
    if (type == u"CUSTOM" && id == 101)
        return {resources::kHelpText, resources::kHelpText + resources::kHelpTextSize};
    return {};
}

const CodePage936& Platform::codePage() const {
    return CodePage936::instance();
}

bool Platform::hasCodePage() const {
    return CodePage936::available();
}

} // namespace quillory
