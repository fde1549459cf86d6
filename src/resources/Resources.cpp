#include "resources/Resources.h"

#include <cstddef>

namespace quillory {
namespace resources {
// Generated at build time from resources/help.txt.
extern const std::uint8_t kHelpText[];
extern const std::size_t kHelpTextSize;
} // namespace resources

Bytes embeddedResource(const std::u16string& type, int id) {
    if (type == u"CUSTOM" && id == 101)
        return {resources::kHelpText, resources::kHelpText + resources::kHelpTextSize};
    return {};
}

} // namespace quillory
