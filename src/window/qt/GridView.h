#pragma once
// Paints a list box model as a grid of fixed cells, column by column, and forwards the
// mouse to the model. Cell geometry is in twips, shared with the mouse read-out.
//
// Painting draws prepared texts: each distinct cell text is laid out once, drawn once
// per look into an image at the device pixel ratio, and kept until the font, the
// palette, the ratio or the cell size changes. A change of a few entries repaints
// those cells alone.

#include <QImage>
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
    // The visible glyphs of a cell text in one font, placed from the baseline origin.
    struct PreparedRun {
        QRawFont font;
        QList<quint32> glyphs;
        QList<QPointF> positions;
    };
    // A cell text laid out once, and drawn once per look into an image at the device
    // pixel ratio: blending an image costs far less than blending glyph masks.
    struct Prepared {
        std::vector<PreparedRun> runs;
        bool control;    // drawn dim
        QRectF ink;      // around the glyphs, from the baseline origin
        QImage looks[2]; // plain (or dim), highlighted
    };

    void entryChanged(int k, ListBox::Change what);
    // Where cell k's paint can reach: its own rectangle and the overhang of its text.
    QRect inkRect(int k) const;
    Prepared& prepared(const std::u16string& text);
    Prepared prepare(const std::u16string& text);
    const QImage& look(Prepared& cell, bool highlighted, const QColor& pen, qreal ratio);
    void dropPrepared();
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

    // Cell texts of up to three UTF-16 units (all but the addresses) under a packed key,
    // which is quicker to find than a string.
    std::unordered_map<quint64, Prepared> preparedShort_;
    std::unordered_map<std::u16string, Prepared> prepared_;
    qreal preparedRatio_ = 0;

    // Changes not yet reported to assistive technology, only while one listens.
    std::vector<std::pair<int, ListBox::Change>> unannounced_;
    bool announceAll_ = false;
};

} // namespace quillory
