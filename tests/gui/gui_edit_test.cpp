// Editing on the real window: marks by mouse, the right-click tool, the prompt dialog
// and the file dialogs, each reached by its key or button.

#include "gui/GuiWindow.h"
#include "input/qt/PromptDialog.h"

using namespace quillory;

namespace {

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// Answers the file dialog as a user typing the name of `path` would, once its list
// offers the file and the dialog reports it chosen, whatever the build's speed (the list
// may yet select the file the dialog opened with). Answers Qt's question with `reply`,
// and cancels the dialog that a No brings back. Logs the title, question and return.
std::function<bool(QWidget*)> pick(const QString& path, QMessageBox::StandardButton reply,
                                   QStringList& log) {
    return [=, &log](QWidget* modal) {
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            if (log.size() != 1) return false;
            log << box->text();
            QMetaObject::invokeMethod(box->button(reply), &QAbstractButton::click,
                                      Qt::QueuedConnection);
            return false;
        }
        auto* dialog = static_cast<QFileDialog*>(modal);
        if (log.size() == 2 && reply == QMessageBox::No) {
            log << QStringLiteral("back");
            dialog->reject();
            return true;
        }
        auto* list = dialog->findChild<QListView*>(QStringLiteral("listView"));
        const QModelIndex offered =
            list->model()
                ->match(list->model()->index(0, 0, list->rootIndex()), Qt::DisplayRole,
                        QFileInfo(path).fileName(), 1, Qt::MatchExactly)
                .value(0);
        if (!log.isEmpty() || !(offered.flags() & Qt::ItemIsEnabled)) return false;
        if (dialog->selectedFiles() != QStringList{path}) {
            list->clearSelection();
            dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(path);
            return false;
        }
        log << dialog->windowTitle();
        // Queued, so that Qt's question runs in the dialog's own loop, where it is answered.
        QMetaObject::invokeMethod(dialog, &QDialog::accept, Qt::QueuedConnection);
        return false;
    };
}

} // namespace

class GuiEditTest : public testing::GuiTest {
    Q_OBJECT
  private slots:
    // Qt's double click: its first press marks the byte, its second does not toggle it
    // back, and two double clicks mark the range between them.
    void doubleClicksMarkARange() {
        QTest::mouseDClick(window->windowHandle(), Qt::LeftButton, {}, at(hex, 70));
        QVERIFY(form->ChrBox.selected(70));
        QTest::mouseDClick(window->windowHandle(), Qt::LeftButton, {}, at(chr, 2));
        QCOMPARE(form->PickCount, 2);
        QCOMPARE(form->SelSpan, 6 * 16 + 2 - 32); // row 6 column 2 to row 2 column 0
    }

    // The hex grid's right button asks for characters in Qt's input box, shows their
    // codes in a message box and copies them to the system clipboard.
    void rightClickToolShowsAndCopiesCodes() {
        QString message;
        answer([&message](QWidget* modal) {
            if (auto* box = qobject_cast<QMessageBox*>(modal)) {
                message = box->text();
                return box->close();
            }
            auto* text = modal->findChild<QLineEdit*>();
            // Key clicks carry Latin-1 only; the character goes in as an input method would.
            QTest::keyClicks(text, QStringLiteral("A"));
            text->insert(QStringLiteral("中"));
            QTest::keyClick(text, Qt::Key_Return);
            return false;
        });
        click(hex, 100, Qt::RightButton);
        QCOMPARE(message, QStringLiteral("“A中”的16进制Ascii码是：\r\n41 D6D0"));
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("41 D6D0"));
    }

    // Ctrl+F3 asks in the prompt dialog, which opens on the previous reply ready for
    // overtyping. Esc, the close button and Cancel hand back nothing, which the editor
    // refuses; Enter hands back the reply, and the window shows the page it is found on.
    void ctrlF3AsksInThePrompt() {
        Bytes bytes(1024);
        bytes[512 + 33] = 0xC4;
        bytes[512 + 34] = 0xE3;
        form->loadDocument(std::move(bytes));
        for (const int way : {0, 1, 2, 3}) {
            QVERIFY(activate());
            QStringList seen;
            answer([way, &seen](QWidget* modal) {
                if (auto* box = qobject_cast<QMessageBox*>(modal)) {
                    seen << box->text();
                    return box->close();
                }
                auto* text = modal->findChild<QLineEdit*>(QStringLiteral("Text1"));
                seen << modal->windowTitle()
                     << modal->findChild<QLabel*>(QStringLiteral("Label1"))->text()
                     << text->selectedText();
                if (way == 0) QTest::keyClick(text, Qt::Key_Escape);
                if (way == 1) modal->close();
                if (way == 2) modal->findChild<QPushButton*>(QStringLiteral("KeyCancel"))->click();
                if (way == 3) QTest::keyClick(text, Qt::Key_Return);
                return way == 3;
            });
            form->InputText = u"c4 e3";
            QTest::keyClick(window, Qt::Key_F3, Qt::ControlModifier);
            const QStringList expected{"Lookup",
                                       "请输入16进制数字\n每个数字为2位,数字之间可用空格隔开",
                                       "c4 e3", "无效数字"};
            QCOMPARE(seen, expected.first(way == 3 ? 3 : 4));
            QCOMPARE(form->CurPage, way == 3 ? 1 : 0);
            QCOMPARE(window->scrollBar()->value(), form->CurPage);
        }
        QCOMPARE(form->SelStart, 33);
    }

    // A reply longer than a line edit keeps by default reaches the command whole: a
    // pasted 40,000 characters insert 40,000 bytes.
    void longReplyIsInsertedWhole() {
        click(hex, 0);
        QGuiApplication::clipboard()->setText(QString(40000, QLatin1Char('q')));
        answer([](QWidget* modal) {
            auto* text = modal->findChild<QLineEdit*>(QStringLiteral("Text1"));
            QTest::keySequence(text, QKeySequence::Paste);
            QTest::keyClick(text, Qt::Key_Return);
            return true;
        });
        QTest::keyClick(window, Qt::Key_F2, Qt::ShiftModifier);
        QCOMPARE(form->FileBytes.size(), std::size_t{512 + 40000});
        QCOMPARE(std::count(form->FileBytes.begin(), form->FileBytes.end(), 'q'), 40000);
    }

    // Nothing overlaps the two-line prompt and the buttons fit inside, in both sizes.
    void promptLayouts() {
        for (const bool large : {false, true}) {
            PromptDialog d(large);
            QVERIFY(d.label()->geometry().bottom() < d.textBox()->y());
            QVERIFY(d.textBox()->geometry().bottom() < d.okButton()->y());
            QVERIFY(d.okButton()->geometry().bottom() < d.height());
            QVERIFY(d.cancelButton()->geometry().right() < d.width());
            QCOMPARE(d.textBox()->font().pointSize(), large ? 12 : 9);
        }
    }

    // F2 opens the file chosen in the dialog, which has no dot in its name: a filter of
    // "*.*" taken literally would not offer it. F3 on a new document picks its name in
    // the same dialog; an existing file chosen there is replaced only after Qt's
    // question: No goes back to the dialog, Yes saves.
    void fileDialogs() {
        QTemporaryDir dir;
        const QString taken = dir.filePath("taken"), data = dir.filePath("data");
        QVERIFY(writeFile(taken, "theirs") && writeFile(data, QByteArray(700, 'd')));
        const QString question = QFileDialog::tr("%1 already exists.\nDo you want to replace it?");
        const QStringList saving{"保存", question.arg(QStringLiteral("taken")), "back"};
        for (const auto reply : {QMessageBox::NoButton, QMessageBox::No, QMessageBox::Yes}) {
            const bool open = reply == QMessageBox::NoButton;
            QVERIFY(activate());
            // Opens in the folder, and for F2 on another file: a chosen file is listed
            // whatever the filter says.
            form->CD.FileName = taken.toStdU16String();
            QStringList log;
            QObject round;
            answer(pick(open ? data : taken, reply, log), &round);
            QTest::keyClick(window, open ? Qt::Key_F2 : Qt::Key_F3);
            QCOMPARE(log,
                     open ? QStringList{"打开"} : saving.first(reply == QMessageBox::No ? 3 : 2));
            QFile file(taken);
            QVERIFY(file.open(QIODevice::ReadOnly));
            QCOMPARE(file.readAll(), reply == QMessageBox::Yes ? QByteArray(700, 'd') : "theirs");
            if (!open) continue;
            QCOMPARE(window->windowTitle(), QStringLiteral("正在编辑：") + data);
            QCOMPARE(window->statusLabel()->text(),
                     QStringLiteral("文件字节:700( &H2BC) 总页数:2 当前页:1"));
            form->FileName.clear(); // a new document again, for F3
        }
    }
};

QTEST_MAIN(GuiEditTest)
#include "gui_edit_test.moc"
