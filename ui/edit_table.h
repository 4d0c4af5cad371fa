// The table editor: one pair table at a time, with row, column and grand
// totals that follow every keystroke.
#pragma once

#include <QDialog>
#include <array>
#include <cstdint>
#include <functional>
#include <vector>

#include "painted_grid.h"
#include "table_set.h"
#include "warnings.h"

class QLabel;
class QPainter;
class QPushButton;
class QUndoStack;

namespace kelvo::ui {

class LiveEditDelegate;

class TEditTable : public QDialog {
    Q_OBJECT
public:
    TEditTable(TableSet& ts, WarningSink& warnings, QWidget* parent = nullptr);

    struct Seams {
        // A cell of the table set has been stored (for the recovery journal).
        std::function<void()> changed;
    };
    Seams seams;

    QLabel* Label1;      // "Table k: NAME_a by NAME_b"
    PaintedGrid* Tab;    // the grid; its headers are the fixed row and column
    QPushButton* OKButton;
    QPushButton* NextButton;
    QPushButton* PrevButton;
    // Below the grid, shown only while recovery journals cannot be written.
    QLabel* StatusLine;

    // How a cell is painted.
    enum CellState { Fixed = 1, Selected = 2, Focused = 4 };

    // Shows table 1 (or, with fewer than two variables, says that there is
    // no table and offers no cells).
    void FormActivate();
    // Shows the table of row variable a and column variable b (a > b).
    void DisplayTable(int a, int b);
    // The text of cell (column, row) changed while the user edits it.
    void TabSetEditText(int column, int row, const QString& text);
    // Stores the edited cell and moves the totals, or shows a total again.
    void AdjustTotals(int row, int column);
    void SaveTable();
    void OKButtonClick();
    void NextButtonClick();
    void PrevButtonClick();
    // Paints cell (column, row); `state` combines CellState flags.
    void TabDrawCell(QPainter* canvas, int column, int row, const QRect& rect, int state) const;

    // Ctrl+V: pastes a block of numbers at the current cell, each cell as if
    // typed. Ctrl+C: the table on screen with headers and totals as
    // tab-separated text.
    void PasteBlock(const QString& text);
    QString CopyText() const;

    // The grid as the user sees it, in grid coordinates: (0, 0) is the empty
    // corner, row 0 the column headers, column 0 the row headers.
    QString CellText(int column, int row) const;
    int RowCount() const { return m_R + 2; }
    int ColumnCount() const { return m_S + 2; }
    bool HasTable() const { return m_a != 0; }
    int RowVariable() const { return m_a; }
    int ColumnVariable() const { return m_b; }
    int TableNumber() const { return m_k; }
    // Moves the current cell (grid coordinates, data or totals cells).
    void SetCurrentCell(int column, int row);

    // Shows why recovery journals cannot be written, or, with an empty
    // text, that they can again. It never takes the keyboard.
    void ShowJournalProblem(const QString& problem);

    // The changes since the window opened, for Undo (Ctrl+Z) and Redo
    // (Ctrl+Shift+Z, Ctrl+Y): a number typed into a cell is one step, a
    // paste is one.
    QUndoStack* UndoStack() const { return m_undo; }
    // A cell of the table shown, with its value before and after a change.
    struct CellChange {
        int row;
        int column;
        std::int32_t before;
        std::int32_t after;
    };
    // Gives `cells` of the table of row variable a and column variable b
    // their values before (or after) their change, and shows that table.
    void RestoreCells(int a, int b, const std::vector<CellChange>& cells, bool after);

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void SetCellText(int column, int row, const QString& text);
    void ShowTotals();
    void ClearGrid();
    void CloseCellEditor();
    bool HandleClipboardKey(QKeyEvent* key);
    // A stored cell changed from `before` to `after`: a step to undo, or a
    // part of the paste under way.
    void RecordChange(int row, int column, std::int32_t before, std::int32_t after);

    TableSet& m_ts;
    WarningSink& m_warnings;
    LiveEditDelegate* m_delegate;
    int m_a = 0;  // row variable, 0 while there is no table
    int m_b = 0;  // column variable
    int m_R = 0;  // data rows
    int m_S = 0;  // data columns
    int m_k = 0;  // table number
    // The totals on screen, kept up to date cell by cell as the user types.
    PairTableTotals m_totals;
    QUndoStack* m_undo;
    // Counts the cell editors opened: the keystrokes in one are one step.
    int m_typing = 1;
    // While a block is pasted: its changes, one step together.
    std::vector<CellChange>* m_pasted = nullptr;
};

}  // namespace kelvo::ui
