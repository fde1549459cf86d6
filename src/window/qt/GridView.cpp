#include "window/qt/GridView.h"

#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

#include "window/Layout.h"

namespace quillory {
namespace {

int modelButton(Qt::MouseButton b) {
    switch (b) {
    case Qt::LeftButton:
        return kLeftButton;
    case Qt::RightButton:
        return kRightButton;
    case Qt::MiddleButton:
        return kMiddleButton;
    default:
        return 0;
    }
}

int modelButtons(Qt::MouseButtons b) {
    return (b & Qt::LeftButton ? kLeftButton : 0) | (b & Qt::RightButton ? kRightButton : 0) |
           (b & Qt::MiddleButton ? kMiddleButton : 0);
}

int modelShift(Qt::KeyboardModifiers m) {
    return (m & Qt::ShiftModifier ? 1 : 0) | (m & Qt::ControlModifier ? 2 : 0) |
           (m & Qt::AltModifier ? 4 : 0);
}

float twips(qreal pixels) {
    return static_cast<float>(pixels * kTwipsPerPixel);
}

} // namespace

GridView::GridView(ListBox& model, int columns, QWidget* parent)
    : QWidget(parent), model_(model), columns_(columns) {
    setFocusPolicy(Qt::NoFocus);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    model_.onChanged = [this] {
        if (repaintPending_) return;
        repaintPending_ = true;
        update();
    };
}

void GridView::setCellSize(int rowHeightTwips, int columnWidthTwips) {
    rowTwips_ = rowHeightTwips;
    columnTwips_ = columnWidthTwips;
    update();
}

int GridView::cellAt(QPointF pos) const {
    if (pos.x() < 0 || pos.y() < 0) return -1;
    const int column = static_cast<int>(pos.x() * kTwipsPerPixel / columnTwips_);
    const int row = static_cast<int>(pos.y() * kTwipsPerPixel / rowTwips_);
    if (column >= columns_ || row >= kGridRows) return -1;
    const int k = column * kGridRows + row;
    return k < model_.listCount() ? k : -1;
}

QPointF GridView::cellCentre(int k) const {
    const int column = k / kGridRows;
    const int row = k % kGridRows;
    return {(column + 0.5) * columnTwips_ / kTwipsPerPixel,
            (row + 0.5) * rowTwips_ / kTwipsPerPixel};
}

void GridView::paintEvent(QPaintEvent*) {
    repaintPending_ = false;
    QPainter p(this);
    const QPalette& pal = palette();
    p.fillRect(rect(), pal.base());
    p.setFont(font());
    const QFontMetricsF fm(font());
    const qreal rowPx = rowTwips_ / kTwipsPerPixel;
    const qreal columnPx = columnTwips_ / kTwipsPerPixel;
    const qreal baseline = (rowPx + fm.ascent() - fm.descent()) / 2;
    const QColor text = pal.color(QPalette::Text);
    const QColor dim = pal.color(QPalette::PlaceholderText);
    const QColor highlightText = pal.color(QPalette::HighlightedText);

    QString cell;
    for (int k = 0; k < model_.listCount(); ++k) {
        const QPointF topLeft((k / kGridRows) * columnPx, (k % kGridRows) * rowPx);
        const bool selected = model_.selected(k);
        if (selected) p.fillRect(QRectF(topLeft, QSizeF(columnPx, rowPx)), pal.highlight());
        const std::u16string& s = model_.text(k);
        // Control codes and NUL would break the columns: draw them as a dim dot.
        bool control = false;
        cell.resize(static_cast<qsizetype>(s.size()));
        for (std::size_t i = 0; i < s.size(); ++i) {
            char16_t c = s[i];
            if (c < 0x20 || c == 0x7F) {
                c = u'\u00B7';
                control = true;
            }
            cell[static_cast<qsizetype>(i)] = QChar(c);
        }
        p.setPen(selected ? highlightText : control ? dim : text);
        p.drawText(QPointF(topLeft.x() + 2, topLeft.y() + baseline), cell);
    }
}

void GridView::mousePressEvent(QMouseEvent* event) {
    if (!interactive_) return;
    const QPointF pos = event->position();
    model_.userMouseDown(modelButton(event->button()), modelShift(event->modifiers()),
                         twips(pos.x()), twips(pos.y()));
    if (event->button() == Qt::LeftButton) model_.userClick(cellAt(pos));
}

void GridView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (!interactive_) return;
    // The press that completes a double click does not toggle again.
    if (event->button() == Qt::LeftButton) {
        model_.userDblClick(cellAt(event->position()));
    } else {
        const QPointF pos = event->position();
        model_.userMouseDown(modelButton(event->button()), modelShift(event->modifiers()),
                             twips(pos.x()), twips(pos.y()));
    }
}

void GridView::mouseMoveEvent(QMouseEvent* event) {
    if (!interactive_) return;
    const QPointF pos = event->position();
    model_.userMouseMove(modelButtons(event->buttons()), modelShift(event->modifiers()),
                         twips(pos.x()), twips(pos.y()));
    showToolTip(event);
}

void GridView::showToolTip(QMouseEvent* event) {
    const std::u16string& tip = model_.toolTipText();
    const QString text = QString::fromStdU16String(tip);
    setToolTip(text);
    if (text.isEmpty())
        QToolTip::hideText();
    else
        QToolTip::showText(event->globalPosition().toPoint(), text, this);
}

} // namespace quillory
