#pragma once
// The prompt dialog Form2: a two-line prompt, one reply box, OK and Cancel. It only
// shows the Form2 state the editor filled and hands the confirmed text back; the
// checks of the reply are the editor's.

#include <QDialog>
#include <string>

#include "platform/Platform.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace quillory {

class PromptDialog : public QDialog {
    Q_OBJECT
  public:
    // The layout is fixed when the dialog loads, like the main window's.
    explicit PromptDialog(bool large, QWidget* parent = nullptr);

    // Shows the dialog modally with the form's caption, prompt and text; afterwards
    // St51 holds the confirmed text, or the empty text after Cancel, Esc or close.
    void showModal(Form2& form);

    QLabel* label() const { return Label1; }
    QLineEdit* textBox() const { return Text1; }
    QPushButton* okButton() const { return KeyOK; }
    QPushButton* cancelButton() const { return KeyCancel; }

  public slots:
    // Esc and the window's close button come here as well as the Cancel button.
    void reject() override;

  private:
    void fitPrompt();
    void KeyOK_Click();

    QLabel* Label1;
    QLineEdit* Text1;
    QPushButton* KeyOK;
    QPushButton* KeyCancel;
    std::u16string St51;
};

} // namespace quillory
