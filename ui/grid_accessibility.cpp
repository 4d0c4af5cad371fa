#include "grid_accessibility.h"

#include <QAccessibleWidget>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QPointer>
#include <QWindow>
#include <map>
#include <utility>

#include "painted_grid.h"

namespace kelvo::ui {

namespace {

class GridAccessible;

// One cell of a grid, (column, row) in grid coordinates. It outlives
// neither its grid's interface nor a change of the grid's size unnoticed:
// a cell outside the grid is no longer valid.
class CellAccessible : public QAccessibleInterface,
                       public QAccessibleTableCellInterface,
                       public QAccessibleTextInterface,
                       public QAccessibleEditableTextInterface {
public:
    CellAccessible(PaintedGrid* grid, int column, int row) : m_grid(grid), m_column(column), m_row(row) {}

    bool IsOf(const PaintedGrid* grid) const { return m_grid == grid; }
    int Column() const { return m_column; }
    int Row() const { return m_row; }

    // QAccessibleInterface
    bool isValid() const override {
        return m_grid != nullptr && m_column < m_grid->GridColumns() && m_row < m_grid->GridRows();
    }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return m_grid != nullptr ? m_grid->window()->windowHandle() : nullptr; }
    QAccessibleInterface* focusChild() const override { return nullptr; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(m_grid.data()); }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }

    QString text(QAccessible::Text t) const override {
        if (!isValid()) return QString();
        switch (t) {
            case QAccessible::Name:
                return Text();
            case QAccessible::Description:
                return m_grid->CellDescription(m_column, m_row);
            default:
                return QString();
        }
    }
    void setText(QAccessible::Text, const QString&) override {}

    QRect rect() const override {
        if (!isValid()) return QRect();
        const QRect cell = m_grid->CellRect(m_column, m_row);
        return QRect(m_grid->mapToGlobal(cell.topLeft()), cell.size());
    }

    QAccessible::Role role() const override {
        if (m_row == 0) return QAccessible::ColumnHeader;
        if (m_column == 0) return QAccessible::RowHeader;
        return QAccessible::Cell;
    }

    QAccessible::State state() const override {
        QAccessible::State st;
        if (!isValid()) {
            st.invalid = true;
            return st;
        }
        if (!m_grid->isVisible()) st.invisible = true;
        if (IsDataCell()) {
            st.focusable = true;
            st.selectable = m_grid->selectionMode() != QAbstractItemView::NoSelection;
            st.selected = isSelected();
            const QModelIndex current = m_grid->currentIndex();
            st.focused = m_grid->hasFocus() && current.isValid() && current.column() == m_column - 1 &&
                         current.row() == m_row - 1;
        }
        if (TakesText()) st.editable = true;
        else st.readOnly = true;
        return st;
    }

    void* interface_cast(QAccessible::InterfaceType type) override {
        switch (type) {
            case QAccessible::TableCellInterface:
                return IsDataCell() ? static_cast<QAccessibleTableCellInterface*>(this) : nullptr;
            case QAccessible::TextInterface:
                return static_cast<QAccessibleTextInterface*>(this);
            case QAccessible::EditableTextInterface:
                return TakesText() ? static_cast<QAccessibleEditableTextInterface*>(this) : nullptr;
            default:
                return nullptr;
        }
    }

    // QAccessibleTableCellInterface: the table's rows and columns are those
    // outside the fixed row and column.
    bool isSelected() const override {
        return isValid() && IsDataCell() && m_grid->selectionModel() != nullptr &&
               m_grid->selectionModel()->isSelected(m_grid->model()->index(m_row - 1, m_column - 1));
    }
    QList<QAccessibleInterface*> columnHeaderCells() const override { return {CellOfGrid(m_column, 0)}; }
    QList<QAccessibleInterface*> rowHeaderCells() const override { return {CellOfGrid(0, m_row)}; }
    int columnIndex() const override { return m_column - 1; }
    int rowIndex() const override { return m_row - 1; }
    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    QAccessibleInterface* table() const override { return parent(); }

    // QAccessibleTextInterface: the cell's text without the padding of the
    // number fields, as one run of one weight. Nothing is selected and the
    // cursor stays at 0.
    void selection(int, int* startOffset, int* endOffset) const override { *startOffset = *endOffset = 0; }
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    QString text(int startOffset, int endOffset) const override {
        return Text().mid(startOffset, endOffset - startOffset);
    }
    int characterCount() const override { return static_cast<int>(Text().size()); }
    QRect characterRect(int) const override { return rect(); }
    int offsetAtPoint(const QPoint& point) const override { return rect().contains(point) ? 0 : -1; }
    void scrollToSubstring(int, int) override {
        if (isValid() && IsDataCell()) m_grid->scrollTo(m_grid->model()->index(m_row - 1, m_column - 1));
    }
    QString attributes(int offset, int* startOffset, int* endOffset) const override {
        const int length = characterCount();
        if (!isValid() || offset < 0 || offset > length) {
            *startOffset = *endOffset = -1;
            return QString();
        }
        *startOffset = 0;
        *endOffset = length;
        // As a number, which the desktop's accessibility bus passes on as
        // its "weight" attribute (700 bold, 400 regular).
        return m_grid->CellIsBold(m_column, m_row) ? QStringLiteral("font-weight:700;")
                                                   : QStringLiteral("font-weight:400;");
    }

    // QAccessibleEditableTextInterface: the whole new text goes to the grid
    // at once, as if the user had typed it into the cell.
    void deleteText(int startOffset, int endOffset) override {
        Enter(Text().remove(startOffset, endOffset - startOffset));
    }
    void insertText(int offset, const QString& text) override { Enter(Text().insert(offset, text)); }
    void replaceText(int startOffset, int endOffset, const QString& text) override {
        Enter(Text().replace(startOffset, endOffset - startOffset, text));
    }

private:
    bool IsDataCell() const { return m_column > 0 && m_row > 0; }
    bool TakesText() const {
        return isValid() && m_grid->accessibleInput.takes && m_grid->accessibleInput.enter &&
               m_grid->accessibleInput.takes(m_column, m_row);
    }
    QString Text() const { return isValid() ? m_grid->CellText(m_column, m_row).trimmed() : QString(); }
    void Enter(const QString& text) {
        if (TakesText()) m_grid->accessibleInput.enter(m_column, m_row, text);
    }
    QAccessibleInterface* CellOfGrid(int column, int row) const;

    QPointer<PaintedGrid> m_grid;
    int m_column;
    int m_row;
};

// The grid itself: a table whose children are its cells, not its scroll
// bars and headers.
class GridAccessible : public QAccessibleWidget, public QAccessibleTableInterface {
public:
    explicit GridAccessible(PaintedGrid* grid) : QAccessibleWidget(grid, QAccessible::Table) {}
    ~GridAccessible() override {
        for (const auto& entry : m_cells) QAccessible::deleteAccessibleInterface(entry.second);
    }

    PaintedGrid* Grid() const { return static_cast<PaintedGrid*>(widget()); }

    // The interface of cell (column, row), made on first use and kept, so
    // that a screen reader meets the same object again.
    QAccessibleInterface* Cell(int column, int row) const {
        if (column < 0 || row < 0 || column >= Grid()->GridColumns() || row >= Grid()->GridRows()) return nullptr;
        const auto key = std::make_pair(column, row);
        if (const auto found = m_cells.find(key); found != m_cells.end())
            return QAccessible::accessibleInterface(found->second);
        auto* cell = new CellAccessible(Grid(), column, row);
        m_cells.emplace(key, QAccessible::registerAccessibleInterface(cell));
        return cell;
    }

    // QAccessibleInterface
    int childCount() const override { return Grid()->GridColumns() * Grid()->GridRows(); }
    QAccessibleInterface* child(int index) const override {
        const int columns = Grid()->GridColumns();
        return index < 0 ? nullptr : Cell(index % columns, index / columns);
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        const auto* cell = dynamic_cast<const CellAccessible*>(child);
        if (cell == nullptr || !cell->IsOf(Grid()) || !cell->isValid()) return -1;
        return cell->Row() * Grid()->GridColumns() + cell->Column();
    }
    QAccessibleInterface* childAt(int x, int y) const override {
        const PaintedGrid* grid = Grid();
        const QPoint point = grid->mapFromGlobal(QPoint(x, y));
        const QHeaderView* side = grid->verticalHeader();
        const QHeaderView* top = grid->horizontalHeader();
        int column = -1;
        int row = -1;
        if (point.x() >= side->geometry().left() && point.x() <= side->geometry().right()) column = 0;
        else if (const int c = top->logicalIndexAt(point.x() - top->geometry().left()); c >= 0) column = c + 1;
        if (point.y() >= top->geometry().top() && point.y() <= top->geometry().bottom()) row = 0;
        else if (const int r = side->logicalIndexAt(point.y() - side->geometry().top()); r >= 0) row = r + 1;
        return column >= 0 && row >= 0 ? Cell(column, row) : nullptr;
    }
    QAccessibleInterface* focusChild() const override {
        const QModelIndex current = Grid()->currentIndex();
        return current.isValid() ? Cell(current.column() + 1, current.row() + 1) : nullptr;
    }
    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::TableInterface) return static_cast<QAccessibleTableInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    // QAccessibleTableInterface
    QAccessibleInterface* caption() const override { return nullptr; }
    QAccessibleInterface* summary() const override { return nullptr; }
    QAccessibleInterface* cellAt(int row, int column) const override {
        if (row < 0 || column < 0) return nullptr;
        return Cell(column + 1, row + 1);
    }
    int selectedCellCount() const override { return static_cast<int>(selectedCells().size()); }
    QList<QAccessibleInterface*> selectedCells() const override {
        QList<QAccessibleInterface*> cells;
        if (Grid()->selectionModel() == nullptr) return cells;
        for (const QModelIndex& index : Grid()->selectionModel()->selectedIndexes())
            if (QAccessibleInterface* cell = Cell(index.column() + 1, index.row() + 1)) cells << cell;
        return cells;
    }
    QString columnDescription(int column) const override { return Grid()->CellText(column + 1, 0).trimmed(); }
    QString rowDescription(int row) const override { return Grid()->CellText(0, row + 1).trimmed(); }
    int selectedColumnCount() const override { return 0; }
    int selectedRowCount() const override { return 0; }
    int columnCount() const override { return Grid()->GridColumns() - 1; }
    int rowCount() const override { return Grid()->GridRows() - 1; }
    QList<int> selectedColumns() const override { return {}; }
    QList<int> selectedRows() const override { return {}; }
    bool isColumnSelected(int) const override { return false; }
    bool isRowSelected(int) const override { return false; }
    bool selectRow(int) override { return false; }
    bool selectColumn(int) override { return false; }
    bool unselectRow(int) override { return false; }
    bool unselectColumn(int) override { return false; }
    // Cells are found by their place, so a new size or new texts need no
    // bookkeeping here: a cell beyond the grid reports itself invalid.
    void modelChange(QAccessibleTableModelChangeEvent*) override {}

private:
    mutable std::map<std::pair<int, int>, QAccessible::Id> m_cells;
};

QAccessibleInterface* CellAccessible::CellOfGrid(int column, int row) const {
    auto* table = dynamic_cast<GridAccessible*>(parent());
    return table != nullptr ? table->Cell(column, row) : nullptr;
}

}  // namespace

QAccessibleInterface* GridAccessibleFactory(const QString&, QObject* object) {
    auto* grid = qobject_cast<PaintedGrid*>(object);
    return grid != nullptr ? new GridAccessible(grid) : nullptr;
}

}  // namespace kelvo::ui
