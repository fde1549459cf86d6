#include "platform/qt/QtPlatform.h"

#include <QApplication>
#include <QClipboard>
#include <QInputDialog>
#include <QLabel>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>

#include <limits>

#include "files/qt/FileDialog.h"
#include "input/qt/PromptDialog.h"
#include "platform/qt/QtText.h"

namespace quillory {

QtPlatform::QtPlatform() {
    // Everything Qt draws itself (the file dialog, the text boxes' menus) speaks the
    // interface's language, whatever the desktop's.
    if (translator_.load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qtbase"),
                         QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&translator_);
    QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
}

Answer QtPlatform::msgBox(const std::u16string& text, Buttons buttons,
                          const std::u16string& title) {
    QMessageBox box(QMessageBox::NoIcon, q(title), lines(text), QMessageBox::NoButton, window_);
    // Replies are quoted in messages; "<b>" typed is "<b>" shown.
    box.setTextFormat(Qt::PlainText);
    QPushButton* ok = nullptr;
    QPushButton* yes = nullptr;
    QPushButton* no = nullptr;
    QPushButton* cancel = nullptr;
    if (buttons == Buttons::OK) {
        ok = box.addButton(QStringLiteral("确定"), QMessageBox::AcceptRole);
        box.setEscapeButton(ok);
    } else {
        yes = box.addButton(QStringLiteral("是(&Y)"), QMessageBox::YesRole);
        no = box.addButton(QStringLiteral("否(&N)"), QMessageBox::NoRole);
        if (buttons == Buttons::YesNoCancel) {
            cancel = box.addButton(QStringLiteral("取消"), QMessageBox::RejectRole);
            box.setEscapeButton(cancel);
        }
        box.setDefaultButton(yes);
    }
    box.exec();
    const QAbstractButton* clicked = box.clickedButton();
    if (buttons == Buttons::OK) return Answer::OK;
    if (clicked == yes) return Answer::Yes;
    if (clicked == no) return Answer::No;
    return buttons == Buttons::YesNoCancel ? Answer::Cancel : Answer::No;
}

std::u16string QtPlatform::inputBox(const std::u16string& prompt, const std::u16string& title,
                                    const std::u16string& defaultText) {
    QInputDialog dialog(window_);
    dialog.setWindowTitle(q(title));
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setLabelText(lines(prompt));
    for (QLabel* label : dialog.findChildren<QLabel*>())
        label->setTextFormat(Qt::PlainText);
    // Qt's default of 32,767 characters would cut a long reply without a word.
    if (auto* edit = dialog.findChild<QLineEdit*>())
        edit->setMaxLength(std::numeric_limits<int>::max());
    dialog.setTextValue(q(defaultText));
    dialog.setOkButtonText(QStringLiteral("确定"));
    dialog.setCancelButtonText(QStringLiteral("取消"));
    if (dialog.exec() != QDialog::Accepted) return {};
    return dialog.textValue().toStdU16String();
}

void QtPlatform::showForm2(Form2& form) {
    PromptDialog dialog(form.Large, window_);
    dialog.showModal(form);
}

void QtPlatform::showFile(CommonDialog& dialog, bool saveForm) {
    FileDialog box(dialog, saveForm, codePage(), window_);
    dialog.FileName = box.exec() == QDialog::Accepted ? box.picked() : std::u16string();
}

void QtPlatform::showOpen(CommonDialog& dialog) {
    showFile(dialog, false);
}
void QtPlatform::showSave(CommonDialog& dialog) {
    showFile(dialog, true);
}

void QtPlatform::clipboardClear() {
    QGuiApplication::clipboard()->clear();
}

void QtPlatform::clipboardSetText(const std::u16string& text) {
    QGuiApplication::clipboard()->setText(q(text));
}

void QtPlatform::setMousePointer(Pointer pointer) {
    const bool wait = pointer == Pointer::Wait;
    if (wait == waitCursor_) return;
    waitCursor_ = wait;
    if (wait)
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QGuiApplication::restoreOverrideCursor();
}

double QtPlatform::screenWidthTwips() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry().width() * kTwipsPerPixel : 0.0;
}

void QtPlatform::setCaption(const std::u16string& caption) {
    // Qt takes "[*]" in a title for its modified mark; a file name may hold it, so it is
    // doubled, which Qt shows as itself.
    if (window_)
        window_->setWindowTitle(
            q(caption).replace(QStringLiteral("[*]"), QStringLiteral("[*][*]")));
}

} // namespace quillory
