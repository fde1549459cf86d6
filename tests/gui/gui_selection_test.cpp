// The mouse on the real grids and the real prompt dialog, on the offscreen platform.
// Mouse input goes through the window, so Qt's own double-click detection runs.

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <functional>
#include <numeric>

#include "core/Form1.h"
#include "core/Format.h"
#include "gui/GuiWindow.h"
#include "input/qt/PromptDialog.h"
#include "platform/qt/QtPlatform.h"
#include "window/qt/EditorSession.h"
#include "window/qt/GridView.h"
#include "window/qt/MainWindow.h"

using namespace quillory;

class GuiSelectionTest : public QObject {
    Q_OBJECT

    QtPlatform platform;
    EditorSession* session = nullptr;
    Form1* form = nullptr;
    MainWindow* window = nullptr;

    void useLayout(bool large) {
        form->LargeScreen = large ? kTrue : kFalse;
        window->applyLayout();
    }

    QWindow* handle() const { return window->windowHandle(); }
    QPoint at(GridView* view, int cell) const {
        return view->mapTo(window, view->cellCentre(cell).toPoint());
    }

    // Runs `act` on the next modal dialog once it is up; the caller then opens it.
    void onNextModal(std::function<void(QWidget*)> act) {
        auto* timer = new QTimer(this);
        timer->setInterval(5);
        connect(timer, &QTimer::timeout, this, [timer, act] {
            QWidget* modal = QApplication::activeModalWidget();
            if (!modal || !modal->isVisible()) return;
            timer->stop();
            timer->deleteLater();
            act(modal);
        });
        timer->start();
    }

    int highlightCount() const {
        int n = 0;
        for (int k = 0; k < 512; ++k)
            n += form->NumberBox.selected(k) ? 1 : 0;
        return n;
    }

  private slots:
    void init() {
        session = new EditorSession(platform);
        form = &session->form;
        window = &session->window;
        useLayout(false);
        QVERIFY(testing::showActive(*window));
        Bytes bytes(1024);
        std::iota(bytes.begin(), bytes.end(), std::uint8_t{0});
        form->loadDocument(std::move(bytes));
    }

    void cleanup() {
        form->Dirty = kFalse;
        delete session;
    }

    void clickMirrorsToTwinCell() {
        const int cell = 33; // row 1, column 1
        QTest::mouseClick(handle(), Qt::LeftButton, {}, at(window->numberView(), cell));
        QVERIFY(form->ChrBox.selected(cell));
        QCOMPARE(form->SelStart, 17);
        QCOMPARE(highlightCount(), 1);
        // A click in the character grid toggles the same byte off in both grids.
        QTest::mouseClick(handle(), Qt::LeftButton, {}, at(window->chrView(), cell));
        QVERIFY(!form->NumberBox.selected(cell));
        QVERIFY(!form->ChrBox.selected(cell));
    }

    void doubleClickSetsStartPoint() {
        const int cell = 70; // row 6, column 2
        QTest::mouseDClick(handle(), Qt::LeftButton, {}, at(window->numberView(), cell));
        QCOMPARE(form->PickCount, 1);
        QCOMPARE(form->SelStart, 6 * 16 + 2);
        // Toggled by the first press only.
        QVERIFY(form->NumberBox.selected(cell));
        QVERIFY(form->ChrBox.selected(cell));
        // A second double click, in the other grid, completes the range.
        QTest::mouseDClick(handle(), Qt::LeftButton, {}, at(window->chrView(), 2)); // offset 32
        QCOMPARE(form->PickCount, 2);
        QCOMPARE(form->SelSpan, 98 - 32);
        QCOMPARE(highlightCount(), 67);
    }

    void dragAndKeysSelectNothing() {
        const QPoint from = at(window->numberView(), 5);
        const QPoint to = at(window->numberView(), 5 + 32 * 3);
        QTest::mousePress(handle(), Qt::LeftButton, {}, from);
        const std::u16string tipBefore = form->NumberBox.toolTipText();
        QTest::mouseMove(handle(), (from + to) / 2);
        QTest::mouseMove(handle(), to);
        QTest::mouseRelease(handle(), Qt::LeftButton, {}, to);
        QCOMPARE(form->NumberBox.toolTipText(), tipBefore);
        for (const Qt::Key key : {Qt::Key_Space, Qt::Key_Down, Qt::Key_Right, Qt::Key_Return})
            QTest::keyClick(handle(), key);
        QTest::keyClick(handle(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(handle(), Qt::Key_Down, Qt::ShiftModifier);
        QCOMPARE(highlightCount(), 1);
        QVERIFY(form->NumberBox.selected(5));
        QCOMPARE(form->SelStart, 5 * 16);
        QCOMPARE(form->PickCount, 0);
    }

    void tooltipNamesCellAtCentre_data() {
        QTest::addColumn<bool>("large");
        QTest::newRow("normal") << false;
        QTest::newRow("large") << true;
    }

    void tooltipNamesCellAtCentre() {
        QFETCH(bool, large);
        useLayout(large);
        form->VscrollBar.setValue(1);
        for (GridView* view : {window->numberView(), window->chrView()}) {
            for (int cell = 0; cell < 512; ++cell) {
                QTest::mouseMove(handle(), at(view, cell));
                const int o = form->CellToOffset[cell];
                QCOMPARE(view->toolTip(),
                         QString::fromStdU16String(u"总偏移量" + decText(512 + o) + u"(" +
                                                   hexText(512 + o) + u") 页内偏移量" + decText(o) +
                                                   u"(" + hexText(o) + u")"));
            }
        }
    }

    void rightClickToolsOnTheGrids() {
        // The hex grid asks for characters, shows their codes, then copies them.
        QString message;
        onNextModal([this, &message](QWidget* input) {
            auto* text = input->findChild<QLineEdit*>();
            // Key clicks carry Latin-1 only; the character goes in as an input method would.
            QTest::keyClicks(text, QStringLiteral("A"));
            text->insert(QStringLiteral("中"));
            onNextModal([&message](QWidget* box) {
                message = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"))->text();
                QTest::keyClick(box, Qt::Key_Return);
            });
            QTest::keyClick(text, Qt::Key_Return);
        });
        QTest::mouseClick(handle(), Qt::RightButton, {}, at(window->numberView(), 100));
        QCOMPARE(message, QStringLiteral("“A中”的16进制Ascii码是：\r\n41 D6D0"));
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("41 D6D0"));

        // The character grid shifts the pairing of a page that starts with a high byte.
        form->FileBytes[512] = 0xD0;
        form->FileBytes[513] = 0xD6;
        form->FileBytes[514] = 0xD0;
        form->VscrollBar.setValue(1);
        QTest::mouseClick(handle(), Qt::RightButton, {}, at(window->chrView(), 64));
        QCOMPARE(form->ChrBox.text(32), u"中");
        QCOMPARE(highlightCount(), 0);
    }

    void promptReturnsTextOnEnter() {
        Form2 form2;
        form2.Caption = u"Lookup";
        form2.Label1 = u"请输入16进制数字\r\n每个数字为2位,数字之间可用空格隔开";
        form2.Text1 = u"previous";
        QString selectedOnOpen, title, label, ok, cancel;
        bool okIsDefault = false;
        onNextModal([&](QWidget* modal) {
            auto* text = modal->findChild<QLineEdit*>(QStringLiteral("Text1"));
            selectedOnOpen = text->selectedText();
            title = modal->windowTitle();
            label = modal->findChild<QLabel*>(QStringLiteral("Label1"))->text();
            auto* okButton = modal->findChild<QPushButton*>(QStringLiteral("KeyOK"));
            ok = okButton->text();
            okIsDefault = okButton->isDefault();
            cancel = modal->findChild<QPushButton*>(QStringLiteral("KeyCancel"))->text();
            QTest::keyClicks(text, QStringLiteral("0a ff")); // replaces the selection
            QTest::keyClick(text, Qt::Key_Return);
        });
        platform.showForm2(form2);
        QCOMPARE(selectedOnOpen, QStringLiteral("previous"));
        QCOMPARE(title, QStringLiteral("Lookup"));
        QCOMPARE(label, QStringLiteral("请输入16进制数字\n每个数字为2位,数字之间可用空格隔开"));
        QCOMPARE(ok, QStringLiteral("确定"));
        QCOMPARE(cancel, QStringLiteral("取消"));
        QVERIFY(okIsDefault);
        QCOMPARE(QString::fromStdU16String(form2.St51), QStringLiteral("0a ff"));
    }

    // Esc, the close button and Cancel all return the empty text.
    void promptReturnsEmptyOnCancel() {
        for (const int way : {0, 1, 2}) {
            Form2 form2;
            form2.Text1 = u"kept";
            form2.St51 = u"stale";
            onNextModal([way](QWidget* modal) {
                auto* text = modal->findChild<QLineEdit*>(QStringLiteral("Text1"));
                QTest::keyClicks(text, QStringLiteral("typed"));
                if (way == 0)
                    QTest::keyClick(text, Qt::Key_Escape);
                else if (way == 1)
                    modal->close();
                else
                    QTest::mouseClick(modal->findChild<QPushButton*>(QStringLiteral("KeyCancel")),
                                      Qt::LeftButton);
            });
            platform.showForm2(form2);
            QVERIFY2(form2.St51.empty(), qPrintable(QString::number(way)));
        }
    }

    // A reply longer than a line edit keeps by default reaches the command whole: a
    // pasted 40,000 characters insert 40,000 bytes.
    void longReplyIsInsertedWhole() {
        QTest::mouseClick(handle(), Qt::LeftButton, {}, at(window->numberView(), 0));
        QCOMPARE(form->SelStart, 0);
        const QString reply(40000, QLatin1Char('q'));
        QGuiApplication::clipboard()->setText(reply);
        onNextModal([](QWidget* modal) {
            auto* text = modal->findChild<QLineEdit*>(QStringLiteral("Text1"));
            QTest::keySequence(text, QKeySequence::Paste);
            QTest::keyClick(text, Qt::Key_Return);
        });
        QTest::keyClick(window, Qt::Key_F2, Qt::ShiftModifier);
        QCOMPARE(form->FileBytes.size(), std::size_t{1024 + 40000});
        QVERIFY(std::all_of(form->FileBytes.begin(), form->FileBytes.begin() + 40000,
                            [](std::uint8_t b) { return b == 'q'; }));
    }

    // Nothing overlaps the two-line prompt, the buttons fit inside, and the large
    // dialog is bigger with 12-point text.
    void promptLayouts() {
        PromptDialog normal(false);
        PromptDialog large(true);
        QVERIFY(large.width() > normal.width());
        QCOMPARE(large.textBox()->font().pointSize(), 12);
        QCOMPARE(large.label()->font().pointSize(), 12);
        for (PromptDialog* d : {&normal, &large}) {
            QVERIFY(d->label()->geometry().bottom() < d->textBox()->y());
            QVERIFY(d->textBox()->geometry().bottom() < d->okButton()->y());
            QVERIFY(d->okButton()->geometry().bottom() < d->height());
            QVERIFY(d->cancelButton()->geometry().right() < d->width());
            QCOMPARE(d->minimumSize(), d->maximumSize());
        }
    }
};

QTEST_MAIN(GuiSelectionTest)
#include "gui_selection_test.moc"
