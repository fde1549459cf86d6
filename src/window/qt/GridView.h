#pragma once
// Paints a list box model as a grid of fixed cells, column by column, and forwards the
// mouse to the model. Cell geometry is in twips, shared with the mouse read-out.
//
// Each distinct cell text is laid out once, together with the other new texts of the
// same paint, and kept under a byte budget. A paint hands Qt the glyphs of all cells of
// one font and one colour in a single run, so its cost does not depend on what the bytes
// decode to. A change of a few entries repaints those cells alone.

#include <QGlyphRun>
#include <QRawFont>
#include <QWidget>

#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

#include "core/Controls.h"

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
        bool control = false; // drawn dim
        bool pending = true;  // laid out at the end of the paint's first pass
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
    void queue(const Shaped& cell, QPointF origin, int colour);
    void flush(QPainter& p, const QColor (&colours)[3]);
    void announce();
    void showToolTip(QMouseEvent* event);

    ListBox& model_;
    int columns_;
    int rowTwips_ = 225;
    int columnTwips_ = 344;
    bool interactive_ = true;
    std::function<CellReading(int)> reader_;

    // Repaints pending since the last paint: a few cells, or everything.
    bool fullRepaintPending_ = false;
    int cellRepaintsPending_ = 0;

    Generation current_, older_;
    std::vector<QRawFont> fonts_;
    std::vector<Batch> batches_;
    std::vector<std::pair<int, Shaped*>> cells_; // the cells of the paint under way
    Pending pending_;

    // Changes not yet reported to assistive technology, only while one listens.
    std::vector<std::pair<int, ListBox::Change>> unannounced_;
    bool announceAll_ = false;
};

} // namespace quillory
