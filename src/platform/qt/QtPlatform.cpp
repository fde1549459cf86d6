#include "platform/qt/QtPlatform.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>

#include "input/qt/PromptDialog.h"

namespace quillory {
namespace {

QString q(const std::u16string& s) {
    return QString::fromStdU16String(s);
}

} // namespace

Answer QtPlatform::msgBox(const std::u16string& text, Buttons buttons,
                          const std::u16string& title) {
    QMessageBox box(QMessageBox::NoIcon, q(title), q(text), QMessageBox::NoButton, window_);
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
    dialog.setLabelText(q(prompt));
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

namespace {

constexpr int kOverwritePrompt = 0x2;
constexpr int kPathMustExist = 0x800;

// "Description|pattern;pattern|..." as Qt name filters. On Linux "*.*" would hide
// every name without a dot, so it becomes "*", which matches all files as it means to.
QStringList nameFilters(const std::u16string& filter) {
    const QStringList parts = q(filter).split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns = parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts);
        for (QString& p : patterns)
            if (p == QStringLiteral("*.*")) p = QStringLiteral("*");
        filters << parts[i] + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) +
                       QLatin1Char(')');
    }
    if (filters.isEmpty()) filters << QStringLiteral("(*)");
    return filters;
}

// Qt's own dialog, also on the offscreen platform. It refuses a name in a folder that
// does not exist when asked to, and asks before an existing file is replaced in the
// open form too: Save of a new document picks its name there.
class FileDialog : public QFileDialog {
  public:
    FileDialog(QWidget* parent, const QString& title, int flags)
        : QFileDialog(parent, title), flags_(flags) {}

    void accept() override {
        const QStringList files = selectedFiles();
        if (files.isEmpty()) return QFileDialog::accept();
        const QFileInfo info(files.first());
        if ((flags_ & kPathMustExist) && !info.isDir() && !info.absoluteDir().exists()) {
            QMessageBox::warning(this, windowTitle(),
                                 QStringLiteral("路径不存在。\n%1").arg(info.absolutePath()));
            return;
        }
        // The save form asks this itself; the question and its answers are the same.
        if ((flags_ & kOverwritePrompt) && acceptMode() == AcceptOpen && info.exists() &&
            !info.isDir() &&
            QMessageBox::warning(
                this, windowTitle(),
                tr("%1 already exists.\nDo you want to replace it?").arg(info.fileName()),
                QMessageBox::Yes | QMessageBox::No, QMessageBox::No) != QMessageBox::Yes)
            return;
        QFileDialog::accept();
    }

  private:
    int flags_;
};

} // namespace

void QtPlatform::showFile(CommonDialog& dialog, bool saveForm) {
    FileDialog box(window_, q(dialog.DialogTitle), dialog.Flags);
    box.setOption(QFileDialog::DontUseNativeDialog);
    box.setAcceptMode(saveForm ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    // The open form too takes a name that does not exist yet: Save uses it for new files.
    box.setFileMode(QFileDialog::AnyFile);
    box.setOption(QFileDialog::DontConfirmOverwrite, (dialog.Flags & kOverwritePrompt) == 0);
    box.setOption(QFileDialog::HideNameFilterDetails);
    box.setNameFilters(nameFilters(dialog.Filter));
    if (!dialog.FileName.empty()) box.selectFile(q(dialog.FileName));
    // A cancelled dialog chose nothing, whatever an earlier use chose.
    if (box.exec() == QDialog::Accepted && !box.selectedFiles().isEmpty())
        dialog.FileName = box.selectedFiles().first().toStdU16String();
    else
        dialog.FileName.clear();
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
    if (window_) window_->setWindowTitle(q(caption));
}

} // namespace quillory
