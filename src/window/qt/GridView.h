#pragma once
// Paints a list box model as a grid of fixed cells, column by column, and forwards the
// mouse to the model. Cell geometry is in twips, shared with the mouse read-out.

#include <QWidget>

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

    // Cell index under a point in widget pixels, or -1 outside the cells.
    int cellAt(QPointF pos) const;
    // Centre of cell k in widget pixels.
    QPointF cellCentre(int k) const;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

  private:
    void showToolTip(QMouseEvent* event);

    ListBox& model_;
    int columns_;
    int rowTwips_ = 225;
    int columnTwips_ = 344;
    bool interactive_ = true;
    bool repaintPending_ = false; // one update() per batch of model changes
};

} // namespace quillory
