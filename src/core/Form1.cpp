// The editor's construction: its controls' events go to its handlers.

#include "core/Form1.h"

namespace quillory {

Form1::Form1(Platform& p) : platform(p) {
    wireEvents();
}

void Form1::wireEvents() {
    NumberBox.Click = [this] { NumberBox_Click(); };
    ChrBox.Click = [this] { ChrBox_Click(); };
    NumberBox.DblClick = [this] { NumberBox_DblClick(); };
    ChrBox.DblClick = [this] { ChrBox_DblClick(); };
    NumberBox.MouseDown = [this](int b, int s, float x, float y) {
        NumberBox_MouseDown(b, s, x, y);
    };
    ChrBox.MouseDown = [this](int b, int s, float x, float y) { ChrBox_MouseDown(b, s, x, y); };
    NumberBox.MouseMove = [this](int b, int s, float x, float y) {
        NumberBox_MouseMove(b, s, x, y);
    };
    ChrBox.MouseMove = [this](int b, int s, float x, float y) { ChrBox_MouseMove(b, s, x, y); };
    VscrollBar.Change = [this] { VscrollBar_Change(); };
    VscrollBar.Scroll = [this] { VscrollBar_Scroll(); };
}

Answer Form1::MsgBox(const std::u16string& text, Buttons buttons, const std::u16string& title) {
    return platform.msgBox(text, buttons, title);
}

void Form1::setCaption(const std::u16string& text) {
    Caption = text;
    platform.setCaption(text);
}

} // namespace quillory
