#pragma once
// Paints a list box model as a grid of fixed cells, column by column, and forwards the
// mouse to the model. Cell geometry is in twips, shared with the mouse read-out.
//
// Each distinct cell text is laid out once, together with the other new texts of the
// same paint, and kept under a byte budget. A paint hands Qt the glyphs of all cells of
// one font and one colour in a single run, so the first sight of a character costs what
// drawing it plainly does; a text drawn often (the hex grid's byte values, a text's
// common characters, the pages one goes back and forth over) is kept in an image as
// well, which blends faster.
// A change of a few entries repaints those cells alone.

#include <QGlyphRun>
#include <QImage>
#include <QRawFont>
#include <QWidget>

#include <deque>
#include <functional>
#include <span>
#include <string>
#include <unordered_map>
#include <vector>

#include "core/Controls.h"
#include "window/Layout.h"

namespace quillory {

class GridView : public QWidget {
    Q_OBJECT
  public:
    GridView(ListBox& model, int columns, QWidget* parent = nullptr);

    // Row height and column width in twips.
    void setCellSize(int rowHeightTwips, int columnWidthTwips);
    // Whether clicks and moves reach the model (the address column takes none).
    void setInteractive(bool on) { interactive_ = on; }
    bool isInteractive() const { return interactive_; }
    // What assistive technology reads for a cell; the editor knows the offsets.
    void setCellReader(std::function<CellReading(int cell)> reader) { reader_ = std::move(reader); }

    // Cell index under a point in widget pixels, or -1 outside the cells.
    int cellAt(QPointF pos) const;
    // Centre of cell k in widget pixels.
    QPointF cellCentre(int k) const;
    // Cell k in widget pixels.
    QRectF cellRect(int k) const;

    const ListBox& model() const { return model_; }
    int columns() const { return columns_; }
    // Cell k as read by assistive technology; empty without a reader.
    CellReading cellReading(int k) const;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

  private:
    // A visible glyph of a cell text, placed from the cell's baseline origin.
    struct Placed {
        quint32 glyph;
        quint16 font; // in fonts_
        float x, y;
    };
    // A cell text laid out: its glyphs are glyphs[first, first + count) of its generation.
    struct Shaped {
        quint32 first = 0;
        quint16 count = 0;
        bool control = false;  // drawn dim
        quint32 lastPaint = 0; // the paint that drew it last
        quint8 paints = 0;     // how many paints drew it, up to 255
        // Its place in the atlas, in logical pixels, while atlasEpoch is the atlas's.
        quint32 atlasEpoch = 0;
        quint16 sheet = 0;
        QRect slot;
        QPoint inkOrigin; // the slot's top left from the baseline origin
    };
    // Laid-out texts, the newest in the current generation. A text met again in the
    // older one moves to the current one; when the current one reaches half the budget,
    // the older one is dropped. Texts of up to three UTF-16 units (all but the addresses)
    // sit under a packed key, which is quicker to find than a string.
    struct Generation {
        std::unordered_map<quint64, Shaped> shortTexts;
        std::unordered_map<std::u16string, Shaped> longTexts;
        std::vector<Placed> glyphs;
        std::size_t bytes = 0;
    };
    // Glyphs waiting to be drawn in one font and one colour.
    struct Batch {
        quint16 font;
        int colour;
        QList<quint32> glyphs;
        QList<QPointF> positions;
    };

    void entryChanged(int k, ListBox::Change what);
    // Where cell k's paint can reach: its own rectangle and the overhang of its text.
    QRect inkRect(int k) const;
    using Pending = std::vector<std::pair<const std::u16string*, Shaped*>>;
    Shaped& shaped(const std::u16string& text, Pending& pending);
    void layOut(const Pending& pending);
    quint16 fontIndex(const QRawFont& font);
    void dropShaped();
    void queue(const Shaped& cell, QPointF origin, int colour, std::vector<Batch>& batches);
    void prepareAtlas(const QColor (&colours)[3], qreal ratio);
    bool place(Shaped& cell, qreal ratio);
    void flush(QPainter& p, std::span<const QColor> colours, std::vector<Batch>& batches);
    void announce();
    void showToolTip(QMouseEvent* event);

    ListBox& model_;
    int columns_;
    int rowTwips_ = kNormalLayout.rowHeight;
    int columnTwips_ = kNormalLayout.hexCellWidth;
    bool interactive_ = true;
    std::function<CellReading(int)> reader_;

    // Repaints pending since the last paint: a few cells, or everything.
    bool fullRepaintPending_ = false;
    int cellRepaintsPending_ = 0;

    Generation current_, older_;
    std::vector<QRawFont> fonts_;
    std::vector<Batch> batches_;                 // bound for the grid
    std::vector<Batch> atlasBatches_;            // bound for the atlas
    std::vector<std::pair<int, Shaped*>> cells_; // the cells of the paint under way
    Pending pending_;
    quint32 paints_ = 1;
    // Texts drawn on a third paint are drawn once more into the atlas at the device pixel
    // ratio, and blended from there: Qt blends an image for less than the glyph masks it
    // holds. The atlas is filled shelf by shelf, sheet by sheet, and starts over when full.
    std::deque<QImage> sheets_; // a deque: a new sheet leaves the one being painted in place
    qreal atlasRatio_ = 0;
    quint32 atlasEpoch_ = 1;
    std::size_t sheet_ = 0; // the sheet being filled
    QPoint shelf_;          // where on it the next text goes, in logical pixels
    int shelfHeight_ = 0;
    bool atlasFull_ = false;

    // Changes not yet reported to assistive technology, only while one listens.
    std::vector<std::pair<int, ListBox::Change>> unannounced_;
    bool announceAll_ = false;
};

} // namespace quillory
