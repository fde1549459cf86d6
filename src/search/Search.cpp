#include "core/Form1.h"

namespace quillory {

std::int32_t Form1::Lookup(std::int32_t, std::int32_t, Flag) { return kNone; }
void Form1::Hunt(int) {}
void Form1::Hnext(int) {}
void Form1::Swap(int) {}
void Form1::SwapCake(int) {}
void Form1::SwapNext(int) {}

} // namespace quillory
