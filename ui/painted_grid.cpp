#include "painted_grid.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QAction>
#include <QContextMenuEvent>
#include <QEvent>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QStyleOption>
#include <QStyledItemDelegate>
#include <algorithm>

#include "fixed_cells.h"
#include "grid_accessibility.h"
#include "grid_cells.h"
#include "names_and_paths.h"
#include "number_format.h"
#include "result_copy.h"

namespace kelvo::ui {

namespace {

// The cells outside the fixed row and column.
class CellDelegate : public QStyledItemDelegate {
public:
    CellDelegate(const std::function<void(QPainter*, int, int, const QRect&)>& paint, QObject* parent)
        : QStyledItemDelegate(parent), m_paint(paint) {}
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        m_paint(painter, index.column() + 1, index.row() + 1, option.rect);
    }

private:
    std::function<void(QPainter*, int, int, const QRect&)> m_paint;
};

}  // namespace

void DrawCellText(QPainter* painter, const QRect& rect, const QString& text, bool rightAligned) {
    const QFontMetrics metrics(painter->font());
    const int x = rightAligned ? rect.left() + rect.width() - metrics.horizontalAdvance(text) - 3 : rect.left() + 3;
    painter->setPen(Qt::black);
    painter->drawText(x, rect.top() + 3 + metrics.ascent(), text);
}

void SetGridTitle(QLabel* title, QWidget* grid, const QString& text) {
    title->setText(text);
    grid->setAccessibleName(text);
}

PaintedGrid::PaintedGrid(QWidget* parent,
                         std::function<void(QPainter* painter, int column, int row, const QRect& rect)> paintCell)
    : QTableWidget(parent), drawCell(std::move(paintCell)) {
    // Once per run: Qt ignores a factory it already has.
    QAccessible::installFactory(&GridAccessibleFactory);
    setObjectName("Tab");
    const auto paint = [this](QPainter* painter, int column, int row, const QRect& rect) {
        PaintCell(painter, column, row, rect);
    };
    setHorizontalHeader(new FixedCellHeader(Qt::Horizontal, this, paint));
    setVerticalHeader(new FixedCellHeader(Qt::Vertical, this, paint));
    setItemDelegate(new CellDelegate(paint, this));
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::NoSelection);
    setShowGrid(true);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    // The corner button is cell (0, 0). The grid watches other widgets of
    // its own as well (Qt's scroll area filters its scroll bars through it),
    // so the corner is recognised by its pointer, never by what it is not.
    m_corner = findChild<QAbstractButton*>();
    if (m_corner != nullptr) m_corner->installEventFilter(this);
    SetRowHeight(GridRowHeight(this));
    SetGridSize(1, 1);
}

void PaintedGrid::PaintCell(QPainter* painter, int column, int row, const QRect& rect) const {
    if (!drawCell) return;
    painter->save();
    painter->setClipRect(rect);
    painter->setFont(font());
    drawCell(painter, column, row, rect);
    painter->restore();
}

void PaintedGrid::SetGridSize(int columns, int rows) {
    setColumnCount(std::max(columns, 1) - 1);
    setRowCount(std::max(rows, 1) - 1);
}

QString PaintedGrid::CellText(int column, int row) const {
    if (column == 0 && row == 0) return m_cornerText;
    const QTableWidgetItem* item = nullptr;
    if (row == 0)
        item = horizontalHeaderItem(column - 1);
    else if (column == 0)
        item = verticalHeaderItem(row - 1);
    else
        item = this->item(row - 1, column - 1);
    return item != nullptr ? item->text() : QString();
}

void PaintedGrid::SetCellText(int column, int row, const QString& text) {
    if (column < 0 || row < 0 || column >= GridColumns() || row >= GridRows()) return;
    if (column == 0 && row == 0) {
        m_cornerText = text;
        if (m_corner != nullptr) m_corner->update();
        return;
    }
    QTableWidgetItem* item = nullptr;
    if (row == 0) {
        item = horizontalHeaderItem(column - 1);
        if (item == nullptr) setHorizontalHeaderItem(column - 1, item = new QTableWidgetItem);
    } else if (column == 0) {
        item = verticalHeaderItem(row - 1);
        if (item == nullptr) setVerticalHeaderItem(row - 1, item = new QTableWidgetItem);
    } else {
        item = this->item(row - 1, column - 1);
        if (item == nullptr) setItem(row - 1, column - 1, item = new QTableWidgetItem);
    }
    if (item->text() != text) item->setText(text);
}

QString PaintedGrid::CellToolTip(int column, int row) const {
    if (column < 1 || row < 1) return QString();
    const QTableWidgetItem* cell = item(row - 1, column - 1);
    return cell != nullptr ? cell->toolTip() : QString();
}

void PaintedGrid::SetCellToolTip(int column, int row, const QString& text) {
    if (column < 1 || row < 1 || column >= GridColumns() || row >= GridRows()) return;
    QTableWidgetItem* cell = item(row - 1, column - 1);
    if (cell == nullptr) setItem(row - 1, column - 1, cell = new QTableWidgetItem);
    cell->setToolTip(text);
}

void PaintedGrid::SetColumnWidth(int column, int width) {
    if (column == 0)
        verticalHeader()->setFixedWidth(width);
    else
        setColumnWidth(column - 1, width);
}

int PaintedGrid::ColumnWidth(int column) const {
    return column == 0 ? verticalHeader()->width() : columnWidth(column - 1);
}

void PaintedGrid::SetRowHeight(int height) {
    m_rowHeight = height;
    horizontalHeader()->setFixedHeight(height);
    verticalHeader()->setDefaultSectionSize(height);
    verticalHeader()->setMinimumSectionSize(1);
}

void PaintedGrid::FitColumnsToText(int minimumWidth, int column) {
    QFont boldFont = font();
    boldFont.setBold(true);
    const QFontMetrics bold(boldFont);
    for (int c = column < 0 ? 0 : column; c < (column < 0 ? GridColumns() : column + 1); ++c) {
        int widest = 0;
        for (int r = 0; r < GridRows(); ++r) widest = std::max(widest, bold.horizontalAdvance(CellText(c, r)));
        // 3 pixels of the cell's own margin on either side, and the grid line.
        const int width = std::max(minimumWidth, widest + 8);
        if (ColumnWidth(c) != width) SetColumnWidth(c, width);
    }
}

void PaintedGrid::SetCurrentCell(int column, int row) {
    if (column < 1 || row < 1 || column >= GridColumns() || row >= GridRows()) return;
    setCurrentCell(row - 1, column - 1);
    scrollTo(model()->index(row - 1, column - 1));
}

QRect PaintedGrid::CellRect(int column, int row) const {
    const QHeaderView* top = horizontalHeader();
    const QHeaderView* side = verticalHeader();
    const int left = side->geometry().left();
    const int topEdge = top->geometry().top();
    const int x = column == 0 ? left : top->geometry().left() + top->sectionViewportPosition(column - 1);
    const int y = row == 0 ? topEdge : side->geometry().top() + side->sectionViewportPosition(row - 1);
    const int width = column == 0 ? side->width() : top->sectionSize(column - 1);
    const int height = row == 0 ? top->height() : side->sectionSize(row - 1);
    return QRect(x, y, width, height);
}

QColor PaintedGrid::GridLineColor() const { return ui::GridLineColor(this); }

bool PaintedGrid::CellIsBold(int, int) const { return false; }

QString PaintedGrid::CellDescription(int column, int row) const { return CellToolTip(column, row); }

bool PaintedGrid::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Paint && watched == m_corner && m_corner != nullptr) {
        QPainter painter(m_corner);
        PaintCell(&painter, 0, 0, m_corner->rect().adjusted(0, 0, -1, -1));
        DrawCellEdges(&painter, m_corner->rect(), GridLineColor());
        return true;
    }
    return QTableWidget::eventFilter(watched, event);
}

OutputGrid::OutputGrid(QWidget* parent, int numberField)
    : PaintedGrid(parent, [this](QPainter* painter, int column, int row, const QRect& rect) {
          DrawCell(painter, column, row, rect);
      }),
      m_numberField(numberField) {
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // The menu shows the window's shortcuts; the actions hold none, which
    // would make Ctrl+C ambiguous.
    m_copyTable = new QAction(QStringLiteral("&Copy table\tCtrl+C"), this);
    m_copyTable->setObjectName(QStringLiteral("CopyTable"));
    connect(m_copyTable, &QAction::triggered, this, [this] { CopyTables({&m_table}); });
    m_copyAll = new QAction(QStringLiteral("Copy &all\tCtrl+Shift+C"), this);
    m_copyAll->setObjectName(QStringLiteral("CopyAll"));
    connect(m_copyAll, &QAction::triggered, this, [this] { CopyTables(TablesOfWindow(window())); });
    // The fixed row and column are header views, whose menus come here too.
    for (QHeaderView* header : {horizontalHeader(), verticalHeader()}) {
        header->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(header, &QWidget::customContextMenuRequested, this,
                [this, header](const QPoint& position) { ShowContextMenu(header->mapToGlobal(position)); });
    }
    InstallCopyShortcuts(parent != nullptr ? parent->window() : nullptr);
}

void OutputGrid::contextMenuEvent(QContextMenuEvent* event) {
    ShowContextMenu(event->globalPos());
    event->accept();
}

void OutputGrid::ShowContextMenu(const QPoint& globalPosition) {
    if (m_menu == nullptr) {
        m_menu = new QMenu(this);
        m_menu->setObjectName(QStringLiteral("CopyMenu"));
        m_menu->addAction(m_copyTable);
        m_menu->addAction(m_copyAll);
    }
    m_menu->popup(globalPosition);
}

QString OutputGrid::TextOf(const kelvo::OutputCell& cell) const {
    return kelvo::IsNumber(cell.role) ? QString::fromStdString(PadLeft(kelvo::CellText(cell), m_numberField))
                                      : FromName(cell.text);
}

void OutputGrid::ShowTable(const kelvo::OutputTable& table) {
    m_table = table;
    const int rows = table.Rows();
    SetGridSize(table.columns, rows);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < table.columns; ++c) SetCellText(c, r, TextOf(table.At(c, r)));
    for (int c = 0; c < std::min<int>(table.columns, static_cast<int>(m_fixedWidths.size())); ++c)
        SetColumnWidth(c, m_fixedWidths[static_cast<std::size_t>(c)]);
    viewport()->update();
    horizontalHeader()->viewport()->update();
}

void OutputGrid::FitToTable() {
    const QFontMetrics metrics(font());
    int width = 2 * frameWidth();
    for (int c = 0; c < GridColumns(); ++c) {
        int widest = 0;
        for (int r = 0; r < GridRows(); ++r) widest = std::max(widest, metrics.horizontalAdvance(CellText(c, r)));
        const int columnWidth = std::max(75, widest + 8);
        SetColumnWidth(c, columnWidth);
        width += columnWidth;
    }
    setFixedSize(width, GridRows() * RowHeight() + 2 * frameWidth());
}

void OutputGrid::FitToTables(const std::vector<kelvo::OutputTable>& tables, int visibleRows) {
    QFont boldFont = font();
    boldFont.setBold(true);
    const QFontMetrics bold(boldFont);
    m_fixedWidths.clear();
    int rows = 1;
    for (const kelvo::OutputTable& table : tables) {
        rows = std::max(rows, table.Rows());
        if (static_cast<int>(m_fixedWidths.size()) < table.columns)
            m_fixedWidths.resize(static_cast<std::size_t>(table.columns), 75);
        for (int r = 0; r < table.Rows(); ++r)
            for (int c = 0; c < table.columns; ++c) {
                int& width = m_fixedWidths[static_cast<std::size_t>(c)];
                // 3 pixels of the cell's own margin on either side, and the grid line.
                width = std::max(width, bold.horizontalAdvance(TextOf(table.At(c, r))) + 8);
            }
    }
    const bool scrolls = rows > visibleRows;
    setVerticalScrollBarPolicy(scrolls ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    int width = 2 * frameWidth() + (scrolls ? style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this) : 0);
    for (const int column : m_fixedWidths) width += column;
    setFixedSize(width, std::min(rows, visibleRows) * RowHeight() + 2 * frameWidth());
    for (int c = 0; c < std::min<int>(GridColumns(), static_cast<int>(m_fixedWidths.size())); ++c)
        SetColumnWidth(c, m_fixedWidths[static_cast<std::size_t>(c)]);
}

const kelvo::OutputCell* OutputGrid::CellAt(int column, int row) const {
    if (column < 0 || row < 0 || column >= m_table.columns || row >= m_table.Rows()) return nullptr;
    return &m_table.At(column, row);
}

bool OutputGrid::InSummaryColumn(int column) const {
    const kelvo::OutputCell* heading = m_table.headingRows > 0 ? CellAt(column, 0) : nullptr;
    return heading != nullptr && heading->role == kelvo::CellRole::SummaryHeading;
}

QColor OutputGrid::CellColor(int column, int row) const {
    if (column == 0 || row < m_table.headingRows) return palette().color(QPalette::Button);
    const kelvo::OutputCell* cell = CellAt(column, row);
    if (cell != nullptr && cell->role == kelvo::CellRole::OutOfRange) return LightRedCell();
    if (InSummaryColumn(column)) return LightYellowCell();
    return LightBlueCell();
}

bool OutputGrid::CellIsBold(int column, int row) const {
    // The significance test of the builder, made on the stored numbers, not
    // on the one-decimal text.
    const kelvo::OutputCell* cell = CellAt(column, row);
    return column > 0 && row >= m_table.headingRows && cell != nullptr &&
           cell->role == kelvo::CellRole::SignificantPercent && !InSummaryColumn(column);
}

QString OutputGrid::CellDescription(int column, int row) const {
    QStringList parts;
    const kelvo::OutputCell* cell = CellAt(column, row);
    if (CellIsBold(column, row)) parts << QStringLiteral("Significant");
    else if (column > 0 && row >= m_table.headingRows && cell != nullptr && cell->role == kelvo::CellRole::OutOfRange)
        parts << QStringLiteral("Out of range");
    if (const QString tip = CellToolTip(column, row); !tip.isEmpty()) parts << tip;
    return parts.join(QStringLiteral(". "));
}

void OutputGrid::DrawCell(QPainter* painter, int column, int row, const QRect& rect) const {
    painter->fillRect(rect, CellColor(column, row));
    QFont font = painter->font();
    font.setBold(CellIsBold(column, row));
    painter->setFont(font);
    const kelvo::OutputCell* cell = CellAt(column, row);
    const bool number = cell != nullptr && kelvo::IsNumber(cell->role);
    DrawCellText(painter, rect, CellText(column, row), number || (row < m_table.headingRows && column > 0));
    font.setBold(false);
    painter->setFont(font);
}

}  // namespace kelvo::ui
