#include "core/Form1.h"

namespace quillory {

bool Form1::SavePrompt() {
    if (!Dirty) return true;
    switch (MsgBox(u"文件已经修改，是否保存？", Buttons::YesNoCancel, u"提示保存")) {
    case Answer::Cancel:
        return false;
    case Answer::Yes:
        // A save that did not happen must not let the caller drop the document.
        return Fsave();
    default:
        return true;
    }
}

void Form1::Fopen() {}
bool Form1::Fsave() { return false; }
bool Form1::FsaveAs() { return false; }

bool Form1::Form_QueryUnload() {
    if (!SavePrompt()) return true;
    platform.unloadForm2(Dialog2);
    return false;
}

void Form1::Fhelp() {}

} // namespace quillory
