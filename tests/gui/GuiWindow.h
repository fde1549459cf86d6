#pragma once
// What the GUI tests need of the real window: one that takes key clicks, and the colour
// a grid has painted a cell with.

#include <QtTest>

#include "window/qt/GridView.h"

namespace quillory::testing {

// Key clicks reach only the active window.
inline bool showActive(QWidget& window) {
    window.show();
    window.activateWindow();
    return QTest::qWaitForWindowActive(&window);
}

// Taken at a corner of the cell, clear of its text.
inline QColor cellColour(GridView& grid, int cell) {
    const QImage image = grid.grab().toImage();
    const QPointF c = grid.cellCentre(cell);
    const QPoint corner(static_cast<int>(c.x()) - 4, static_cast<int>(c.y()) - 4);
    return image.pixelColor(corner * image.devicePixelRatio());
}

} // namespace quillory::testing
