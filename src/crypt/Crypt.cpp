#include "core/Form1.h"

namespace quillory {

void Form1::Encrypt() {}

} // namespace quillory
