#include "window/qt/GridView.h"

#include <QGlyphRun>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QRawFont>
#include <QTextLayout>
#include <QToolTip>

#include <algorithm>
#include <span>

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

// A few cells repaint alone; past this many in one batch the whole grid repaints, which
// costs less than a region of hundreds of rectangles.
constexpr int kMaxCellRepaints = 16;
// What the laid-out texts of a grid may take, and what an entry takes besides its glyphs
// and key: room for some 13,000 characters. Laying out one again costs little.
constexpr std::size_t kShapedBudget = 1 << 20;
constexpr std::size_t kEntryBytes = 64;
// What the atlas of often drawn texts may take in a grid at a pixel ratio of 1: room for
// the characters of some 16 pages of GBK text. Its pixels grow with the square of the
// ratio, and so does the budget. It takes sheets of this many device pixels as it fills.
constexpr std::size_t kAtlasBudget = 4 << 20;
constexpr int kSheetWidth = 1024;
constexpr int kSheetRows = 128;

} // namespace

GridView::GridView(ListBox& model, int columns, QWidget* parent)
    : QWidget(parent), model_(model), columns_(columns) {
    installGridAccessibility();
    setFocusPolicy(Qt::NoFocus);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    model_.onEntryChanged = [this](int k, ListBox::Change what) { entryChanged(k, what); };
}

void GridView::setCellSize(int rowHeightTwips, int columnWidthTwips) {
    rowTwips_ = rowHeightTwips;
    columnTwips_ = columnWidthTwips;
    dropShaped();
    fullRepaintPending_ = true;
    update();
}

void GridView::entryChanged(int k, ListBox::Change what) {
    if (accessibilityListening()) {
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
    announceGridChanges(*this, announceAll_, unannounced_);
    unannounced_.clear();
    announceAll_ = false;
}

int GridView::cellAt(QPointF pos) const {
    if (pos.x() < 0 || pos.y() < 0) return -1;
    const int column = static_cast<int>(pos.x() * kTwipsPerPixel / columnTwips_);
    const int row = static_cast<int>(pos.y() * kTwipsPerPixel / rowTwips_);
    if (column >= columns_ || row >= kGridRows) return -1;
    const int k = cellIndex(row, column);
    return k < model_.listCount() ? k : -1;
}

QPointF GridView::cellCentre(int k) const {
    return cellRect(k).center();
}

QRectF GridView::cellRect(int k) const {
    const qreal rowPx = rowTwips_ / kTwipsPerPixel;
    const qreal columnPx = columnTwips_ / kTwipsPerPixel;
    return {cellColumn(k) * columnPx, cellRow(k) * rowPx, columnPx, rowPx};
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
        dropShaped();
        fullRepaintPending_ = true;
        update();
    }
    QWidget::changeEvent(event);
}

void GridView::dropShaped() {
    current_ = {};
    older_ = {};
    fonts_.clear();
    batches_.clear();
    atlasBatches_.clear();
    sheets_.clear();
    atlasRatio_ = 0;
}

// The text's entry in the current generation: found there, moved up from the older one,
// or new and pending until the paint lays out all its new texts at once.
GridView::Shaped& GridView::shaped(const std::u16string& text, Pending& pending) {
    const auto lookUp = [&](auto& currentMap, auto& olderMap, const auto& key,
                            std::size_t keyBytes) -> Shaped& {
        const auto found = currentMap.find(key);
        if (found != currentMap.end()) return found->second;
        Shaped& entry = currentMap[key];
        const auto old = olderMap.find(key);
        if (old != olderMap.end()) {
            entry = old->second;
            entry.first = static_cast<quint32>(current_.glyphs.size());
            current_.glyphs.insert(current_.glyphs.end(), older_.glyphs.begin() + old->second.first,
                                   older_.glyphs.begin() + old->second.first + entry.count);
            olderMap.erase(old);
        } else {
            pending.emplace_back(&text, &entry);
        }
        current_.bytes += kEntryBytes + keyBytes + entry.count * sizeof(Placed);
        return entry;
    };
    if (text.size() <= 3) {
        quint64 key = quint64(text.size()) << 48;
        for (std::size_t i = 0; i < text.size(); ++i)
            key |= quint64(text[i]) << (32 - 16 * i);
        return lookUp(current_.shortTexts, older_.shortTexts, key, 0);
    }
    return lookUp(current_.longTexts, older_.longTexts, text, text.size() * sizeof(char16_t));
}

quint16 GridView::fontIndex(const QRawFont& font) {
    const auto found = std::find(fonts_.begin(), fonts_.end(), font);
    if (found != fonts_.end()) return static_cast<quint16>(found - fonts_.begin());
    fonts_.push_back(font);
    return static_cast<quint16>(fonts_.size() - 1);
}

// One layout for every new text of the paint, a space between each two: shaping and
// font fallback then cost once a paint rather than once a text. A blank text draws
// nothing and keeps no glyph.
void GridView::layOut(const Pending& pending) {
    if (pending.empty()) return;
    QString all;
    std::vector<int> starts;
    starts.reserve(pending.size());
    for (const auto& [text, entry] : pending) {
        starts.push_back(static_cast<int>(all.size()));
        all += shown(*text, &entry->control);
        all += u' ';
    }
    const auto blank = [&all](int start, int length) {
        return std::all_of(all.begin() + start, all.begin() + start + length,
                           [](QChar c) { return c.isSpace(); });
    };
    QTextLayout layout(all, font(), this);
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    layout.setTextOption(option);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    layout.endLayout();
    if (!line.isValid()) return;
    const qreal ascent = line.ascent();
    for (std::size_t i = 0; i < pending.size(); ++i) {
        Shaped& entry = *pending[i].second;
        const int start = starts[i];
        const int length = static_cast<int>(pending[i].first->size());
        const qreal x0 = line.cursorToX(start);
        entry.first = static_cast<quint32>(current_.glyphs.size());
        if (blank(start, length)) continue;
        for (const QGlyphRun& run : layout.glyphRuns(start, length)) {
            const QRawFont rawFont = run.rawFont();
            const quint16 index = fontIndex(rawFont);
            const QList<quint32> glyphs = run.glyphIndexes();
            const QList<QPointF> positions = run.positions();
            for (qsizetype g = 0; g < glyphs.size(); ++g) {
                current_.glyphs.push_back({glyphs[g], index,
                                           static_cast<float>(positions[g].x() - x0),
                                           static_cast<float>(positions[g].y() - ascent)});
            }
        }
        entry.count = static_cast<quint16>(current_.glyphs.size() - entry.first);
        current_.bytes += entry.count * sizeof(Placed);
    }
}

void GridView::queue(const Shaped& cell, QPointF origin, int colour, std::vector<Batch>& batches) {
    for (quint32 i = cell.first; i < cell.first + cell.count; ++i) {
        const Placed& glyph = current_.glyphs[i];
        auto batch = std::find_if(batches.begin(), batches.end(), [&](const Batch& b) {
            return b.font == glyph.font && b.colour == colour;
        });
        if (batch == batches.end())
            batch = batches.insert(batches.end(), {glyph.font, colour, {}, {}});
        batch->glyphs.push_back(glyph.glyph);
        batch->positions.push_back(origin + QPointF(glyph.x, glyph.y));
    }
}

// A slot in the atlas for the text, sized from the fonts' heights and the glyphs'
// advances with room for what a glyph may reach beyond them: a glyph's own box would make
// the font engine load it again. False when the atlas has no room left.
bool GridView::place(Shaped& cell, qreal ratio) {
    QRectF ink;
    for (quint32 i = cell.first; i < cell.first + cell.count; ++i) {
        const Placed& glyph = current_.glyphs[i];
        const QRawFont& font = fonts_[glyph.font];
        const qreal advance = font.advancesForGlyphIndexes(QList<quint32>{glyph.glyph})[0].x();
        ink |= QRectF(glyph.x, glyph.y - font.ascent(), advance, font.ascent() + font.descent());
    }
    // Whole logical pixels, so that the text lands on device ones.
    const QRect slot = ink.adjusted(-2, -2, 2, 2).toAlignedRect();
    const QSize sheet(static_cast<int>(kSheetWidth / ratio), static_cast<int>(kSheetRows / ratio));
    if (shelf_.x() + slot.width() > sheet.width()) {
        shelf_ = QPoint(0, shelf_.y() + shelfHeight_);
        shelfHeight_ = 0;
    }
    if (shelf_.y() + slot.height() > sheet.height()) {
        shelf_ = {};
        ++sheet_;
    }
    if (sheet_ == sheets_.size()) {
        const double bytes = 4.0 * kSheetWidth * kSheetRows * static_cast<double>(sheet_ + 1);
        if (bytes > static_cast<double>(kAtlasBudget) * ratio * ratio) {
            atlasFull_ = true;
            return false;
        }
        sheets_.emplace_back(kSheetWidth, kSheetRows, QImage::Format_ARGB32_Premultiplied);
        sheets_.back().fill(Qt::transparent);
    }
    cell.sheet = static_cast<quint16>(sheet_);
    cell.slot = QRect(shelf_, slot.size());
    cell.inkOrigin = slot.topLeft();
    cell.atlasEpoch = atlasEpoch_;
    shelf_.rx() += slot.width();
    shelfHeight_ = std::max(shelfHeight_, slot.height());
    return true;
}

// Draws into the atlas, in one run a font, colour and sheet, the texts of this paint
// drawn on a third paint that it does not hold yet. A full atlas starts over here, before
// any cell of the paint is placed in it.
void GridView::prepareAtlas(const QColor (&colours)[3], qreal ratio) {
    if (atlasRatio_ != ratio) {
        sheets_.clear();
        atlasRatio_ = ratio;
        atlasFull_ = true;
    }
    if (atlasFull_) {
        for (QImage& sheet : sheets_)
            sheet.fill(Qt::transparent);
        ++atlasEpoch_;
        sheet_ = 0;
        shelf_ = {};
        shelfHeight_ = 0;
        atlasFull_ = false;
    }
    QPainter p;
    std::size_t painting = 0;
    const auto paintQueued = [&] {
        if (!p.isActive()) return;
        flush(p, colours, atlasBatches_);
        p.end();
        // Blended pixel for pixel in device coordinates, the quickest way Qt blends an image.
        sheets_[painting].setDevicePixelRatio(1);
    };
    for (const auto& [k, cell] : cells_) {
        if (cell->atlasEpoch == atlasEpoch_ || cell->paints < 3 || cell->count == 0 ||
            model_.selected(k))
            continue;
        if (!place(*cell, ratio)) break;
        if (!p.isActive() || cell->sheet != painting) {
            paintQueued();
            painting = cell->sheet;
            sheets_[painting].setDevicePixelRatio(ratio);
            p.begin(&sheets_[painting]);
        }
        queue(*cell, cell->slot.topLeft() - cell->inkOrigin, cell->control ? 1 : 0, atlasBatches_);
    }
    paintQueued();
}

void GridView::flush(QPainter& p, std::span<const QColor> colours, std::vector<Batch>& batches) {
    for (Batch& batch : batches) {
        if (batch.glyphs.isEmpty()) continue;
        {
            QGlyphRun run;
            run.setRawFont(fonts_[batch.font]);
            run.setGlyphIndexes(batch.glyphs);
            run.setPositions(batch.positions);
            p.setPen(colours[batch.colour]);
            p.drawGlyphRun(QPointF(), run);
        }
        // Unshared again once the run is gone, so the lists keep their room.
        batch.glyphs.clear();
        batch.positions.clear();
    }
}

void GridView::paintEvent(QPaintEvent* event) {
    fullRepaintPending_ = false;
    cellRepaintsPending_ = 0;
    if (current_.bytes >= kShapedBudget / 2) {
        older_ = std::move(current_);
        current_ = {};
    }
    const qreal ratio = devicePixelRatioF();
    ++paints_;
    QPainter p(this);
    const QRect dirty = event->rect();
    const QPalette& pal = palette();
    // In bands of a few dozen device rows: Qt hands a taller fill to its thread pool,
    // whose start-up costs more than the fill itself on a grid this size.
    const int band = std::max(1, static_cast<int>(48 / ratio));
    for (int y = dirty.top(); y <= dirty.bottom(); y += band)
        p.fillRect(QRect(dirty.left(), y, dirty.width(), std::min(band, dirty.bottom() + 1 - y)),
                   pal.base());
    const QFontMetricsF fm(font());
    const qreal rowPx = rowTwips_ / kTwipsPerPixel;
    const qreal columnPx = columnTwips_ / kTwipsPerPixel;
    const qreal baseline = (rowPx + fm.ascent() - fm.descent()) / 2;
    const QColor colours[3] = {pal.color(QPalette::Text), pal.color(QPalette::PlaceholderText),
                               pal.color(QPalette::HighlightedText)};
    const QBrush highlight = pal.highlight();
    const bool everything = dirty.contains(rect());

    cells_.clear();
    pending_.clear();
    // Only the cells whose ink can reach the dirty area are tested: a cell's ink runs on
    // into the next column, and half a row up and down.
    const int firstColumn = std::max(0, static_cast<int>((dirty.left() - 2) / columnPx) - 1);
    const int lastColumn = std::min(columns_ - 1, static_cast<int>((dirty.right() + 2) / columnPx));
    const int firstRow = std::max(0, static_cast<int>(dirty.top() / rowPx) - 1);
    const int lastRow = std::min(kGridRows - 1, static_cast<int>(dirty.bottom() / rowPx) + 1);
    for (int column = firstColumn; column <= lastColumn; ++column) {
        for (int row = firstRow; row <= lastRow; ++row) {
            const int k = cellIndex(row, column);
            if (k >= model_.listCount()) break;
            if (!everything && !inkRect(k).intersects(dirty)) continue;
            Shaped& cell = shaped(model_.text(k), pending_);
            if (cell.lastPaint != paints_ && cell.paints < 255) ++cell.paints;
            cell.lastPaint = paints_;
            cells_.emplace_back(k, &cell);
        }
    }
    layOut(pending_);
    prepareAtlas(colours, ratio);
    // Images are blended in device pixels, glyphs and highlights drawn in logical ones.
    const QTransform logical = p.worldTransform();
    const QTransform device = QTransform::fromScale(1 / ratio, 1 / ratio);
    bool inDevice = false;
    const auto inLogical = [&] {
        if (inDevice) p.setWorldTransform(logical);
        inDevice = false;
    };
    // In cell order: a highlight covers what the cells before it let run on, so the
    // glyphs queued so far are drawn before it.
    for (const auto& [k, cell] : cells_) {
        const QPointF topLeft(cellColumn(k) * columnPx, cellRow(k) * rowPx);
        const QPointF origin(topLeft.x() + 2, topLeft.y() + baseline);
        const bool selected = model_.selected(k);
        if (selected) {
            inLogical();
            flush(p, colours, batches_);
            p.fillRect(QRectF(topLeft, QSizeF(columnPx, rowPx)), highlight);
            queue(*cell, origin, 2, batches_);
            continue;
        }
        const int colour = cell->control ? 1 : 0;
        if (cell->atlasEpoch == atlasEpoch_) {
            if (!inDevice) p.setWorldTransform(device);
            inDevice = true;
            const QRectF source(QPointF(cell->slot.topLeft()) * ratio,
                                QSizeF(cell->slot.size()) * ratio);
            p.drawImage((origin + cell->inkOrigin) * ratio, sheets_[cell->sheet], source);
        } else {
            queue(*cell, origin, colour, batches_);
        }
    }
    inLogical();
    flush(p, colours, batches_);
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
