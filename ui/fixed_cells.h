// The fixed row and column of KELVO's string grids, painted by the window
// that owns the grid. A grid uses its horizontal header as the fixed row
// (column headings, scrolling with the columns) and its vertical header as
// the fixed column (row headings, staying in place when the grid scrolls
// horizontally).
#pragma once

#include <QColor>
#include <QHeaderView>
#include <functional>

class QPainter;

namespace kelvo::ui {

// Paints cell (column, row) of a grid, cells counted from 0 with the fixed
// row and column at 0, into `rect`.
using CellPainter = std::function<void(QPainter* painter, int column, int row, const QRect& rect)>;

// The colour in which the style draws a grid's lines.
QColor GridLineColor(const QWidget* grid);

// Draws the grid lines on the right and bottom edges of a fixed cell, which
// the grid draws itself only between its other cells.
void DrawCellEdges(QPainter* painter, const QRect& rect, const QColor& color);

// The fixed row (Qt::Horizontal) or the fixed column (Qt::Vertical) of
// `grid`; each section is painted by `paint` as cell (column, 0) or (0, row).
class FixedCellHeader : public QHeaderView {
public:
    FixedCellHeader(Qt::Orientation orientation, QWidget* grid, CellPainter paint);

protected:
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;

private:
    CellPainter m_paint;
};

}  // namespace kelvo::ui
