// The real main window on the offscreen platform: menu tree, fixed size, grids drawn
// from the models, and page turns by key and scroll bar.

#include <QAccessible>
#include <QAction>
#include <QLabel>
#include <QMenuBar>
#include <QPainter>
#include <QScrollBar>
#include <QtTest>

#include "core/Form1.h"
#include "gui/GuiWindow.h"
#include "platform/qt/QtPlatform.h"
#include "window/Menu.h"
#include "window/qt/EditorSession.h"
#include "window/qt/GridView.h"
#include "window/qt/MainWindow.h"

using namespace quillory;

class GuiWindowTest : public QObject {
    Q_OBJECT

    QtPlatform platform;
    EditorSession* session = nullptr;
    Form1* form = nullptr;
    MainWindow* window = nullptr;

    void loadPages(int pages) {
        Bytes bytes(static_cast<std::size_t>(512 * pages));
        for (std::size_t i = 0; i < bytes.size(); ++i)
            bytes[i] = static_cast<std::uint8_t>(i / 512 + 0x41);
        form->loadDocument(std::move(bytes));
    }

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

    void windowIsFixedAndTitled() {
        QCOMPARE(window->windowTitle(), QStringLiteral("Quillory"));
        QCOMPARE(window->minimumSize(), window->maximumSize());
        QVERIFY(!(window->windowFlags() & Qt::WindowMaximizeButtonHint));
        // The status line sits below the grids, and shows one ampersand.
        QVERIFY(window->statusLabel()->y() >= window->numberView()->geometry().bottom());
        QCOMPARE(window->statusLabel()->text(),
                 QStringLiteral("文件字节:512( &H200) 总页数:1 当前页:1"));
    }

    void everyControlHasAnAccessibleName() {
        for (QWidget* w :
             {static_cast<QWidget*>(window->addressView()),
              static_cast<QWidget*>(window->numberView()), static_cast<QWidget*>(window->chrView()),
              static_cast<QWidget*>(window->scrollBar()),
              static_cast<QWidget*>(window->statusLabel())}) {
            QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
            QVERIFY2(a && !a->text(QAccessible::Name).isEmpty(), qPrintable(w->objectName()));
            QVERIFY2(!a->text(QAccessible::Description).isEmpty(), qPrintable(w->objectName()));
        }
        // A reader hears the status line's text, and the new text after a page turn.
        QAccessibleInterface* status = QAccessible::queryAccessibleInterface(window->statusLabel());
        QCOMPARE(status->text(QAccessible::Name),
                 QStringLiteral("文件字节:512( &H200) 总页数:1 当前页:1"));
        loadPages(3);
        QTest::keyClick(window, Qt::Key_F6);
        QCOMPARE(status->text(QAccessible::Name),
                 QStringLiteral("文件字节:1,536( &H600) 总页数:3 当前页:2"));
    }

    void menuTreeMatchesTheTable() {
        int actions = 0;
        for (const MenuItem& item : menuTree()) {
            if (item.caption == u"-") continue;
            QString name = QString::fromStdString(item.name);
            if (item.index >= 0) name += QStringLiteral("(%1)").arg(item.index);
            const QList<QAction*> found = window->findChildren<QAction*>(name);
            QVERIFY2(!found.isEmpty(), qPrintable(name));
            const QAction* action = found.first();
            QCOMPARE(action->text(), QString::fromStdU16String(item.caption));
            QCOMPARE(action->shortcut().toString(),
                     QString::fromStdString(shortcutText(item.shortcut)));
            ++actions;
        }
        QCOMPARE(actions, 38);
        const QList<QAction*> top = window->menuBar()->actions();
        QStringList captions;
        for (const QAction* a : top)
            captions << a->text();
        QCOMPARE(captions, (QStringList{QStringLiteral("文件"), QStringLiteral("页次"),
                                        QStringLiteral("编辑"), QStringLiteral("刷新"),
                                        QStringLiteral("帮助")}));
        QVERIFY(
            window->findChild<QAction*>(QStringLiteral("Quash"))->text().endsWith(QChar(0x3000)));
    }

    void gridsDrawTheModel() {
        GridView* chr = window->chrView();
        const QImage before = chr->grab().toImage();
        loadPages(1);
        QTRY_VERIFY(chr->grab().toImage() != before);
        // A selected cell is painted in the highlight colour.
        const int cell = 40;
        form->Selecting = kTrue;
        form->ChrBox.setSelected(cell, true);
        form->Selecting = kFalse;
        QCOMPARE(testing::cellColour(*chr, cell), chr->palette().color(QPalette::Highlight));
        QCOMPARE(chr->cellAt(chr->cellCentre(cell)), cell);
    }

    // Prepared texts paint what plain text drawing paints, after the layout (cell size
    // and font) or a single mark changed.
    void gridsPaintAsPlainText() {
        Bytes bytes(700);
        for (std::size_t i = 0; i < bytes.size(); ++i)
            bytes[i] = static_cast<std::uint8_t>(i * 7);
        form->loadDocument(std::move(bytes));
        form->VscrollBar.setValue(1);
        for (const bool large : {false, true}) {
            form->LargeScreen = large ? kTrue : kFalse;
            window->applyLayout();
            QCoreApplication::processEvents();
            form->NumberBox.userClick(40);
            QCoreApplication::processEvents();
            for (GridView* grid :
                 {window->addressView(), window->numberView(), window->chrView()}) {
                const QImage painted = grid->grab().toImage();
                QImage plain(painted.size(), painted.format());
                plain.setDevicePixelRatio(painted.devicePixelRatio());
                QPainter p(&plain);
                p.fillRect(grid->rect(), grid->palette().base());
                p.setFont(grid->font());
                const QFontMetricsF fm(grid->font());
                const ListBox& model = grid->model();
                for (int k = 0; k < model.listCount(); ++k) {
                    const QRectF cell = grid->cellRect(k);
                    if (model.selected(k)) p.fillRect(cell, grid->palette().highlight());
                    QString text = QString::fromStdU16String(model.text(k));
                    bool control = false;
                    for (QChar& c : text)
                        if (c.unicode() < 0x20 || c.unicode() == 0x7F) {
                            c = QChar(0xB7);
                            control = true;
                        }
                    p.setPen(grid->palette().color(model.selected(k) ? QPalette::HighlightedText
                                                   : control         ? QPalette::PlaceholderText
                                                                     : QPalette::Text));
                    p.drawText(
                        QPointF(cell.left() + 2,
                                cell.top() + (cell.height() + fm.ascent() - fm.descent()) / 2),
                        text);
                }
                p.end();
                // At a device pixel ratio of 2 the prepared glyphs may fall on other
                // subpixel positions: a few edge pixels differ, never a glyph.
                // Prepared glyphs land on whole device pixels where plain drawing
                // places them between: edges shade differently, but a wrong or stale
                // glyph, colour or position differs by most of the range.
                int worst = 0;
                for (int y = 0; y < painted.height(); ++y)
                    for (int x = 0; x < painted.width(); ++x) {
                        const QColor a = painted.pixelColor(x, y);
                        const QColor b = plain.pixelColor(x, y);
                        worst = std::max({worst, std::abs(a.red() - b.red()),
                                          std::abs(a.green() - b.green()),
                                          std::abs(a.blue() - b.blue())});
                    }
                QVERIFY2(worst <= 160,
                         qPrintable(grid->objectName() + QStringLiteral(": %1").arg(worst)));
            }
        }
    }

    void keysAndScrollBarTurnPages() {
        loadPages(3);
        QTest::keyClick(window, Qt::Key_F6);
        QCOMPARE(form->CurPage, 1);
        QCOMPARE(window->scrollBar()->value(), 1);
        QCOMPARE(window->statusLabel()->text(),
                 QStringLiteral("文件字节:1,536( &H600) 总页数:3 当前页:2"));
        QTest::keyClick(window, Qt::Key_F5);
        QCOMPARE(form->CurPage, 0);
        // A click in the scroll bar's track below the box moves one page.
        QScrollBar* bar = window->scrollBar();
        QCOMPARE(bar->maximum(), 2);
        bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
        QCOMPARE(form->CurPage, 1);
        QCOMPARE(form->NumberBox.text(0), std::u16string(u"42"));
        QCOMPARE(form->AddressBox.text(0), std::u16string(u" 000200"));
    }
};

QTEST_MAIN(GuiWindowTest)
#include "gui_window_test.moc"
