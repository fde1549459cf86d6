// Editing on the real window: the right-click tool, the prompt and the file dialogs.

#include "gui/GuiWindow.h"
#include "input/qt/PromptDialog.h"

using namespace quillory;

namespace {

// Chooses `path` in the file dialog as a user typing it would once the list offers it, and
// accepts once the dialog reports it, however fast the build (the list may yet select the
// file it opened with). Answers Qt's question Yes; logs the title and the question.
std::function<bool(QWidget*)> pick(const QString& path, QStringList& log) {
    return [=, &log](QWidget* modal) {
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            if (log.size() != 1) return false;
            log << box->text();
            QMetaObject::invokeMethod(box->button(QMessageBox::Yes), &QAbstractButton::click,
                                      Qt::QueuedConnection);
            return false;
        }
        auto* dialog = static_cast<QFileDialog*>(modal);
        auto* list = dialog->findChild<QListView*>(QStringLiteral("listView"));
        const QModelIndex top = list->model()->index(0, 0, list->rootIndex());
        const QString name = QFileInfo(path).fileName();
        const QModelIndex offered = list->model()->match(top, Qt::DisplayRole, name).value(0);
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
    // The right button reaches the hex grid's tool, which asks in Qt's input box, its
    // buttons in Chinese, and copies the codes of what was typed to the system clipboard.
    void rightClickToolCopiesCodes() {
        QString buttons;
        answer([&buttons](QWidget* modal) {
            if (auto* input = qobject_cast<QInputDialog*>(modal)) {
                input->setTextValue(QStringLiteral("A中"));
                buttons = input->okButtonText() + ' ' + input->cancelButtonText();
            }
            QTest::keyClick(modal, Qt::Key_Return);
            return qobject_cast<QMessageBox*>(modal) != nullptr; // the codes shown
        });
        QTest::mouseClick(window->windowHandle(), Qt::RightButton, {}, at(hex, 100));
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("41 D6D0"));
        QCOMPARE(buttons, QStringLiteral("确定 取消"));
    }

    // Ctrl+F3 asks in the prompt dialog, open on the previous reply ready for overtyping,
    // in either size, in its points, with its buttons below the reply box and inside. Esc
    // and Cancel hand back nothing, which the editor refuses; Enter hands back the reply,
    // which finds.
    void ctrlF3AsksInThePrompt() {
        form->loadDocument(Bytes(1024, 0));
        form->FileBytes[512 + 33] = 0xC4;
        const QStringList asked{"Lookup", "请输入16进制数字\n每个数字为2位,数字之间可用空格隔开",
                                "c4", "apart", "无效数字"};
        for (const int way : {0, 1, 2}) { // Esc, Cancel, Enter
            QVERIFY(activate());
            QStringList seen;
            answer([way, &seen](QWidget* modal) {
                if (auto* box = qobject_cast<QMessageBox*>(modal)) {
                    seen << box->text();
                    return box->close();
                }
                auto* d = static_cast<PromptDialog*>(modal);
                const bool apart = d->textBox()->geometry().bottom() < d->okButton()->y() &&
                                   d->okButton()->geometry().bottom() < d->height() &&
                                   d->cancelButton()->geometry().right() < d->width();
                seen << d->windowTitle() << d->label()->text() << d->textBox()->selectedText()
                     << QString::number(d->textBox()->font().pointSize())
                     << (apart ? "apart" : "overlapping");
                way == 1 ? d->cancelButton()->click()
                         : QTest::keyClick(d->textBox(), way ? Qt::Key_Return : Qt::Key_Escape);
                return way == 2;
            });
            form->InputText = u"c4";
            form->Dialog2.Large = way % 2 == 1;
            QTest::keyClick(window, Qt::Key_F3, Qt::ControlModifier);
            QStringList want = asked.first(way == 2 ? 4 : 5);
            want.insert(3, way == 1 ? "12" : "9");
            QCOMPARE(seen, want);
            QCOMPARE(form->CurPage, way == 2 ? 1 : 0);
        }
        QCOMPARE(form->SelStart, 33);
        // Enter answers Yes: find next goes on to the last occurrence.
        form->FileBytes[512 + 40] = form->FileBytes[512 + 50] = 0xC4;
        QVERIFY(activate());
        QString last;
        answer([&last](QWidget* modal) {
            last = static_cast<QMessageBox*>(modal)->text();
            QTest::keyClick(modal, Qt::Key_Return);
            return last.startsWith(u"共找到");
        });
        QTest::keyClick(window, Qt::Key_F2, Qt::ControlModifier);
        QCOMPARE(last, QStringLiteral("共找到3处选定数据"));
    }

    // A reply longer than a line edit keeps by default reaches the command whole, spaces
    // around it too: a pasted 40,002 characters insert 40,002 bytes.
    void longReplyIsInsertedWhole() {
        QTest::mouseClick(window->windowHandle(), Qt::LeftButton, {}, at(hex, 0));
        QGuiApplication::clipboard()->setText(' ' + QString(40000, QLatin1Char('q')) + ' ');
        answer([](QWidget* modal) {
            QTest::keySequence(modal->focusWidget(), QKeySequence::Paste);
            QTest::keyClick(modal->focusWidget(), Qt::Key_Return);
            return true;
        });
        QTest::keyClick(window, Qt::Key_F2, Qt::ShiftModifier);
        QCOMPARE(std::count(form->FileBytes.begin(), form->FileBytes.end(), 'q'), 40000);
        QVERIFY(form->FileBytes[0] == ' ' && form->FileBytes[40001] == ' ');
    }

    // Delete all shows the busy pointer while it works, and the usual one again after.
    void deleteAllGivesThePointerBack() {
        form->loadDocument(Bytes(1024, 7));
        form->NumberBox.userClick(0);
        form->CopyOrCut(1);
        answer([](QWidget* modal) { return modal->close(); }); // the count deleted
        form->DelAll(1);
        QVERIFY(form->FileBytes.size() == 512 && !QGuiApplication::overrideCursor());
    }

    // F2 opens the file chosen in the dialog, though its name has no dot ("*.*" taken
    // literally would hide it). F3 on a new document names it there too, and replaces an
    // existing file after Qt's question, as F4 (save as) does.
    void fileDialogs() {
        QTemporaryDir dir;
        const QString taken = dir.filePath("taken"), data = dir.filePath("data");
        for (const auto& [path, bytes] :
             {std::pair{taken, QByteArray("theirs")}, std::pair{data, QByteArray(700, 'd')}}) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
        }
        // Cancelled, the dialog opens nothing, though it opened on a file.
        form->CD.FileName = taken.toStdU16String();
        QString said;
        QObject cancelling;
        answer(
            [&said](QWidget* modal) {
                if (auto* dialog = qobject_cast<QFileDialog*>(modal))
                    return dialog->reject(), false;
                said = static_cast<QMessageBox*>(modal)->text();
                return modal->close();
            },
            &cancelling);
        QTest::keyClick(window, Qt::Key_F2);
        QCOMPARE(said, QStringLiteral("无此文件"));
        const QString question = QFileDialog::tr("%1 already exists.\nDo you want to replace it?");
        for (const Qt::Key key : {Qt::Key_F2, Qt::Key_F3, Qt::Key_F4}) {
            const bool open = key == Qt::Key_F2;
            QVERIFY(activate());
            // Opens in the folder; for F2 on another file, listed whatever the filter says.
            form->CD.FileName = taken.toStdU16String();
            QStringList log;
            QObject round;
            answer(pick(open ? data : taken, log), &round);
            QTest::keyClick(window, key);
            const QString title = key == Qt::Key_F3 ? "保存" : "另存为";
            QCOMPARE(log, (open ? QStringList{"打开"} : QStringList{title, question.arg("taken")}));
            QFile file(taken);
            QVERIFY(file.open(QIODevice::ReadOnly));
            QCOMPARE(file.readAll(), open ? QByteArray("theirs") : QByteArray(700, 'd'));
            if (!open) continue;
            QCOMPARE(window->windowTitle(), QStringLiteral("正在编辑：") + data);
            form->FileName.clear(); // a new document again, for F3
        }
    }
};

QTEST_MAIN(GuiEditTest)
#include "gui_edit_test.moc"
