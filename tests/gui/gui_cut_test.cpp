// Cut on the real window: the key reaches the command through the menu, and the hex
// text lands on the system clipboard.

#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QtTest>

#include "core/Form1.h"
#include "gui/GuiWindow.h"
#include "platform/qt/QtPlatform.h"
#include "window/qt/EditorSession.h"
#include "window/qt/MainWindow.h"

using namespace quillory;

class GuiCutTest : public QObject {
    Q_OBJECT

    QtPlatform platform;
    EditorSession* session = nullptr;
    Form1* form = nullptr;
    MainWindow* window = nullptr;

  private slots:
    void init() {
        session = new EditorSession(platform);
        form = &session->form;
        window = &session->window;
        QVERIFY(testing::showActive(*window));
    }

    void cleanup() {
        form->Dirty = kFalse;
        delete session;
    }

    void shiftF9CutsToTheClipboard() {
        form->loadDocument({0x4D, 0x5A, 0x90, 0x00, 0x0A, 0xFF});
        QGuiApplication::clipboard()->setText(QStringLiteral("old"));

        // Bytes 0..3 marked as two double clicks would leave them.
        form->SelStart = 0;
        form->SelSpan = 3;
        form->PickCount = 2;
        form->BlockBytes = {0x4D, 0x5A, 0x90, 0x00};
        QTest::keyClick(window, Qt::Key_F9, Qt::ShiftModifier);

        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("4D5A9000"));
        QCOMPARE(form->FileBytes, (Bytes{0x0A, 0xFF}));
        QCOMPARE(window->statusLabel()->text(),
                 QStringLiteral("文件字节:2( &H2) 总页数:1 当前页:1"));
    }
};

QTEST_MAIN(GuiCutTest)
#include "gui_cut_test.moc"
