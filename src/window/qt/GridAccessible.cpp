#include "window/qt/GridAccessible.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QPointer>

#include <vector>

#include "window/Layout.h"
#include "window/qt/GridView.h"

namespace quillory {
namespace {

class GridCellAccessible : public QAccessibleInterface, public QAccessibleTableCellInterface {
  public:
    GridCellAccessible(GridView* grid, int row, int column)
        : grid_(grid), row_(row), column_(column) {}

    bool isValid() const override { return !grid_.isNull(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return table()->window(); }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* parent() const override { return table(); }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }

    QString text(QAccessible::Text t) const override {
        const CellReading r = grid_->cellReading(cell());
        switch (t) {
        case QAccessible::Name:
        case QAccessible::Value:
            return QString::fromStdU16String(r.name);
        case QAccessible::Description:
            return QString::fromStdU16String(r.description);
        default:
            return {};
        }
    }
    void setText(QAccessible::Text, const QString&) override {}

    QRect rect() const override {
        const QRect local = grid_->cellRect(cell()).toAlignedRect();
        return QRect(grid_->mapToGlobal(local.topLeft()), local.size());
    }
    QAccessible::Role role() const override { return QAccessible::Cell; }
    QAccessible::State state() const override {
        QAccessible::State s;
        s.selectable = grid_->isEnabled() && grid_->isInteractive();
        s.selected = isSelected();
        s.invisible = !grid_->isVisible();
        s.readOnly = true;
        return s;
    }

    void* interface_cast(QAccessible::InterfaceType t) override {
        if (t == QAccessible::TableCellInterface)
            return static_cast<QAccessibleTableCellInterface*>(this);
        return nullptr;
    }

    bool isSelected() const override {
        const int k = cell();
        return k < grid_->model().listCount() && grid_->model().selected(k);
    }
    QList<QAccessibleInterface*> columnHeaderCells() const override { return {}; }
    QList<QAccessibleInterface*> rowHeaderCells() const override { return {}; }
    int columnIndex() const override { return column_; }
    int rowIndex() const override { return row_; }
    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    QAccessibleInterface* table() const override {
        return QAccessible::queryAccessibleInterface(grid_.data());
    }

  private:
    int cell() const { return cellIndex(row_, column_); }

    QPointer<GridView> grid_;
    int row_;
    int column_;
};

class GridAccessible : public QAccessibleWidget, public QAccessibleTableInterface {
  public:
    explicit GridAccessible(GridView* grid)
        : QAccessibleWidget(grid, QAccessible::Table),
          cells_(static_cast<std::size_t>(kGridRows * grid->columns()), 0) {}

    ~GridAccessible() override {
        for (const QAccessible::Id id : cells_)
            if (id != 0) QAccessible::deleteAccessibleInterface(id);
    }

    void* interface_cast(QAccessible::InterfaceType t) override {
        if (t == QAccessible::TableInterface) return static_cast<QAccessibleTableInterface*>(this);
        return QAccessibleWidget::interface_cast(t);
    }

    // Children are the cells, row by row.
    int childCount() const override { return static_cast<int>(cells_.size()); }
    QAccessibleInterface* child(int index) const override {
        if (index < 0 || index >= childCount()) return nullptr;
        return cellAt(index / columnCount(), index % columnCount());
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        if (!child || child->parent() != this) return -1;
        const auto* cell = const_cast<QAccessibleInterface*>(child)->tableCellInterface();
        return cell ? cell->rowIndex() * columnCount() + cell->columnIndex() : -1;
    }
    QAccessibleInterface* childAt(int x, int y) const override {
        const int k = grid()->cellAt(grid()->mapFromGlobal(QPoint(x, y)));
        return k < 0 ? nullptr : cellAt(cellRow(k), cellColumn(k));
    }

    QAccessibleInterface* caption() const override { return nullptr; }
    QAccessibleInterface* summary() const override { return nullptr; }
    QAccessibleInterface* cellAt(int row, int column) const override {
        if (row < 0 || row >= rowCount() || column < 0 || column >= columnCount()) return nullptr;
        QAccessible::Id& id = cells_[static_cast<std::size_t>(row * columnCount() + column)];
        if (id == 0)
            id = QAccessible::registerAccessibleInterface(
                new GridCellAccessible(grid(), row, column));
        return QAccessible::accessibleInterface(id);
    }
    int selectedCellCount() const override { return static_cast<int>(selectedCells().size()); }
    QList<QAccessibleInterface*> selectedCells() const override {
        QList<QAccessibleInterface*> out;
        const ListBox& model = grid()->model();
        for (int row = 0; row < rowCount(); ++row)
            for (int column = 0; column < columnCount(); ++column) {
                const int k = cellIndex(row, column);
                if (k < model.listCount() && model.selected(k)) out.push_back(cellAt(row, column));
            }
        return out;
    }
    QString columnDescription(int) const override { return {}; }
    QString rowDescription(int) const override { return {}; }
    int selectedColumnCount() const override { return 0; }
    int selectedRowCount() const override { return 0; }
    int columnCount() const override { return grid()->columns(); }
    int rowCount() const override { return kGridRows; }
    QList<int> selectedColumns() const override { return {}; }
    QList<int> selectedRows() const override { return {}; }
    bool isColumnSelected(int) const override { return false; }
    bool isRowSelected(int) const override { return false; }
    // Whole rows and columns are never marked at once: cells are marked one by one.
    bool selectRow(int) override { return false; }
    bool selectColumn(int) override { return false; }
    bool unselectRow(int) override { return false; }
    bool unselectColumn(int) override { return false; }
    // The cells stand for positions, which outlive any change of the page.
    void modelChange(QAccessibleTableModelChangeEvent*) override {}

  private:
    GridView* grid() const { return static_cast<GridView*>(widget()); }

    mutable std::vector<QAccessible::Id> cells_;
};

// Installed with QAccessible::installFactory; answers for GridView.
QAccessibleInterface* gridAccessibleFactory(const QString& className, QObject* object) {
    if (className == QLatin1String(GridView::staticMetaObject.className()) && object &&
        object->isWidgetType())
        return new GridAccessible(static_cast<GridView*>(object));
    return nullptr;
}

// The platform's bridge reports a reader that starts or stops listening through
// QAccessible::setActive, which tells the observers.
class Listening : public QAccessible::ActivationObserver {
  public:
    Listening() { QAccessible::installActivationObserver(this); }
    void accessibilityActiveChanged(bool active) override { active_ = active; }
    bool active_ = false;
};

Listening& listening() {
    // Lives as long as the process: Qt's list of observers keeps a pointer to it.
    static Listening* const observer = new Listening;
    return *observer;
}

// Past this many cells, one change of the whole table.
constexpr std::size_t kMaxCellReports = 16;

} // namespace

void installGridAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(gridAccessibleFactory);
        listening();
        return true;
    }();
    (void)installed;
}

bool accessibilityListening() {
    return listening().active_ || QAccessible::isActive();
}

void announceGridChanges(GridView& grid, bool all,
                         const std::vector<std::pair<int, ListBox::Change>>& cells) {
    if (all || cells.size() > kMaxCellReports) {
        QAccessibleTableModelChangeEvent event(&grid,
                                               all ? QAccessibleTableModelChangeEvent::ModelReset
                                                   : QAccessibleTableModelChangeEvent::DataChanged);
        event.setFirstRow(0);
        event.setLastRow(kGridRows - 1);
        event.setFirstColumn(0);
        event.setLastColumn(grid.columns() - 1);
        QAccessible::updateAccessibility(&event);
        return;
    }
    for (const auto& [k, what] : cells) {
        if (k >= grid.model().listCount()) continue;
        const int child = cellRow(k) * grid.columns() + cellColumn(k);
        if (what == ListBox::Change::Selection) {
            QAccessible::State changed;
            changed.selected = true;
            QAccessibleStateChangeEvent state(&grid, changed);
            state.setChild(child);
            QAccessible::updateAccessibility(&state);
            QAccessibleEvent event(&grid, grid.model().selected(k) ? QAccessible::SelectionAdd
                                                                   : QAccessible::SelectionRemove);
            event.setChild(child);
            QAccessible::updateAccessibility(&event);
        } else {
            QAccessibleEvent event(&grid, QAccessible::NameChanged);
            event.setChild(child);
            QAccessible::updateAccessibility(&event);
        }
    }
}

} // namespace quillory
