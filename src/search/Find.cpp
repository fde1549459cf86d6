#include "core/Form1.h"

namespace quillory {

void Form1::Hunt(int) {}
void Form1::Hnext(int) {}

} // namespace quillory
