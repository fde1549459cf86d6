#include "core/Form1.h"

namespace quillory {

void Form1::Swap(int) {}
void Form1::SwapCake(int) {}
void Form1::SwapNext(int) {}

} // namespace quillory
