#include "edit_table.h"

#include <QAbstractButton>
#include <QClipboard>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QStyleOption>
#include <QTableWidget>
#include <QUndoStack>
#include <QVBoxLayout>
#include <algorithm>

#include "dialog_frame.h"
#include "grid_cells.h"
#include "names_and_paths.h"
#include "number_format.h"
#include "painted_grid.h"
#include "pasted_table.h"
#include "table_set_undo.h"
#include "whole_number.h"
#include "window_geometry.h"

namespace kelvo::ui {

namespace {

constexpr int ColumnWidth = 75;

QColor FixedColor() { return QColor(192, 192, 192); }
QColor TotalsColor() { return QColor(221, 221, 221); }

QString NumberText(std::int64_t value) { return QString::fromStdString(FormatInteger(value, 0)); }

// Data and totals cells: painted by TabDrawCell, edited with an editor that
// reports every keystroke.
class TableCellDelegate : public LiveEditDelegate {
public:
    TableCellDelegate(const TEditTable& table, QObject* parent) : LiveEditDelegate(parent), m_table(table) {
        editorAlignment = Qt::AlignRight | Qt::AlignVCenter;
    }
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        int state = 0;
        if (option.state & QStyle::State_Selected) state |= TEditTable::Selected;
        if (option.state & QStyle::State_HasFocus) state |= TEditTable::Focused;
        m_table.TabDrawCell(painter, index.column() + 1, index.row() + 1, option.rect, state);
    }
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override {
        if (editorOpened) editorOpened();
        return LiveEditDelegate::createEditor(parent, option, index);
    }

    std::function<void()> editorOpened;

private:
    const TEditTable& m_table;
};

// Changes of cells of one table: the keystrokes of one cell editor (which
// merge into one step), or a pasted block.
class CellsCommand : public QUndoCommand {
public:
    // `typing` is the cell editor of a typed change, 0 for a paste.
    CellsCommand(TEditTable& editor, int a, int b, std::vector<TEditTable::CellChange> cells, int typing)
        : QUndoCommand(typing != 0 ? QStringLiteral("Typing") : QStringLiteral("Paste")), m_editor(editor), m_a(a),
          m_b(b), m_cells(std::move(cells)), m_typing(typing) {}

    int id() const override { return 1; }
    bool mergeWith(const QUndoCommand* other) override {
        const auto* next = static_cast<const CellsCommand*>(other);
        if (m_typing == 0 || next->m_typing != m_typing || next->m_a != m_a || next->m_b != m_b ||
            m_cells.size() != 1 || next->m_cells.size() != 1 || next->m_cells[0].row != m_cells[0].row ||
            next->m_cells[0].column != m_cells[0].column)
            return false;
        m_cells[0].after = next->m_cells[0].after;
        // Typed and taken back: no step at all.
        setObsolete(m_cells[0].after == m_cells[0].before);
        return true;
    }
    void undo() override { m_editor.RestoreCells(m_a, m_b, m_cells, false); }
    void redo() override {
        // The first redo is the change itself, made already.
        if (m_made) m_made = false;
        else m_editor.RestoreCells(m_a, m_b, m_cells, true);
    }

private:
    TEditTable& m_editor;
    int m_a;
    int m_b;
    std::vector<TEditTable::CellChange> m_cells;
    int m_typing;
    bool m_made = true;
};

}  // namespace

TEditTable::TEditTable(TableSet& ts, WarningSink& warnings, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                          Qt::WindowCloseButtonHint),
      m_ts(ts), m_warnings(warnings) {
    SetUpDialog(this, "EditTable", " Edit table");
    setSizeGripEnabled(true);

    Label1 = Named<QLabel>(this, "Label1", "Table: ");

    // The fixed row (column headings) scrolls with the columns; the fixed
    // column (row headings) stays in place. The fixed cells and the corner
    // are painted by the grid; the data and totals cells by the delegate
    // below, which knows the current cell.
    Tab = new PaintedGrid(this, [this](QPainter* painter, int column, int row, const QRect& rect) {
        TabDrawCell(painter, column, row, rect, Fixed);
    });
    const int rowHeight = Tab->RowHeight();
    Tab->horizontalHeader()->setDefaultSectionSize(ColumnWidth);
    Tab->SetColumnWidth(0, ColumnWidth);
    Tab->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Tab->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    Tab->setSelectionMode(QAbstractItemView::SingleSelection);
    Tab->setSelectionBehavior(QAbstractItemView::SelectItems);
    Tab->setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::DoubleClicked |
                         QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
    // The grid never scrolls vertically, so it always has room for the
    // largest table: 16 categories, the header row and the totals row.
    Tab->setMinimumHeight((MaxCategories + 2) * rowHeight + 2 * Tab->frameWidth() +
                          Tab->style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 4);
    Tab->setMinimumWidth(4 * ColumnWidth);
    auto* delegate = new TableCellDelegate(*this, Tab);
    delegate->editorOpened = [this] { ++m_typing; };
    m_delegate = delegate;
    Tab->setItemDelegate(m_delegate);
    connect(m_delegate, &LiveEditDelegate::cellTextEdited, this,
            [this](const QModelIndex& index, const QString& text) {
                TabSetEditText(index.column() + 1, index.row() + 1, text);
            });
    // Ctrl+V of a block while a cell is being edited pastes the block;
    // Undo and Redo are the table's, not the editor's.
    m_delegate->editorKeyFilter = [this](QLineEdit*, QKeyEvent* key) {
        if (const int step = UndoKey(key)) {
            CloseCellEditor();
            if (step < 0) m_undo->undo();
            else m_undo->redo();
            return true;
        }
        if (!key->matches(QKeySequence::Paste)) return false;
        const QString text = QGuiApplication::clipboard()->text();
        if (!IsCellBlock(text)) return false;
        CloseCellEditor();
        PasteBlock(text);
        return true;
    };
    Tab->installEventFilter(this);
    // A screen reader sets the count of a cell the way typing does. The
    // totals, which typing cannot change, take nothing from it.
    Tab->accessibleInput.takes = [this](int column, int row) {
        return HasTable() && column >= 1 && row >= 1 && column <= m_S && row <= m_R;
    };
    Tab->accessibleInput.enter = [this](int column, int row, const QString& text) {
        // Each number set so is a step of its own for undo, as if typed in
        // an editor of its own.
        ++m_typing;
        TabSetEditText(column, row, text);
    };
    m_undo = new QUndoStack(this);
    AddUndoShortcuts(this, m_undo);

    // Enter in a cell must not close the window: no button is a default.
    OKButton = AddButton(this, "OKButton", "&OK", PressedByEnter::Never, &TEditTable::OKButtonClick);
    NextButton = AddButton(this, "NextButton", "&Next", PressedByEnter::Never, &TEditTable::NextButtonClick);
    PrevButton = AddButton(this, "PrevButton", "&Previous", PressedByEnter::Never, &TEditTable::PrevButtonClick);

    StatusLine = new QLabel(this);
    StatusLine->setObjectName("StatusLine");
    StatusLine->setStyleSheet("color: #b00000");
    StatusLine->hide();

    auto* buttons = PagingButtonRow(PrevButton, NextButton, OKButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addWidget(Tab, 1);
    layout->addWidget(StatusLine);
    layout->addLayout(buttons);
    SetTabOrder({Tab, PrevButton, NextButton, OKButton});
    resize(735, 442);
}

void TEditTable::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    CenterOnScreen(this);
    m_undo->clear();
    FormActivate();
}

void TEditTable::FormActivate() {
    if (m_ts.VariableCount < 2) {
        ClearGrid();
        SetGridTitle(Label1, Tab, "No tables: define at least two variables");
        return;
    }
    DisplayTable(2, 1);
    SetCurrentCell(1, 1);
    Tab->setFocus();
}

void TEditTable::ClearGrid() {
    CloseCellEditor();
    m_a = m_b = m_R = m_S = m_k = 0;
    Tab->SetGridSize(1, 1);
}

void TEditTable::CloseCellEditor() {
    const QModelIndex current = Tab->currentIndex();
    // The grid has no persistent editors: an editor at the current cell is
    // the one the user types into.
    if (!current.isValid()) return;
    if (QWidget* editor = Tab->indexWidget(current)) emit m_delegate->closeEditor(editor, QAbstractItemDelegate::NoHint);
}

void TEditTable::DisplayTable(int a, int b) {
    if (a < 2 || a > std::min(m_ts.VariableCount, MaxVariables) || b < 1 || b >= a) return;
    CloseCellEditor();
    m_a = a;
    m_b = b;
    m_R = std::min<int>(m_ts.CategoryCounts[a], MaxCategories);
    m_S = std::min<int>(m_ts.CategoryCounts[b], MaxCategories);
    m_k = PairIndex(a, b);
    Tab->SetGridSize(m_S + 2, m_R + 2);
    SetGridTitle(Label1, Tab,
                 QString("Table %1: ").arg(m_k) + FromName(m_ts.VariableNames[a]) + " by " +
                     FromName(m_ts.VariableNames[b]));

    for (int i = 1; i <= m_R; ++i) SetCellText(0, i, FromName(m_ts.CategoryNames[a][i]));
    SetCellText(0, m_R + 1, "Total");
    for (int j = 1; j <= m_S; ++j) SetCellText(j, 0, FromName(m_ts.CategoryNames[b][j]));
    SetCellText(m_S + 1, 0, "Total");

    const PairTable& table = m_ts.PairTables[m_k];
    for (int i = 1; i <= m_R; ++i)
        for (int j = 1; j <= m_S; ++j) SetCellText(j, i, NumberText(table[i][j]));
    m_totals = TotalsOf(table, m_R, m_S);
    ShowTotals();
    // Columns start at 75 pixels and widen for a long name or total.
    Tab->FitColumnsToText(ColumnWidth);
}

void TEditTable::ShowTotals() {
    for (int i = 1; i <= m_R; ++i) SetCellText(m_S + 1, i, NumberText(m_totals.rows[i]));
    for (int j = 1; j <= m_S; ++j) SetCellText(j, m_R + 1, NumberText(m_totals.columns[j]));
    SetCellText(m_S + 1, m_R + 1, NumberText(m_totals.grand));
}

void TEditTable::TabSetEditText(int column, int row, const QString& text) {
    if (!HasTable() || column < 1 || row < 1 || column > m_S + 1 || row > m_R + 1) return;
    SetCellText(column, row, text);
    AdjustTotals(row, column);
}

void TEditTable::AdjustTotals(int row, int column) {
    if (!HasTable() || column < 1 || row < 1 || column > m_S + 1 || row > m_R + 1) return;
    if (row <= m_R && column <= m_S) {
        const QString text = CellText(column, row);
        std::int32_t value = 0;
        if (!text.isEmpty()) {
            if (const auto parsed = ParseWholeNumber(text.toStdString())) value = *parsed;
            else SetCellText(column, row, "0");
        }
        std::int32_t& cell = m_ts.PairTables[m_k][row][column];
        const std::int64_t delta = static_cast<std::int64_t>(value) - cell;
        if (delta != 0) RecordChange(row, column, cell, value);
        cell = value;
        if (seams.changed) seams.changed();
        m_totals.rows[row] += delta;
        m_totals.columns[column] += delta;
        m_totals.grand += delta;
        SetCellText(m_S + 1, row, NumberText(m_totals.rows[row]));
        SetCellText(column, m_R + 1, NumberText(m_totals.columns[column]));
        SetCellText(m_S + 1, m_R + 1, NumberText(m_totals.grand));
        // A total or a typed number may have grown past its column.
        Tab->FitColumnsToText(ColumnWidth, column);
        Tab->FitColumnsToText(ColumnWidth, m_S + 1);
        return;
    }
    // A totals cell cannot be overwritten: it shows its total again.
    if (row <= m_R) SetCellText(column, row, NumberText(m_totals.rows[row]));
    else if (column <= m_S) SetCellText(column, row, NumberText(m_totals.columns[column]));
    else SetCellText(column, row, NumberText(m_totals.grand));
}

void TEditTable::RecordChange(int row, int column, std::int32_t before, std::int32_t after) {
    if (m_pasted != nullptr) m_pasted->push_back({row, column, before, after});
    else m_undo->push(new CellsCommand(*this, m_a, m_b, {{row, column, before, after}}, m_typing));
}

void TEditTable::RestoreCells(int a, int b, const std::vector<CellChange>& cells, bool after) {
    if (a < 2 || a > std::min(m_ts.VariableCount, MaxVariables) || b < 1 || b >= a || cells.empty()) return;
    PairTable& table = m_ts.PairTables[PairIndex(a, b)];
    for (const CellChange& cell : cells) table[cell.row][cell.column] = after ? cell.after : cell.before;
    m_ts.TableSetModified = true;
    if (seams.changed) seams.changed();
    // The table it changed, with the first of its cells current.
    DisplayTable(a, b);
    SetCurrentCell(cells.front().column, cells.front().row);
    ++m_typing;
}

void TEditTable::SaveTable() {
    if (!HasTable()) return;
    PairTable& table = m_ts.PairTables[m_k];
    for (int i = 1; i <= m_R; ++i)
        for (int j = 1; j <= m_S; ++j) table[i][j] = ParseWholeNumber(CellText(j, i).toStdString()).value_or(0);
    if (seams.changed) seams.changed();
}

void TEditTable::OKButtonClick() {
    SaveTable();
    accept();
}

void TEditTable::NextButtonClick() {
    if (!HasTable()) return;
    int a = m_a;
    int b = m_b;
    if (b < a - 1) {
        ++b;
    } else if (a < m_ts.VariableCount) {
        ++a;
        b = 1;
    }
    DisplayTable(a, b);
}

void TEditTable::PrevButtonClick() {
    if (!HasTable()) return;
    int a = m_a;
    int b = m_b;
    if (b > 1) {
        --b;
    } else if (a > 2) {
        --a;
        b = a - 1;
    }
    DisplayTable(a, b);
}

void TEditTable::TabDrawCell(QPainter* canvas, int column, int row, const QRect& rect, int state) const {
    QColor background = PanelColor();
    if (state & Fixed) background = FixedColor();
    else if (row == m_R + 1 || column == m_S + 1) background = TotalsColor();
    if (state & (Selected | Focused)) background = WindowColor();

    canvas->save();
    canvas->setClipRect(rect);
    canvas->fillRect(rect, background);
    canvas->setPen(Qt::black);
    canvas->setFont(Tab->font());
    const QFontMetrics metrics(Tab->font());
    const QString text = CellText(column, row);
    canvas->drawText(rect.x() + rect.width() - metrics.horizontalAdvance(text) - 3, rect.y() + 3 + metrics.ascent(), text);
    if (state & Focused) {
        canvas->setPen(QPen(Qt::black, 1, Qt::DotLine));
        canvas->setBrush(Qt::NoBrush);
        canvas->drawRect(rect.adjusted(0, 0, -1, -1));
    }
    canvas->restore();
}

QString TEditTable::CellText(int column, int row) const { return Tab->CellText(column, row); }

void TEditTable::SetCellText(int column, int row, const QString& text) {
    // The corner stays empty.
    if (column != 0 || row != 0) Tab->SetCellText(column, row, text);
}

void TEditTable::SetCurrentCell(int column, int row) {
    if (column >= 1 && row >= 1 && column <= m_S + 1 && row <= m_R + 1) Tab->setCurrentCell(row - 1, column - 1);
}

void TEditTable::ShowJournalProblem(const QString& problem) {
    StatusLine->setText(problem);
    StatusLine->setVisible(!problem.isEmpty());
}

QString TEditTable::CopyText() const {
    if (!HasTable()) return QString();
    QString text;
    for (int row = 0; row < RowCount(); ++row) {
        QStringList fields;
        for (int column = 0; column < ColumnCount(); ++column) fields << CellText(column, row);
        text += fields.join(u'\t') + u'\n';
    }
    return text;
}

void TEditTable::PasteBlock(const QString& text) {
    if (!HasTable()) return;
    const QModelIndex current = Tab->currentIndex();
    const int firstColumn = current.isValid() ? current.column() + 1 : 1;
    const int firstRow = current.isValid() ? current.row() + 1 : 1;
    CloseCellEditor();

    int refused = 0;
    QString firstRefused;
    std::vector<CellChange> pasted;
    m_pasted = &pasted;
    const std::vector<QStringList> cells = ParsePastedTable(text);
    for (int r = 0; r < static_cast<int>(cells.size()); ++r) {
        for (int c = 0; c < cells[r].size(); ++c) {
            const int row = firstRow + r;
            const int column = firstColumn + c;
            if (row > m_R + 1 || column > m_S + 1) continue;  // beyond the table
            const QString& field = cells[r][c];
            if (row <= m_R && column <= m_S && !field.isEmpty() && !ParseWholeNumber(field.toStdString())) {
                if (refused++ == 0) firstRefused = field;
            }
            TabSetEditText(column, row, field);
        }
    }
    m_pasted = nullptr;
    ++m_typing;
    if (!pasted.empty()) m_undo->push(new CellsCommand(*this, m_a, m_b, std::move(pasted), 0));
    // Short enough for the warning notice; the help page of messages says
    // more.
    if (refused == 1)
        m_warnings.ShowWarning("Not a whole number, set to 0: " + ToName(firstRefused.left(MaxNameLength)).value_or("?"));
    else if (refused > 1)
        m_warnings.ShowWarning("Not whole numbers, set to 0: " + std::to_string(refused) + " cells");
}

bool TEditTable::HandleClipboardKey(QKeyEvent* key) {
    if (key->matches(QKeySequence::Paste)) {
        PasteBlock(QGuiApplication::clipboard()->text());
        return true;
    }
    if (key->matches(QKeySequence::Copy)) {
        if (HasTable()) QGuiApplication::clipboard()->setText(CopyText());
        return true;
    }
    return false;
}

bool TEditTable::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Tab && event->type() == QEvent::KeyPress) return HandleClipboardKey(static_cast<QKeyEvent*>(event));
    return QDialog::eventFilter(watched, event);
}

}  // namespace kelvo::ui
