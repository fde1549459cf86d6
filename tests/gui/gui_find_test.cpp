// Find by hex digits on the real window (offscreen): Ctrl+F3, a typed pattern, and the
// occurrence's page shown with its cells painted highlighted in both grids.

#include <QtTest>

#include "core/Form1.h"
#include "gui/GuiWindow.h"
#include "platform/qt/QtPlatform.h"
#include "window/qt/EditorSession.h"
#include "window/qt/GridView.h"
#include "window/qt/MainWindow.h"

using namespace quillory;

// The real platform, with the prompt dialog answered as a user would type.
class AnsweringPlatform : public QtPlatform {
  public:
    QStringList captions;
    std::u16string reply;

    void showForm2(Form2& form) override {
        captions << QString::fromStdU16String(form.Caption);
        form.Text1 = reply;
        form.St51 = reply;
    }
};

class GuiFindTest : public QObject {
    Q_OBJECT

  private slots:
    void ctrlF3HighlightsOccurrence() {
        AnsweringPlatform platform;
        EditorSession session(platform);
        Form1& form = session.form;
        MainWindow& window = session.window;
        QVERIFY(testing::showActive(window));

        // Three pages; the only occurrence starts at in-page offset 33 of the second.
        Bytes bytes(1536, 0);
        bytes[512 + 33] = 0xC4;
        bytes[512 + 34] = 0xE3;
        form.loadDocument(std::move(bytes));
        platform.reply = u"c4 e3";

        QTest::keyClick(&window, Qt::Key_F3, Qt::ControlModifier);

        QCOMPARE(platform.captions, QStringList{QStringLiteral("Lookup")});
        QCOMPARE(form.CurPage, 1);
        QCOMPARE(form.SelStart, 33);
        const QColor highlight = window.chrView()->palette().color(QPalette::Highlight);
        for (int o = 32; o <= 35; ++o) {
            const int cell = form.OffsetToCell[o];
            const bool lit = o == 33 || o == 34;
            QTRY_COMPARE(testing::cellColour(*window.chrView(), cell) == highlight, lit);
            QTRY_COMPARE(testing::cellColour(*window.numberView(), cell) == highlight, lit);
        }
    }
};

QTEST_MAIN(GuiFindTest)
#include "gui_find_test.moc"
