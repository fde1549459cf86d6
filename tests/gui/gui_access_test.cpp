// The grids read through Qt's accessibility layer, as a screen reader would: every cell
// of a page in both grids and both layouts, and the mark that a click leaves.

#include <QAccessible>
#include <QtTest>

#include "core/Form1.h"
#include "gui/GuiWindow.h"
#include "platform/qt/QtPlatform.h"
#include "window/qt/EditorSession.h"
#include "window/qt/GridView.h"
#include "window/qt/MainWindow.h"

using namespace quillory;

class GuiAccessTest : public QObject {
    Q_OBJECT

    QtPlatform platform;
    EditorSession* session = nullptr;
    Form1* form = nullptr;
    MainWindow* window = nullptr;

    // Page 2 of 612 bytes: A, the pair D6 D0 (中), a control code, a space, then letters;
    // past its 100 bytes the placeholders.
    static Bytes document() {
        Bytes bytes(612, 0x41);
        const std::uint8_t head[] = {0x41, 0xD6, 0xD0, 0x01, 0x20};
        for (std::size_t i = 0; i < 100; ++i)
            bytes[512 + i] = i < 5 ? head[i] : static_cast<std::uint8_t>('a' + i % 26);
        return bytes;
    }

    static QString expectedChr(int o) {
        switch (o) {
        case 0:
            return QStringLiteral("A");
        case 1:
        case 2:
            return QStringLiteral("中");
        case 3:
            return QStringLiteral("·");
        case 4:
            return QStringLiteral(" ");
        default:
            return QChar('a' + o % 26);
        }
    }

  private slots:
    void init() {
        session = new EditorSession(platform);
        form = &session->form;
        window = &session->window;
        QVERIFY(testing::showActive(*window));
        form->loadDocument(document());
        form->VscrollBar.setValue(1);
        // As a reader's bridge does: the grids then report changes too. The offscreen
        // platform has no bridge, so the reports themselves go nowhere.
        QAccessible::setActive(true);
    }

    void cleanup() {
        form->Dirty = kFalse;
        delete session;
    }

    void everyCellReads_data() {
        QTest::addColumn<bool>("large");
        QTest::newRow("normal") << false;
        QTest::newRow("large") << true;
    }

    void everyCellReads() {
        QFETCH(bool, large);
        form->LargeScreen = large ? kTrue : kFalse;
        window->applyLayout();
        const Bytes bytes = document();

        QAccessibleInterface* address =
            QAccessible::queryAccessibleInterface(window->addressView());
        QVERIFY(address && address->tableInterface());
        QCOMPARE(address->tableInterface()->columnCount(), 1);
        for (int row = 0; row < 32; ++row)
            QCOMPARE(address->tableInterface()->cellAt(row, 0)->text(QAccessible::Name),
                     QStringLiteral("%1").arg(512 + 16 * row, 6, 16, QChar('0')).toUpper());

        for (GridView* grid : {window->numberView(), window->chrView()}) {
            QAccessibleInterface* table = QAccessible::queryAccessibleInterface(grid);
            QVERIFY(table && table->tableInterface());
            QCOMPARE(table->role(), QAccessible::Table);
            QCOMPARE(table->tableInterface()->rowCount(), 32);
            QCOMPARE(table->tableInterface()->columnCount(), 16);
            QCOMPARE(table->childCount(), 512);
            for (int row = 0; row < 32; ++row) {
                for (int column = 0; column < 16; ++column) {
                    QAccessibleInterface* cell = table->tableInterface()->cellAt(row, column);
                    const int o = row * 16 + column;
                    const QString where = QStringLiteral("cell %1,%2").arg(row).arg(column);
                    QVERIFY2(cell && cell->tableCellInterface(), qPrintable(where));
                    QCOMPARE(table->child(o), cell);
                    QCOMPARE(cell->role(), QAccessible::Cell);
                    // Where a reader points, the grid has the same cell.
                    QCOMPARE(grid->cellAt(grid->mapFromGlobal(cell->rect().center())),
                             column * 32 + row);
                    QVERIFY(!cell->state().selected);
                    const QString name = cell->text(QAccessible::Name);
                    const QString description = cell->text(QAccessible::Description);
                    if (o >= 100) {
                        QVERIFY2(name.isEmpty(), qPrintable(where));
                        QVERIFY2(!description.isEmpty() && !description.contains(u"偏移量"),
                                 qPrintable(where));
                        continue;
                    }
                    QCOMPARE(
                        name,
                        grid == window->numberView()
                            ? QStringLiteral("%1").arg(bytes[512 + o], 2, 16, QChar('0')).toUpper()
                            : expectedChr(o));
                    QVERIFY2(description.endsWith(QStringLiteral("总偏移量%1(%2) 页内偏移量%3(%4)")
                                                      .arg(512 + o)
                                                      .arg(512 + o, 0, 16)
                                                      .arg(o)
                                                      .arg(o, 0, 16)
                                                      .toUpper()),
                             qPrintable(where + ": " + description));
                    // Only the second byte of the pair says it is one.
                    QCOMPARE(description.contains(QStringLiteral("second byte")),
                             grid == window->chrView() && o == 2);
                }
            }
        }

        // A click marks the byte in both grids.
        const int row = 3, column = 5;
        QTest::mouseClick(
            window->windowHandle(), Qt::LeftButton, {},
            window->numberView()->mapTo(
                window, window->numberView()->cellCentre(column * 32 + row).toPoint()));
        for (GridView* grid : {window->numberView(), window->chrView()}) {
            QAccessibleInterface* table = QAccessible::queryAccessibleInterface(grid);
            QVERIFY(table->tableInterface()->cellAt(row, column)->state().selected);
            QVERIFY(
                table->tableInterface()->cellAt(row, column)->tableCellInterface()->isSelected());
            QCOMPARE(table->tableInterface()->selectedCellCount(), 1);
        }
        // A page turn clears the marks; its report to readers runs after the command.
        form->VscrollBar.setValue(0);
        QCoreApplication::processEvents();
        QCOMPARE(QAccessible::queryAccessibleInterface(window->chrView())
                     ->tableInterface()
                     ->selectedCellCount(),
                 0);
    }
};

QTEST_MAIN(GuiAccessTest)
#include "gui_access_test.moc"
