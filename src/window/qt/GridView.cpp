#include "window/qt/GridView.h"

#include <QAccessible>
#include <QGlyphRun>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QRawFont>
#include <QTextLayout>
#include <QToolTip>

#include <algorithm>

#include "window/Layout.h"
#include "window/qt/GridAccessible.h"

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

// Control codes and NUL would break the columns: they show, and read, as a dot.
bool isControl(char16_t c) {
    return c < 0x20 || c == 0x7F;
}

QString shown(const std::u16string& text, bool* control = nullptr) {
    QString out(static_cast<qsizetype>(text.size()), Qt::Uninitialized);
    for (std::size_t i = 0; i < text.size(); ++i) {
        char16_t c = text[i];
        if (isControl(c)) {
            c = u'\u00B7';
            if (control) *control = true;
        }
        out[static_cast<qsizetype>(i)] = QChar(c);
    }
    return out;
}

// Whether assistive technology listens. The platform's bridge reports a reader that
// starts or stops listening through QAccessible::setActive, which tells the observers.
class Listening : public QAccessible::ActivationObserver {
  public:
    Listening() { QAccessible::installActivationObserver(this); }
    void accessibilityActiveChanged(bool active) override { active_ = active; }
    bool active_ = false;
};

bool listening() {
    // Lives as long as the process: Qt's list of observers keeps a pointer to it.
    static Listening* const observer = new Listening;
    return observer->active_ || QAccessible::isActive();
}

// A few cells repaint alone; past this many in one batch the whole grid repaints, which
// costs less than a region of hundreds of rectangles.
constexpr int kMaxCellRepaints = 16;
// The address column sees 32 new texts on every page; its cache starts over when full.
constexpr std::size_t kMaxPrepared = 4096;

} // namespace

GridView::GridView(ListBox& model, int columns, QWidget* parent)
    : QWidget(parent), model_(model), columns_(columns) {
    static const bool factoryInstalled = [] {
        QAccessible::installFactory(gridAccessibleFactory);
        return true;
    }();
    (void)factoryInstalled;
    listening();
    setFocusPolicy(Qt::NoFocus);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    model_.onEntryChanged = [this](int k, ListBox::Change what) { entryChanged(k, what); };
}

void GridView::setCellSize(int rowHeightTwips, int columnWidthTwips) {
    rowTwips_ = rowHeightTwips;
    columnTwips_ = columnWidthTwips;
    dropPrepared();
    fullRepaintPending_ = true;
    update();
}

void GridView::entryChanged(int k, ListBox::Change what) {
    if (listening()) {
        if (unannounced_.empty() && !announceAll_)
            QMetaObject::invokeMethod(this, &GridView::announce, Qt::QueuedConnection);
        if (k < 0)
            announceAll_ = true;
        else
            unannounced_.emplace_back(k, what);
    }
    if (fullRepaintPending_) return;
    if (k < 0 || ++cellRepaintsPending_ > kMaxCellRepaints) {
        fullRepaintPending_ = true;
        update();
        return;
    }
    update(inkRect(k));
}

// Reported once the editor's command has finished, so that a page turn reaches the
// reader as one change rather than a thousand.
void GridView::announce() {
    if (announceAll_ || unannounced_.size() > static_cast<std::size_t>(kMaxCellRepaints)) {
        QAccessibleTableModelChangeEvent event(
            this, announceAll_ ? QAccessibleTableModelChangeEvent::ModelReset
                               : QAccessibleTableModelChangeEvent::DataChanged);
        event.setFirstRow(0);
        event.setLastRow(kGridRows - 1);
        event.setFirstColumn(0);
        event.setLastColumn(columns_ - 1);
        QAccessible::updateAccessibility(&event);
    } else {
        for (const auto& [k, what] : unannounced_) {
            if (k >= model_.listCount()) continue;
            const int child = (k % kGridRows) * columns_ + k / kGridRows;
            if (what == ListBox::Change::Selection) {
                QAccessible::State changed;
                changed.selected = true;
                QAccessibleStateChangeEvent state(this, changed);
                state.setChild(child);
                QAccessible::updateAccessibility(&state);
                QAccessibleEvent event(this, model_.selected(k) ? QAccessible::SelectionAdd
                                                                : QAccessible::SelectionRemove);
                event.setChild(child);
                QAccessible::updateAccessibility(&event);
            } else {
                QAccessibleEvent event(this, QAccessible::NameChanged);
                event.setChild(child);
                QAccessible::updateAccessibility(&event);
            }
        }
    }
    unannounced_.clear();
    announceAll_ = false;
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
    return cellRect(k).center();
}

QRectF GridView::cellRect(int k) const {
    const qreal rowPx = rowTwips_ / kTwipsPerPixel;
    const qreal columnPx = columnTwips_ / kTwipsPerPixel;
    return {(k / kGridRows) * columnPx, (k % kGridRows) * rowPx, columnPx, rowPx};
}

// A wide character runs on into the next column, and glyphs may rise or hang a little
// beyond their row.
QRect GridView::inkRect(int k) const {
    const QRectF cell = cellRect(k);
    return cell.adjusted(-2, -cell.height() / 2, cell.width() + 2, cell.height() / 2)
        .toAlignedRect();
}

CellReading GridView::cellReading(int k) const {
    if (!reader_) return {};
    CellReading r = reader_(k);
    r.name = shown(r.name).toStdU16String();
    return r;
}

void GridView::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange || event->type() == QEvent::PaletteChange) {
        dropPrepared();
        fullRepaintPending_ = true;
        update();
    }
    QWidget::changeEvent(event);
}

void GridView::dropPrepared() {
    preparedShort_.clear();
    prepared_.clear();
}

// Laid out once: the glyphs of a cell text with their positions from the baseline.
// Spaces draw nothing and are left out.
GridView::Prepared& GridView::prepared(const std::u16string& text) {
    if (text.size() <= 3) {
        quint64 key = quint64(text.size()) << 48;
        for (std::size_t i = 0; i < text.size(); ++i)
            key |= quint64(text[i]) << (32 - 16 * i);
        const auto found = preparedShort_.find(key);
        if (found != preparedShort_.end()) return found->second;
        if (preparedShort_.size() >= kMaxPrepared) preparedShort_.clear();
        return preparedShort_.emplace(key, prepare(text)).first->second;
    }
    const auto found = prepared_.find(text);
    if (found != prepared_.end()) return found->second;
    if (prepared_.size() >= kMaxPrepared) prepared_.clear();
    return prepared_.emplace(text, prepare(text)).first->second;
}

GridView::Prepared GridView::prepare(const std::u16string& text) {
    Prepared entry{{}, false, {}, {}};
    QTextLayout layout(shown(text, &entry.control), font(), this);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    layout.endLayout();
    const qreal ascent = line.isValid() ? line.ascent() : 0;
    for (const QGlyphRun& run : layout.glyphRuns()) {
        PreparedRun out{run.rawFont(), {}, {}};
        const QList<quint32> glyphs = run.glyphIndexes();
        const QList<QPointF> positions = run.positions();
        for (qsizetype i = 0; i < glyphs.size(); ++i) {
            const QRectF box = out.font.boundingRect(glyphs[i]);
            if (box.isEmpty()) continue;
            const QPointF at = positions[i] - QPointF(0, ascent);
            out.glyphs.push_back(glyphs[i]);
            out.positions.push_back(at);
            entry.ink |= box.translated(at);
        }
        if (!out.glyphs.isEmpty()) entry.runs.push_back(std::move(out));
    }
    // Room for antialiasing, and whole logical pixels so the image lands on device ones.
    entry.ink = entry.ink.adjusted(-1, -1, 1, 1).toAlignedRect();
    return entry;
}

const QImage& GridView::look(Prepared& cell, bool highlighted, const QColor& pen, qreal ratio) {
    QImage& image = cell.looks[highlighted ? 1 : 0];
    if (!image.isNull()) return image;
    image = QImage((cell.ink.size() * ratio).toSize(), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setPen(pen);
    for (const PreparedRun& prepared : cell.runs) {
        QGlyphRun run;
        run.setRawFont(prepared.font);
        run.setGlyphIndexes(prepared.glyphs);
        run.setPositions(prepared.positions);
        p.drawGlyphRun(-cell.ink.topLeft(), run);
    }
    p.end();
    // Drawn pixel for pixel in device coordinates, the quickest way Qt blends an image.
    image.setDevicePixelRatio(1);
    return image;
}

void GridView::paintEvent(QPaintEvent* event) {
    fullRepaintPending_ = false;
    cellRepaintsPending_ = 0;
    const qreal ratio = devicePixelRatioF();
    if (ratio != preparedRatio_) {
        dropPrepared();
        preparedRatio_ = ratio;
    }
    QPainter p(this);
    const QRect dirty = event->rect();
    const QPalette& pal = palette();
    // In bands of a few dozen device rows: Qt hands a taller fill to its thread pool,
    // whose start-up costs more than the fill itself on a grid this size.
    const int band = std::max(1, static_cast<int>(48 / devicePixelRatioF()));
    for (int y = dirty.top(); y <= dirty.bottom(); y += band)
        p.fillRect(QRect(dirty.left(), y, dirty.width(), std::min(band, dirty.bottom() + 1 - y)),
                   pal.base());
    const QFontMetricsF fm(font());
    const qreal rowPx = rowTwips_ / kTwipsPerPixel;
    const qreal columnPx = columnTwips_ / kTwipsPerPixel;
    const qreal baseline = (rowPx + fm.ascent() - fm.descent()) / 2;
    const QColor text = pal.color(QPalette::Text);
    const QColor dim = pal.color(QPalette::PlaceholderText);
    const QColor highlightText = pal.color(QPalette::HighlightedText);
    const QBrush highlight = pal.highlight();
    const bool everything = dirty.contains(rect());

    // In device pixels from here: images then blend without scaling.
    p.scale(1 / ratio, 1 / ratio);
    // In cell order: a highlight covers what the cell before it let run on.
    for (int k = 0; k < model_.listCount(); ++k) {
        if (!everything && !inkRect(k).intersects(dirty)) continue;
        const QPointF topLeft((k / kGridRows) * columnPx, (k % kGridRows) * rowPx);
        const bool selected = model_.selected(k);
        if (selected)
            p.fillRect(QRectF(topLeft * ratio, QSizeF(columnPx, rowPx) * ratio), highlight);
        Prepared& cell = prepared(model_.text(k));
        if (cell.runs.empty()) continue;
        const QColor& pen = selected ? highlightText : cell.control ? dim : text;
        const QPointF origin(topLeft.x() + 2, topLeft.y() + baseline);
        p.drawImage((origin + cell.ink.topLeft()) * ratio, look(cell, selected, pen, ratio));
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
