#include "core/Form1.h"

namespace quillory {

void Form1::DelAll(int) {}

} // namespace quillory
