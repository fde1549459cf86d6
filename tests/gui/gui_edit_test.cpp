// Editing on the real window: the right-click tool, the prompt, the file dialogs across a
// session, and Qt's own texts in what a user meets.

#include "files/Names.h"
#include "files/qt/FileDialog.h"
#include "gui/GuiWindow.h"
#include "input/qt/PromptDialog.h"
#include "platform/CodePage936.h"
#include "support/TempFiles.h"

#include <deque>
#include <fstream>

using namespace quillory;

namespace {

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(none)");
}

// The texts of a menu's entries, submenus included.
QStringList menuTexts(const QMenu* menu) {
    QStringList texts{menu->title()};
    for (const QAction* a : menu->actions())
        texts << a->text() << a->toolTip() << (a->menu() ? menuTexts(a->menu()) : QStringList());
    return texts;
}

// The texts of the popup menus that `open` shows, each closed once read.
QStringList popupTexts(const std::function<void()>& open) {
    QStringList texts;
    QTimer closer;
    auto take = [&texts] {
        if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
            texts << menuTexts(menu);
            menu->close();
        }
    };
    QObject::connect(&closer, &QTimer::timeout, take);
    closer.start(10);
    open();
    QCoreApplication::processEvents();
    take();
    return texts;
}

// Every text Qt shows in a window or may show on request: titles, labels, buttons,
// tooltips, accessible texts, items and headers of views and lists, entries of its
// actions and of its text boxes' context menus.
QStringList textsOf(QWidget* root) {
    QStringList texts{root->windowTitle()};
    QList<QWidget*> widgets = root->findChildren<QWidget*>();
    widgets.prepend(root);
    for (QWidget* w : widgets) {
        texts << w->toolTip() << w->whatsThis() << w->accessibleName()
              << w->accessibleDescription();
        if (auto* label = qobject_cast<QLabel*>(w)) texts << label->text();
        if (auto* button = qobject_cast<QAbstractButton*>(w)) texts << button->text();
        if (auto* combo = qobject_cast<QComboBox*>(w))
            for (int i = 0; i < combo->count(); ++i)
                texts << combo->itemText(i);
        if (auto* view = qobject_cast<QAbstractItemView*>(w); view && view->model()) {
            const QAbstractItemModel* model = view->model();
            for (int c = 0; c < model->columnCount(view->rootIndex()); ++c) {
                texts << model->headerData(c, Qt::Horizontal).toString();
                for (int r = 0; r < model->rowCount(view->rootIndex()); ++r)
                    for (const int role : {int(Qt::DisplayRole), int(Qt::ToolTipRole)})
                        texts << model->index(r, c, view->rootIndex()).data(role).toString();
            }
        }
        if (auto* edit = qobject_cast<QLineEdit*>(w)) {
            texts << edit->placeholderText();
            std::unique_ptr<QMenu> menu(edit->createStandardContextMenu());
            texts << menuTexts(menu.get());
        }
    }
    for (const QAction* a : root->findChildren<QAction*>())
        texts << a->text() << a->toolTip();
    return texts;
}

// The texts that hold Latin letters once the allowed words are taken out.
QStringList latinIn(const QStringList& texts, QStringList allowed) {
    allowed += {"Quillory", "Lookup", "Swap", "Ansi", "Unicode", "Character", "Ascii"};
    std::sort(allowed.begin(), allowed.end(),
              [](const QString& a, const QString& b) { return a.size() > b.size(); });
    // Access keys, shortcuts and the units of sizes are not words: "撤消(&U)\tCtrl+Z", "2 kB".
    const QRegularExpression keys(QStringLiteral("\\(&?[A-Z]\\)|\\t.*$|\\d [kMGT]B\\b"));
    QStringList found;
    for (QString text : texts) {
        text.remove(keys);
        for (const QString& word : allowed)
            if (!word.isEmpty()) text.remove(word);
        if (text.contains(QRegularExpression(QStringLiteral("[A-Za-z]")))) found << text;
    }
    found.removeDuplicates();
    return found;
}

// What a user answers, modal by modal, in a session: each step handles the active modal
// widget until it returns true. A modal that no step expects is logged and closed.
class Script {
  public:
    std::deque<std::function<bool(QWidget*)>> steps;
    QStringList seen;  // dialog titles and question texts, in order
    QStringList texts; // of the file dialogs

    bool operator()(QWidget* modal) {
        if (steps.empty()) {
            seen << "unexpected: " + modal->windowTitle();
            QMetaObject::invokeMethod(modal, "reject", Qt::QueuedConnection);
        } else if (steps.front()(modal)) {
            steps.pop_front();
        }
        return false;
    }
    // A step for a modal of type T, which `act` handles, noting its title or text.
    template <class T> void on(std::function<void(T*)> act) {
        steps.push_back([this, act](QWidget* modal) {
            auto* widget = qobject_cast<T*>(modal);
            if (!widget) return false;
            auto* box = qobject_cast<QMessageBox*>(modal);
            seen << (box ? box->text() : modal->windowTitle());
            act(widget);
            return true;
        });
    }
    // Types the name into the file dialog and confirms it, noting the name the dialog
    // opened on and reading its texts.
    void pick(const QString& path) {
        on<FileDialog>([this, path](FileDialog* dialog) {
            seen.last() += ' ' + dialog->nameBox()->text();
            texts << textsOf(dialog);
            dialog->nameBox()->setText(path);
            later(dialog->acceptButton(), &QAbstractButton::click);
        });
    }
    // Answers a message box with the button of that text.
    void press(const QString& button) {
        on<QMessageBox>([button](QMessageBox* box) {
            for (QAbstractButton* b : box->buttons())
                if (b->text() == button) later(b, &QAbstractButton::click);
        });
    }
    void cancel() {
        on<FileDialog>([](FileDialog* dialog) { later(dialog, &QDialog::reject); });
    }
    // Types a reply into the prompt dialog and confirms it.
    void type(const QString& reply) {
        on<PromptDialog>([reply](PromptDialog* prompt) {
            prompt->textBox()->setText(reply);
            later(prompt->okButton(), &QAbstractButton::click);
        });
    }
    // Once the modal's event loop runs again: it may not close from inside a timer's call.
    template <class T, class F> static void later(T* object, F slot) {
        QMetaObject::invokeMethod(object, slot, Qt::QueuedConnection);
    }
};

} // namespace

class GuiEditTest : public testing::GuiTest {
    Q_OBJECT

    // Inserts the bytes of the hex digits before the cell, as a user does: a click, Shift+F1.
    void insert(Script& script, int cell, const QString& digits) {
        activate();
        QTest::mouseClick(window->windowHandle(), Qt::LeftButton, {}, at(hex, cell));
        script.type(digits);
        QTest::keyClick(window, Qt::Key_F1, Qt::ShiftModifier);
    }

  private slots:
    // The right button reaches the hex grid's tool, which asks in Qt's input box (taking a
    // reply of any length) and copies the codes of what was typed to the system clipboard.
    // The message quotes the reply as typed, markup and all.
    void rightClickToolCopiesCodes() {
        QString shown;
        QStringList texts;
        answer([&shown, &texts](QWidget* modal) {
            if (auto* input = qobject_cast<QInputDialog*>(modal)) {
                texts = textsOf(input);
                auto* edit = input->findChild<QLineEdit*>();
                edit->setText(QString(40000, QLatin1Char('q')));
                const bool whole = edit->text().size() == 40000;
                input->setTextValue(whole ? QStringLiteral("<b>A中") : QStringLiteral("cut"));
            }
            if (auto* box = qobject_cast<QMessageBox*>(modal))
                shown = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"))->text() +
                        (box->textFormat() == Qt::PlainText ? "" : " (rich)");
            QTest::keyClick(modal, Qt::Key_Return);
            return !shown.isEmpty();
        });
        QTest::mouseClick(window->windowHandle(), Qt::RightButton, {}, at(hex, 100));
        QCOMPARE(shown, QStringLiteral("“<b>A中”的16进制Ascii码是：\n3C 62 3E 41 D6D0"));
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("3C 62 3E 41 D6D0"));
        QVERIFY(texts.contains(QStringLiteral("取消")));
        QCOMPARE(latinIn(texts, {}), QStringList());
    }

    // Ctrl+F3 asks in the prompt dialog, open on the previous reply ready for overtyping,
    // in either size with its buttons below the reply box and inside. Esc and Cancel
    // hand back nothing, which the editor refuses; Enter hands back the reply, which finds.
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
                // The prompt's two lines fit their room.
                const bool apart = d->label()->sizeHint().height() <= d->label()->height() &&
                                   d->label()->geometry().bottom() < d->textBox()->y() &&
                                   d->textBox()->geometry().bottom() < d->okButton()->y() &&
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
            want.insert(3, way == 1 ? "12" : "9"); // the reply box's points in either layout
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

    // A user's session across commands on Qt's own dialogs: each file command finds the
    // dialog as the last one left it, Open asks nothing about the file it opens (after Save
    // as too), a save asks before replacing another file (No goes back to the dialog), and
    // closing asks to save. A cancelled Open opens nothing, though the dialog opened on a
    // file. Names without a dot are listed ("*.*" means every file). The caption shows a
    // name exactly, "[*]" too.
    void sessionAcrossCommands() {
        QTemporaryDir dir;
        QDir::setCurrent(dir.path()); // where the first dialog opens
        QVERIFY(QDir(dir.path()).mkdir("sub"));
        const QString a = dir.filePath("a.bin"), b = dir.filePath("b[*].bin"),
                      c = dir.filePath("c");
        for (const auto& [path, bytes] :
             {std::pair{a, QByteArray(700, 'a')}, std::pair{c, QByteArray(100, 'c')},
              std::pair{dir.filePath("d"), QByteArray(2048, 'd')}}) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
        }
        Script script;
        answer(std::ref(script));
        auto caption = [this] { return window->windowHandle()->title(); };

        script.pick(a);
        QVERIFY(activate());
        QTest::keyClick(window, Qt::Key_F2);
        QCOMPARE(caption(), "正在编辑：" + a);
        script.cancel();
        script.press("确定");
        QVERIFY(activate());
        QTest::keyClick(window, Qt::Key_F2);
        QCOMPARE(caption(), "正在编辑：" + a);
        insert(script, 0, "4142");
        script.pick(b);
        QVERIFY(activate());
        QTest::keyClick(window, Qt::Key_F4);
        QCOMPARE(caption(), "正在编辑 " + b);
        QCOMPARE(contents(b), "AB" + QByteArray(700, 'a'));
        script.pick(c);
        QVERIFY(activate());
        QTest::keyClick(window, Qt::Key_F2);
        QCOMPARE(caption(), "正在编辑：" + c);
        insert(script, 32, "00"); // the second byte: the grid fills column by column
        QVERIFY(activate());
        QTest::keyClick(window, Qt::Key_F3);
        QCOMPARE(contents(c), 'c' + QByteArray(1, '\0') + QByteArray(99, 'c'));

        QVERIFY(activate());
        QTest::keyClick(window, Qt::Key_F1);
        QCOMPARE(caption(), QStringLiteral("Quillory"));
        script.pick(dir.filePath("missing/a.bin"));
        script.press("确定");
        script.pick(a);
        script.press("否(&N)");
        script.pick(a);
        script.press("是(&Y)");
        QVERIFY(activate());
        QTest::keyClick(window, Qt::Key_F3);
        QCOMPARE(contents(a), QByteArray(512, '\0'));
        QCOMPARE(caption(), QStringLiteral("Quillory"));
        insert(script, 0, "FF");
        script.press("是(&Y)");
        QVERIFY(activate());
        QVERIFY(window->close());
        QCOMPARE(contents(a), '\xFF' + QByteArray(512, '\0'));
        const QString replace = QStringLiteral("a.bin 已存在。\n要替换它吗？");
        QCOMPARE(script.seen,
                 (QStringList{"打开 ", "打开", "无此文件", "插入", "另存为 ", "打开 b[*].bin",
                              "插入", "保存 c", "路径不存在。\n请检查路径是否正确。", "保存 a.bin",
                              replace, "保存 a.bin", replace, "插入", "文件已经修改，是否保存？"}));
        QVERIFY(script.steps.empty());
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files),
                 (QStringList{"a.bin", "b[*].bin", "c", "d"}));
        // The file dialogs and the scroll bar's menu are all Chinese; names of files and
        // folders and the program's name aside.
        QStringList texts = script.texts + popupTexts([this] {
                                QScrollBar* bar = window->scrollBar();
                                QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(2, 30),
                                                        bar->mapToGlobal(QPoint(2, 30)));
                                QCoreApplication::sendEvent(bar, &event);
                            });
        QVERIFY(texts.contains(QString("文件夹")) && texts.contains(QString("2.00 kB")));
        const QStringList names =
            QDir(dir.path()).entryList() + dir.path().split('/') + QDir::homePath().split('/');
        QCOMPARE(latinIn(texts, names), QStringList());
    }

    // Among 1,000 names of random bytes, a file named in GBK bytes is listed in the real
    // dialog as Chinese Windows shows its name; picked by that name, it is saved back under
    // its own bytes (no second file appears), and, changed since, dropped from a file
    // manager after a folder: the save prompt, then it opens.
    void gbkNameListedAndDropped() {
        QTemporaryDir dir;
        QDir::setCurrent(dir.path());
        QVERIFY(QDir(dir.path()).mkdir("sub"));
        const std::string gbk = dir.path().toStdString() + "/\xD6\xD0\xCE\xC4.bin";
        std::ofstream(gbk) << "gbk";
        QStringList shown{"sub", "中文.bin"}, listed;
        for (const std::string& name : testing::randomNames(1000, 23)) {
            std::ofstream(dir.path().toStdString() + '/' + name) << name;
            shown << QString::fromStdU16String(
                shownName(nameFromNative(name), CodePage936::instance()));
        }
        Script script;
        answer(std::ref(script));
        script.on<FileDialog>([&listed](FileDialog* dialog) {
            for (int i = 0; i < dialog->entryList()->topLevelItemCount(); ++i)
                listed << dialog->entryList()->topLevelItem(i)->text(0);
            dialog->nameBox()->setText(QStringLiteral("中文.bin"));
            Script::later(dialog->acceptButton(), &QAbstractButton::click);
        });
        QVERIFY(activate());
        QTest::keyClick(window, Qt::Key_F2);
        QCOMPARE(window->windowHandle()->title(), "正在编辑：" + dir.path() + "/中文.bin");
        shown.sort();
        listed.sort();
        QCOMPARE(listed, shown);
        insert(script, 0, "41");
        QVERIFY(activate());
        QTest::keyClick(window, Qt::Key_F3);
        std::string saved;
        std::getline(std::ifstream(gbk), saved);
        QCOMPARE(saved, "Agbk");
        const std::filesystem::directory_iterator entries(dir.path().toStdString());
        QCOMPARE(std::distance(begin(entries), end(entries)), 1002); // no second file

        std::ofstream(gbk) << "theirs";
        insert(script, 0, "42");
        script.press("否(&N)");
        QMimeData drop;
        drop.setData("text/uri-list",
                     "file://" + QUrl::toPercentEncoding(dir.filePath("sub"), "/") + "\r\nfile://" +
                         QByteArray::fromStdString(gbk).toPercentEncoding("/") + "\r\n");
        QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, &drop, Qt::LeftButton, {});
        QCoreApplication::sendEvent(window, &enter);
        QDropEvent event(QPointF(50, 50), Qt::CopyAction, &drop, Qt::LeftButton, {});
        QCoreApplication::sendEvent(window, &event);
        QTRY_COMPARE(form->FileBytes.size(), std::size_t(6));
        QCOMPARE(script.seen, (QStringList{"打开", "插入", "插入", "文件已经修改，是否保存？"}));
        std::filesystem::remove_all(dir.path().toStdString()); // names Qt cannot remove
    }
};

QUILLORY_GUI_TEST_MAIN(GuiEditTest)
#include "gui_edit_test.moc"
