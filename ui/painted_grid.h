// A read-only string grid with a fixed first row and a fixed first column,
// every cell of which is painted by the window that owns it. Cells are
// addressed as (column, row) from 0, the fixed row and column at 0, as the
// windows that use it describe their layout.
//
// The fixed row and column are the grid's headers: the fixed column stays in
// place when the grid scrolls horizontally, the fixed row scrolls with the
// other columns, and cell (0, 0) is the corner between them.
#pragma once

#include <QColor>
#include <QString>
#include <QTableWidget>
#include <functional>
#include <vector>

#include "output_model.h"

class QLabel;
class QAction;
class QContextMenuEvent;
class QMenu;
class QPainter;

namespace kelvo::ui {

// Backgrounds of the result grids' cells.
inline QColor LightBlueCell() {
    return QColor(231, 243, 255);
}
inline QColor LightRedCell() {
    return QColor(255, 192, 192);
}
inline QColor LightYellowCell() {
    return QColor(255, 255, 221);
}

// Shows `text` in `title`, the label above `grid`, and gives it to the grid
// as its accessible name, so that a screen reader names the grid as the
// window does ("Table 1: Sex by Class").
void SetGridTitle(QLabel* title, QWidget* grid, const QString& text);

// Draws `text` in black in a cell, 3 pixels below the cell's top and either
// 3 pixels from its left edge or ending 3 pixels before its right edge.
void DrawCellText(QPainter* painter, const QRect& rect, const QString& text, bool rightAligned);

class PaintedGrid : public QTableWidget {
    Q_OBJECT
public:
    // A grid named "Tab" whose every cell, fixed ones included, is painted
    // only by `drawCell` (the painter is clipped to the cell and restored
    // afterwards), with rows of the program's grid row height.
    PaintedGrid(QWidget* parent, std::function<void(QPainter* painter, int column, int row, const QRect& rect)> drawCell);

    std::function<void(QPainter* painter, int column, int row, const QRect& rect)> drawCell;

    // The size of the grid, the fixed row and column included (at least 1).
    void SetGridSize(int columns, int rows);
    int GridColumns() const { return columnCount() + 1; }
    int GridRows() const { return rowCount() + 1; }

    QString CellText(int column, int row) const;
    void SetCellText(int column, int row, const QString& text);
    QString CellToolTip(int column, int row) const;
    void SetCellToolTip(int column, int row, const QString& text);

    // Width of a column (column 0 is the fixed column) and height of every
    // row, the fixed row included.
    void SetColumnWidth(int column, int width);
    int ColumnWidth(int column) const;
    void SetRowHeight(int height);
    int RowHeight() const { return m_rowHeight; }

    // Widens every column (or only `column`) to its widest text, bold or not,
    // and never below `minimumWidth`, so that no name or number is cut.
    void FitColumnsToText(int minimumWidth, int column = -1);

    // Makes (column, row), a cell outside the fixed row and column, the
    // current cell and scrolls it into view.
    void SetCurrentCell(int column, int row);

    // The rectangle of cell (column, row) in the grid's own coordinates, for
    // finding a cell on the screen.
    QRect CellRect(int column, int row) const;

    // The colour of the grid lines, which the fixed cells draw on their edges.
    QColor GridLineColor() const;

    // What a screen reader learns of a cell beyond its text: whether it is
    // drawn bold, and what its look means (here: its tool tip).
    virtual bool CellIsBold(int column, int row) const;
    virtual QString CellDescription(int column, int row) const;

    // How an assistive technology types into the grid: `takes` says which
    // cells take a text, `enter` sets the text of one as typing it would.
    // Unset, every cell is read-only to them.
    struct AccessibleInput {
        std::function<bool(int column, int row)> takes;
        std::function<void(int column, int row, const QString& text)> enter;
    };
    AccessibleInput accessibleInput;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void PaintCell(QPainter* painter, int column, int row, const QRect& rect) const;

    QWidget* m_corner = nullptr;  // the corner button, cell (0, 0)
    QString m_cornerText;
    int m_rowHeight = 16;
};

// The grid driver of the output model: the one grid of the result windows,
// which shows a table as its cells' roles say. The heading row and the label
// column are fixed cells (button face); names stand at the left, numbers and
// the headings above them at the right. A number cell is light blue, light yellow under a summary heading
// (the averages of the results browser), light red when out of range, and
// bold when significant (never in a summary column). Its table can be
// copied (result_copy.h): its context menu has "Copy table" and "Copy all",
// and its window gets Ctrl+C.
class OutputGrid : public PaintedGrid {
    Q_OBJECT
public:
    // Number texts are padded on the left to `numberField` characters, as a
    // window shows them (the results browser and the prediction check: 6).
    explicit OutputGrid(QWidget* parent, int numberField = 0);

    // Shows `table`: the grid gets its size and its texts; the columns keep
    // their widths (FitColumnsToText, FitToTable).
    void ShowTable(const kelvo::OutputTable& table);
    const kelvo::OutputTable& Table() const { return m_table; }

    // Every column at least 75 pixels wide and wide enough for its widest
    // text, and the grid as large as its table, so that it never scrolls.
    void FitToTable();
    // One size for every table of `tables` that the grid is to show in turn
    // (the pages of a window): every column at least 75 pixels wide and wide
    // enough for its widest text in any of them, and room for at most
    // `visibleRows` rows (the heading row included); a grid of more rows
    // scrolls vertically. Paging then never changes the grid's size. The
    // widths stay for the tables shown afterwards.
    void FitToTables(const std::vector<kelvo::OutputTable>& tables, int visibleRows);

    // How cell (column, row) is painted: its background and whether its
    // text is bold.
    QColor CellColor(int column, int row) const;
    bool CellIsBold(int column, int row) const override;
    // "Significant" for a bold cell, "Out of range" for a light red one,
    // followed by its tool tip.
    QString CellDescription(int column, int row) const override;
    void DrawCell(QPainter* painter, int column, int row, const QRect& rect) const;

    // The context menu's commands: this grid's table, every table of the
    // window.
    QAction* CopyTableAction() const { return m_copyTable; }
    QAction* CopyAllAction() const { return m_copyAll; }
    // The context menu, once it has been opened.
    QMenu* ContextMenu() const { return m_menu; }

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void ShowContextMenu(const QPoint& globalPosition);
    QAction* m_copyTable;
    QAction* m_copyAll;
    QMenu* m_menu = nullptr;
    const kelvo::OutputCell* CellAt(int column, int row) const;
    bool InSummaryColumn(int column) const;
    QString TextOf(const kelvo::OutputCell& cell) const;
    int m_numberField;
    // The column widths that FitToTables chose, kept by ShowTable; empty:
    // ShowTable leaves the widths alone.
    std::vector<int> m_fixedWidths;
    kelvo::OutputTable m_table;
};

}  // namespace kelvo::ui
