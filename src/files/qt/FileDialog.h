#pragma once
// The open and save dialog, over a folder's raw entries. Qt's own dialog leaves out every
// name that is not UTF-8, and those are the GBK names of the files this editor is for.
// It shows what the command left in the dialog's settings (title, filter, last name),
// lists every entry as files/Names.h shows it, and hands back the name picked, as the
// file system has it. What the command's flags ask about that name, the command asks.

#include <QDialog>
#include <string>

#include "platform/Platform.h"

class QComboBox;
class QLineEdit;
class QPushButton;
class QTreeWidget;

namespace quillory {

class FileDialog : public QDialog {
    Q_OBJECT
  public:
    FileDialog(const CommonDialog& settings, bool saveForm, const CodePage936& cp,
               QWidget* parent = nullptr);

    // The name picked; empty until the dialog is accepted.
    const std::u16string& picked() const { return picked_; }
    const std::u16string& folder() const { return folder_; }

    QLineEdit* folderBox() const { return folderBox_; }
    QTreeWidget* entryList() const { return list_; }
    QLineEdit* nameBox() const { return nameBox_; }
    QComboBox* typeBox() const { return typeBox_; }
    QPushButton* acceptButton() const { return accept_; }

  private:
    void showFolder(const std::u16string& folder);
    void fill();
    void goUp();
    void goTo(const std::u16string& typed);
    // The name box's text: a folder is gone into, any other name is picked.
    void take();
    std::u16string inFolder(const std::u16string& typed) const;

    const CodePage936& cp_;
    std::u16string folder_, picked_;
    QLineEdit* folderBox_;
    QPushButton* up_;
    QTreeWidget* list_;
    QLineEdit* nameBox_;
    QComboBox* typeBox_;
    QPushButton* accept_;
};

} // namespace quillory
