#include "core/Form1.h"

namespace quillory {

void Form1::CopyOrCut(int) {}
void Form1::Insert(int) {}
void Form1::Quash() {}

} // namespace quillory
