#include "fixed_cells.h"

#include <QPainter>
#include <QStyleOption>

#include "dialog_frame.h"

namespace kelvo::ui {

QColor GridLineColor(const QWidget* grid) {
    QStyleOption option;
    option.initFrom(grid);
    return QColor::fromRgba(static_cast<QRgb>(grid->style()->styleHint(QStyle::SH_Table_GridLineColor, &option, grid)));
}

void DrawCellEdges(QPainter* painter, const QRect& rect, const QColor& color) {
    painter->save();
    painter->setPen(color);
    painter->drawLine(rect.topRight(), rect.bottomRight());
    painter->drawLine(rect.bottomLeft(), rect.bottomRight());
    painter->restore();
}

FixedCellHeader::FixedCellHeader(Qt::Orientation orientation, QWidget* grid, CellPainter paint)
    : QHeaderView(orientation, grid), m_paint(std::move(paint)) {
    setSectionsClickable(false);
    setHighlightSections(false);
    setSectionResizeMode(QHeaderView::Fixed);
    setMinimumSectionSize(1);
    // Beyond the last cell the header shows the grid's own colour.
    QPalette colours = palette();
    colours.setColor(QPalette::Window, PanelColor());
    colours.setColor(QPalette::Base, PanelColor());
    colours.setColor(QPalette::Button, PanelColor());
    setPalette(colours);
}

void FixedCellHeader::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const {
    if (!rect.isValid()) return;
    const bool horizontal = orientation() == Qt::Horizontal;
    m_paint(painter, horizontal ? logicalIndex + 1 : 0, horizontal ? 0 : logicalIndex + 1, rect.adjusted(0, 0, -1, -1));
    DrawCellEdges(painter, rect, GridLineColor(parentWidget()));
}

}  // namespace kelvo::ui
