#pragma once
// Start-up on Qt: the editor on a platform, its main window, Form_Load and the layout
// that Form_Load chose. The program, the GUI tests and the tools start the same way.

#include "core/Form1.h"
#include "platform/qt/QtPlatform.h"
#include "window/qt/MainWindow.h"

namespace quillory {

class EditorSession {
  public:
    explicit EditorSession(QtPlatform& platform) : form(platform), window(form) {
        platform.setWindow(&window);
        started = form.Form_Load();
        if (started) window.applyLayout();
    }

    Form1 form;
    MainWindow window;
    bool started = false;
};

} // namespace quillory
