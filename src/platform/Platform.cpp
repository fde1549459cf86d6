#include "platform/Platform.h"

#include "platform/CodePage936.h"
#include "resources/Resources.h"

namespace quillory {

Bytes Platform::loadResource(const std::u16string& type, int id) {
    return embeddedResource(type, id);
}

const CodePage936& Platform::codePage() const {
    return CodePage936::instance();
}

bool Platform::hasCodePage() const {
    return CodePage936::available();
}

} // namespace quillory
