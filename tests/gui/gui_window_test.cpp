// The real main window: frame, layouts and status line, menus and their keys, painting,
// and the grids as the mouse and assistive technology find them.

#include "gui/GuiWindow.h"
#include "window/Menu.h"

using namespace quillory;

class GuiWindowTest : public testing::GuiTest {
    Q_OBJECT
  private slots:
    // Fixed size in both layouts, the status line below the grids; keys and the scroll
    // bar turn pages, and the bar and the status line, shown and read aloud, follow.
    void frameStatusLineAndPageTurns() {
        QCOMPARE(window->windowTitle(), QStringLiteral("Quillory"));
        QVERIFY(!(window->windowFlags() & Qt::WindowMaximizeButtonHint));
        QLabel* status = window->statusLabel();
        for (const bool large : {true, false}) {
            useLayout(large);
            QCOMPARE(window->minimumSize(), window->maximumSize());
            QVERIFY(status->y() >
                    std::max(hex->geometry().bottom(), window->scrollBar()->geometry().bottom()));
            QVERIFY(window->centralWidget()->rect().contains(status->geometry()));
        }
        for (QWidget* w : std::initializer_list<QWidget*>{window->addressView(), hex, chr,
                                                          window->scrollBar(), status}) {
            QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
            QVERIFY2(!a->text(QAccessible::Name).isEmpty() &&
                         !a->text(QAccessible::Description).isEmpty(),
                     qPrintable(w->objectName()));
        }
        form->loadDocument(Bytes(1536));
        for (const int page : {2, 3, 2}) { // F6, a click in the bar's track, F5
            if (page == 3)
                window->scrollBar()->triggerAction(QAbstractSlider::SliderPageStepAdd);
            else
                QTest::keyClick(window, form->CurPage == 0 ? Qt::Key_F6 : Qt::Key_F5);
            QCOMPARE(form->CurPage + 1, page);
            QCOMPARE(window->scrollBar()->value() + 1, page);
            QCOMPARE(status->text(),
                     QStringLiteral("文件字节:1,536( &H600) 总页数:3 当前页:%1").arg(page));
            QCOMPARE(QAccessible::queryAccessibleInterface(status)->text(QAccessible::Name),
                     status->text());
        }
    }

    // Each command sits under the menus of the table with its caption, and its key
    // reaches it alone (with the editor's handlers cut off, so that none of them runs).
    void menusAndKeysMatchTheTable() {
        QStringList fired;
        for (QAction* a : window->findChildren<QAction*>()) {
            a->disconnect(window);
            connect(a, &QAction::triggered, this, [&fired, a] { fired << a->objectName(); });
        }
        for (const MenuCommand& command : menuCommands()) {
            QString name = QString::fromStdString(command.item->name);
            if (command.item->index >= 0) name += QStringLiteral("(%1)").arg(command.item->index);
            auto* action = window->findChild<QAction*>(name);
            QVERIFY2(action, qPrintable(name));
            QCOMPARE(action->text(), QString::fromStdU16String(command.item->caption));
            QStringList path, expected;
            for (const std::string& p : command.path)
                expected << QString::fromStdString(p);
            for (auto* menu = qobject_cast<QMenu*>(action->associatedObjects().value(0)); menu;
                 menu = qobject_cast<QMenu*>(menu->menuAction()->associatedObjects().value(0)))
                path.prepend(menu->title());
            QCOMPARE(path, expected);
            QCOMPARE(action->shortcut().toString(),
                     QString::fromStdString(shortcutText(command.item->shortcut)));
            if (action->shortcut().isEmpty()) continue;
            fired.clear();
            QTest::keySequence(window, action->shortcut());
            QCOMPARE(fired, QStringList{name});
        }
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
            useLayout(large);
            form->NumberBox.userClick(40);
            for (GridView* grid : {window->addressView(), hex, chr}) {
                const QImage painted = grid->grab().toImage().convertToFormat(QImage::Format_RGB32);
                QImage plain(painted.size(), painted.format());
                plain.setDevicePixelRatio(painted.devicePixelRatio());
                QPainter p(&plain);
                p.fillRect(grid->rect(), grid->palette().base());
                p.setFont(grid->font());
                const QFontMetricsF fm(grid->font());
                for (int k = 0; k < grid->model().listCount(); ++k) {
                    const QRectF cell = grid->cellRect(k);
                    const bool marked = grid->model().selected(k);
                    if (marked) p.fillRect(cell, grid->palette().highlight());
                    QString text;
                    bool control = false;
                    for (const char16_t c : grid->model().text(k)) {
                        control |= c < 0x20 || c == 0x7F;
                        text += c < 0x20 || c == 0x7F ? QChar(0xB7) : QChar(c);
                    }
                    p.setPen(grid->palette().color(marked    ? QPalette::HighlightedText
                                                   : control ? QPalette::PlaceholderText
                                                             : QPalette::Text));
                    const qreal baseline = (cell.height() + fm.ascent() - fm.descent()) / 2;
                    p.drawText(cell.topLeft() + QPointF(2, baseline), text);
                }
                p.end();
                // Prepared glyphs land on whole device pixels where plain drawing places
                // them between: edges shade differently, but a wrong or stale glyph,
                // colour or position differs by most of the range.
                int worst = 0;
                for (qsizetype i = 0; i < painted.sizeInBytes(); ++i)
                    worst =
                        std::max(worst, std::abs(painted.constBits()[i] - plain.constBits()[i]));
                QVERIFY2(worst <= 160, qPrintable(grid->objectName() + QString::number(worst)));
            }
        }
    }

    void everyCellReads_data() {
        QTest::addColumn<bool>("large");
        QTest::newRow("normal") << false;
        QTest::newRow("large") << true;
    }

    // Every cell as a screen reader reads it and as the mouse finds it: the reader's
    // rectangle, the tooltip under the pointer and a click all name the same byte.
    void everyCellReads() {
        QFETCH(bool, large);
        useLayout(large);
        // Page 2 holds 100 bytes: A, the pair D6 D0 (中), a control code, a space, letters.
        Bytes bytes(612);
        for (int o = 0; o < 100; ++o)
            bytes[512 + o] = static_cast<std::uint8_t>(o < 5 ? "A\xD6\xD0\x01 "[o] : 'a' + o % 26);
        const QString chrNames[] = {"A", "中", "中", "·", " "};
        form->loadDocument(bytes);
        form->VscrollBar.setValue(1);
        QAccessible::setActive(true); // as a reader's bridge does: the grids report changes
        for (GridView* grid : {hex, chr}) {
            QAccessibleInterface* table = QAccessible::queryAccessibleInterface(grid);
            QCOMPARE(table->role(), QAccessible::Table);
            for (int o = 0; o < 512; ++o) {
                const int row = o / 16, column = o % 16, k = column * 32 + row;
                QAccessibleInterface* cell = table->tableInterface()->cellAt(row, column);
                QCOMPARE(table->child(o), cell);
                QCOMPARE(grid->cellAt(grid->mapFromGlobal(cell->rect().center())), k);
                QTest::mouseMove(window->windowHandle(), at(grid, k));
                const QString name = cell->text(QAccessible::Name);
                const QString description = cell->text(QAccessible::Description);
                const QByteArray where = QStringLiteral("%1 %2").arg(o).arg(description).toUtf8();
                if (o >= 100) {
                    QVERIFY2(name.isEmpty() && grid->toolTip().isEmpty(), where);
                    QVERIFY2(!description.contains(u"偏移量"), where);
                    continue;
                }
                const QString offset = QString::fromStdU16String(form->offsetText(o));
                QCOMPARE(grid->toolTip(), offset);
                QVERIFY2(description.endsWith(offset), where);
                // Only the second byte of the pair says it is one.
                QCOMPARE(description.contains(u"second byte"), grid == chr && o == 2);
                QCOMPARE(
                    name,
                    grid == chr
                        ? (o < 5 ? chrNames[o] : QChar('a' + o % 26))
                        : QString::number(bytes[512 + o], 16).rightJustified(2, '0').toUpper());
            }
        }
        // A click in either grid marks the byte in both; a second click clears it.
        for (GridView* clicked : {hex, chr}) {
            click(clicked, 5 * 32 + 3);
            for (GridView* grid : {hex, chr}) {
                QAccessibleTableInterface* table =
                    QAccessible::queryAccessibleInterface(grid)->tableInterface();
                QCOMPARE(table->cellAt(3, 5)->state().selected, clicked == hex);
                QCOMPARE(table->selectedCellCount(), clicked == hex ? 1 : 0);
            }
        }
    }
};

QTEST_MAIN(GuiWindowTest)
#include "gui_window_test.moc"
