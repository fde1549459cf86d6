#include "input/qt/PromptDialog.h"

#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <limits>

#include "platform/qt/QtText.h"
#include "window/Layout.h"

namespace quillory {
namespace {

// The reply box offers its whole text for overtyping whenever it gets the focus, so
// the previous reply is replaced by typing or kept by Enter.
class ReplyEdit : public QLineEdit {
  public:
    using QLineEdit::QLineEdit;

  protected:
    void focusInEvent(QFocusEvent* event) override {
        QLineEdit::focusInEvent(event);
        selectAll();
    }
};

} // namespace

PromptDialog::PromptDialog(bool large, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Form2"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setModal(true);

    const PromptLayout& l = promptLayoutFor(large);
    QFont controlFont = font();
    controlFont.setPointSize(l.fontPoints);

    // Created in tab order: the reply box first, so it has the focus when shown.
    Text1 = new ReplyEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // Qt's default of 32,767 characters would cut a long reply without a word; a
    // reply too long for the document is refused by the command that takes it.
    Text1->setMaxLength(std::numeric_limits<int>::max());
    KeyOK = new QPushButton(QStringLiteral("确定"), this);
    KeyOK->setObjectName(QStringLiteral("KeyOK"));
    KeyOK->setDefault(true);
    KeyCancel = new QPushButton(QStringLiteral("取消"), this);
    KeyCancel->setObjectName(QStringLiteral("KeyCancel"));
    KeyCancel->setAutoDefault(false);
    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setTextFormat(Qt::PlainText);
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // Screen readers name the reply box by its prompt.
    Label1->setBuddy(Text1);
    for (QWidget* w : {static_cast<QWidget*>(Label1), static_cast<QWidget*>(Text1),
                       static_cast<QWidget*>(KeyOK), static_cast<QWidget*>(KeyCancel)})
        w->setFont(controlFont);

    const int width = twipsToPixels(l.clientWidth);
    Label1->setGeometry(0, twipsToPixels(l.labelTop), width, twipsToPixels(l.textTop - l.labelTop));
    Text1->setGeometry(0, twipsToPixels(l.textTop), width, twipsToPixels(l.textHeight));
    KeyOK->setGeometry(twipsToPixels(l.okLeft), twipsToPixels(l.buttonTop),
                       twipsToPixels(l.buttonWidth), twipsToPixels(l.buttonHeight));
    KeyCancel->setGeometry(twipsToPixels(l.cancelLeft), twipsToPixels(l.buttonTop),
                           twipsToPixels(l.buttonWidth), twipsToPixels(l.buttonHeight));
    setFixedSize(width, twipsToPixels(l.clientHeight));

    connect(KeyOK, &QPushButton::clicked, this, [this] { KeyOK_Click(); });
    connect(KeyCancel, &QPushButton::clicked, this, &PromptDialog::reject);
}

void PromptDialog::showModal(Form2& form) {
    setWindowTitle(QString::fromStdU16String(form.Caption));
    // The editor joins the two prompt lines with CR LF; a label breaks at LF alone.
    Label1->setText(lines(form.Label1));
    fitPrompt();
    Text1->setText(QString::fromStdU16String(form.Text1));
    St51.clear();
    Text1->setFocus(Qt::OtherFocusReason);
    exec();
    form.Text1 = Text1->text().toStdU16String();
    form.St51 = St51;
}

// The layout gives the two lines of the prompt a fixed room. The font the system finds
// for Chinese may need more than the layout's size allows, so the prompt gets a smaller
// size until it fits rather than lose its second line or move the reply box.
void PromptDialog::fitPrompt() {
    QFont font = Text1->font();
    Label1->setFont(font);
    while ((Label1->sizeHint().height() > Label1->height() ||
            Label1->sizeHint().width() > Label1->width()) &&
           font.pointSizeF() > 4) {
        font.setPointSizeF(font.pointSizeF() - 0.5);
        Label1->setFont(font);
    }
}

void PromptDialog::KeyOK_Click() {
    St51 = Text1->text().toStdU16String();
    accept();
}

void PromptDialog::reject() {
    St51.clear();
    QDialog::reject();
}

} // namespace quillory
