#include "core/Form1.h"

namespace quillory {

void Form1::NumberBox_Click() {}
void Form1::ChrBox_Click() {}
void Form1::NumberBox_DblClick() {}
void Form1::ChrBox_DblClick() {}
void Form1::Subroutine(int) {}
void Form1::NumberBox_MouseMove(int, int, float, float) {}
void Form1::ChrBox_MouseMove(int, int, float, float) {}
void Form1::NumberBox_MouseDown(int, int, float, float) {}
void Form1::ChrBox_MouseDown(int, int, float, float) {}

} // namespace quillory
