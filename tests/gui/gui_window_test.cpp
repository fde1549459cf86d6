// The real main window: menus and their keys, and in both layouts the status line and
// the grids as they paint and as the mouse and assistive technology find them.

#include "gui/GuiWindow.h"
#include "window/Menu.h"

using namespace quillory;

class GuiWindowTest : public testing::GuiTest {
    Q_OBJECT

    // How far the grids' painting strays from plain text drawing. Prepared glyphs land on
    // whole device pixels where plain drawing places them between: edges shade apart, but
    // a wrong or stale glyph, colour or position differs by most of the range.
    int paintDifference() {
        const QRegularExpression controls(QStringLiteral("[\\x{0}-\\x{1f}\\x{7f}]"));
        int worst = 0;
        for (GridView* grid : {window->addressView(), hex, chr}) {
            const QImage painted = grid->grab().toImage().convertToFormat(QImage::Format_RGB32);
            QImage plain = painted;
            QPainter p(&plain);
            p.fillRect(grid->rect(), grid->palette().base());
            p.setFont(grid->font());
            const QFontMetricsF fm(grid->font());
            for (int k = 0; k < grid->model().listCount(); ++k) {
                const QRectF cell = grid->cellRect(k);
                const bool marked = grid->model().selected(k);
                if (marked) p.fillRect(cell, grid->palette().highlight());
                const QString text = QString::fromStdU16String(grid->model().text(k));
                const QString shown = QString(text).replace(controls, QStringLiteral("·"));
                p.setPen(grid->palette().color(marked          ? QPalette::HighlightedText
                                               : shown != text ? QPalette::PlaceholderText
                                                               : QPalette::Text));
                const qreal baseline = (cell.height() + fm.ascent() - fm.descent()) / 2;
                p.drawText(cell.topLeft() + QPointF(2, baseline), shown);
            }
            p.end();
            for (qsizetype i = 0; i < painted.sizeInBytes(); ++i)
                worst = std::max(worst, std::abs(painted.constBits()[i] - plain.constBits()[i]));
        }
        return worst;
    }

    // Page 2 of a 612-byte file in the row's layout. Its 100 bytes: A, the pair D6 D0 (中),
    // a control code, a space, then letters.
    void showSecondPage() {
        Bytes bytes(612, 0);
        for (int o = 0; o < 100; ++o)
            bytes[512 + o] = std::uint8_t(o < 5 ? "A\xD6\xD0\x01 "[o] : 'a' + o % 26);
        form->loadDocument(bytes);
        // A click in the scroll bar's track turns the page.
        window->scrollBar()->triggerAction(QAbstractSlider::SliderPageStepAdd);
        QFETCH(bool, large);
        form->LargeScreen = large ? kTrue : kFalse;
        window->applyLayout();
    }
    static void layouts() {
        QTest::addColumn<bool>("large");
        QTest::newRow("normal") << false;
        QTest::newRow("large") << true;
    }

  private slots:
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

    void statusLineNamesThePage_data() { layouts(); }
    // With one ampersand, read aloud, below the grids and the scroll bar and inside the
    // window, whose size is fixed.
    void statusLineNamesThePage() {
        showSecondPage();
        QLabel* status = window->statusLabel();
        QCOMPARE(status->text(), QStringLiteral("文件字节:612( &H264) 总页数:2 当前页:2"));
        QCOMPARE(QAccessible::queryAccessibleInterface(status)->text(QAccessible::Name),
                 status->text());
        QCOMPARE(window->minimumSize(), window->maximumSize());
        QVERIFY(status->y() >
                std::max(hex->geometry().bottom(), window->scrollBar()->geometry().bottom()));
        QVERIFY(window->centralWidget()->rect().contains(status->geometry()));
    }

    void cellsReadWhereThePointerFindsThem_data() { layouts(); }
    // Every cell as a screen reader reads it and as the mouse finds it: the reader's
    // rectangle and the tooltip name the same byte.
    void cellsReadWhereThePointerFindsThem() {
        showSecondPage();
        QStringList hexNames, chrNames{"A", "中", "中", "·", " "};
        for (int o = 0; o < 100; ++o) {
            const std::uint8_t b = form->FileBytes[512 + o];
            hexNames << QString::asprintf("%02X", b);
            if (o >= 5) chrNames << QChar(b);
        }
        QAccessible::setActive(true); // as a reader's bridge does: the grids report changes
        for (GridView* grid : {hex, chr}) {
            // Nothing below the last row.
            QCOMPARE(
                grid->cellAt(grid->cellRect(31).center() + QPointF(0, grid->cellRect(31).height())),
                -1);
            QAccessibleInterface* table = QAccessible::queryAccessibleInterface(grid);
            const QStringList& names = grid == hex ? hexNames : chrNames;
            for (int o = 0; o < 512; ++o) {
                const int row = o / 16, column = o % 16, k = column * 32 + row;
                QAccessibleInterface* cell = table->tableInterface()->cellAt(row, column);
                const QPoint centre = cell->rect().center();
                QCOMPARE(table->child(o), cell);
                QCOMPARE(table->childAt(centre.x(), centre.y()), cell);
                QCOMPARE(grid->cellAt(grid->mapFromGlobal(centre)), k);
                QCOMPARE(cell->text(QAccessible::Name), names.value(o));
                QTest::mouseMove(window->windowHandle(), at(grid, k));
                // Past the end of the file a cell names nothing and gives no offset.
                const QString off = o < 100 ? QString::asprintf("总偏移量%d(%X) 页内偏移量%d(%X)",
                                                                512 + o, 512 + o, o, o)
                                            : QString();
                QCOMPARE(grid->toolTip(), off);
                const QString description = cell->text(QAccessible::Description);
                QVERIFY(o < 100 ? description.endsWith(off) : !description.contains(u"偏移量"));
                // Only the second byte of the pair says it is one.
                QCOMPARE(description.contains(u"第二字节"), grid == chr && o == 2);
            }
        }
        // On a full page the last cell reads too.
        window->scrollBar()->triggerAction(QAbstractSlider::SliderPageStepSub);
        for (GridView* grid : {hex, chr}) {
            QTest::mouseMove(window->windowHandle(), at(grid, kPageSize - 1));
            QCOMPARE(grid->toolTip(), QStringLiteral("总偏移量511(1FF) 页内偏移量511(1FF)"));
        }
    }

    void doubleClicksMarkBothGrids_data() { layouts(); }
    // A double click marks its byte in both grids, once; a second marks the range.
    void doubleClicksMarkBothGrids() {
        showSecondPage();
        const std::pair<GridView*, int> clicks[] = {{hex, 5 * 32 + 3}, {chr, 2 * 32 + 6}};
        for (const auto& [grid, k] : clicks) {
            QTest::mouseDClick(window->windowHandle(), Qt::LeftButton, {}, at(grid, k));
            for (GridView* g : {hex, chr}) {
                auto* table = QAccessible::queryAccessibleInterface(g)->tableInterface();
                QVERIFY(table->cellAt(k % 32, k / 32)->state().selected);
                QCOMPARE(table->selectedCellCount(), grid == hex ? 1 : 98 - 53 + 1);
            }
        }
    }

    void scrollBarPaintsAsTheStyleDoes_data() { layouts(); }
    // The scroll bar, repainted only where the thumb was and is, shows a whole paint, and
    // that is what the style paints of such a bar.
    void scrollBarPaintsAsTheStyleDoes() {
        showSecondPage();
        QScrollBar* bar = window->scrollBar();
        auto onScreen = [this, bar] {
            QCoreApplication::processEvents();
            const QPoint at = bar->mapTo(window, QPoint());
            return bar->screen()
                ->grabWindow(window->winId(), at.x(), at.y(), bar->width(), bar->height())
                .toImage();
        };
        onScreen(); // first painted with the thumb here, or the move would be a first paint
        bar->triggerAction(QAbstractSlider::SliderPageStepSub);
        const QImage moved = onScreen();
        bar->update();
        QCOMPARE(moved, onScreen());
        QScrollBar styled(bar->orientation());
        styled.setRange(bar->minimum(), bar->maximum());
        styled.setPageStep(bar->pageStep());
        styled.setValue(bar->value());
        styled.resize(bar->size());
        QCOMPARE(bar->grab().toImage().convertToFormat(QImage::Format_RGB32),
                 styled.grab().toImage().convertToFormat(QImage::Format_RGB32));
    }

    void gridsPaintAsPlainTextDoes_data() { layouts(); }
    // Through first sight, marks, texts seen often enough to be kept as images, and a new
    // palette, the grids paint what plain text drawing paints.
    void gridsPaintAsPlainTextDoes() {
        showSecondPage();
        QCOMPARE_LE(paintDifference(), 160);
        QTest::mouseDClick(window->windowHandle(), Qt::LeftButton, {}, at(hex, 3));
        QTest::mouseDClick(window->windowHandle(), Qt::LeftButton, {}, at(chr, 2 * 32 + 6));
        QCOMPARE_LE(paintDifference(), 160);
        QScrollBar* bar = window->scrollBar();
        for (int turn = 0; turn < 4; ++turn) {
            bar->triggerAction(turn % 2 ? QAbstractSlider::SliderPageStepAdd
                                        : QAbstractSlider::SliderPageStepSub);
            QCOMPARE_LE(paintDifference(), 160);
        }
        // New colours reach glyphs drawn before.
        QPalette palette = hex->palette();
        palette.setColor(QPalette::Text, Qt::red);
        hex->setPalette(palette);
        QCOMPARE_LE(paintDifference(), 160);
    }
};

QUILLORY_GUI_TEST_MAIN(GuiWindowTest)
#include "gui_window_test.moc"
