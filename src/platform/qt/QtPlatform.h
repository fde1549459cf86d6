#pragma once
// The platform services on Qt: dialogs, clipboard, cursor, screen and caption.

#include <QPointer>
#include <QTranslator>
#include <QWidget>

#include "platform/Platform.h"

namespace quillory {

class QtPlatform : public Platform {
  public:
    // Needs the application object: sets Qt up for the editor (its language).
    QtPlatform();

    // The window that dialogs are modal to and that shows the caption.
    void setWindow(QWidget* window) { window_ = window; }

    Answer msgBox(const std::u16string& text, Buttons buttons,
                  const std::u16string& title) override;
    std::u16string inputBox(const std::u16string& prompt, const std::u16string& title,
                            const std::u16string& defaultText) override;
    void showForm2(Form2& form) override;
    void showOpen(CommonDialog& dialog) override;
    void showSave(CommonDialog& dialog) override;
    void clipboardClear() override;
    void clipboardSetText(const std::u16string& text) override;
    void setMousePointer(Pointer pointer) override;
    double screenWidthTwips() override;
    void setCaption(const std::u16string& caption) override;

  private:
    void showFile(CommonDialog& dialog, bool saveForm);

    QTranslator translator_;
    QPointer<QWidget> window_;
    bool waitCursor_ = false;
};

} // namespace quillory
