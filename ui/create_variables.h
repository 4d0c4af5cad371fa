// The variable list editor of a new table set: lists the variables and adds,
// changes and deletes them; its OK button leads on to the table editor.
#pragma once

#include <QDialog>
#include <functional>
#include <memory>

#include "enter_variable.h"
#include "table_set.h"
#include "warnings.h"

class QLabel;
class QPushButton;
class QTableWidget;
class QUndoStack;

namespace kelvo::ui {

class TCreateVariables : public QDialog {
    Q_OBJECT
public:
    TCreateVariables(TableSet& ts, WarningSink& warnings, QWidget* parent = nullptr);

    QLabel* Label1;
    QTableWidget* Tab;  // 16 rows; row i shows variable i + 1
    QPushButton* EditButton;
    QPushButton* DeleteButton;
    QPushButton* AddButton;
    QPushButton* CancelButton;  // "OK"

    // How this window reaches the windows it opens (wired by AppWindows,
    // replaced in tests). The list is refilled whenever one returns; an empty
    // function does nothing.
    struct Seams {
        // The new-variable entry, starting from `proposal`, for changing
        // variable `replaced` (0 for a new one); hands back what was entered.
        std::function<VariableEntry(const VariableEntry& proposal, int replaced)> askVariable;
        std::function<void(int variable)> showEditVariable;  // the variable editor, on `variable`
        std::function<void()> showEditTable;     // the table editor
        std::function<void()> changed;           // a variable was added, changed or deleted
    };
    Seams seams;

    void FormActivate();
    void AddButtonClick();
    void EditButtonClick();
    void DeleteButtonClick();
    // The "OK" button: the table editor, then this dialog closes.
    void CancelButtonClick();

    // The dialog has no way out but its "OK" button.
    void reject() override;

    // Add, Edit and Delete since the window opened, each with what it
    // brought (the names of the variable editor, a deleted variable's
    // tables), for Undo (Ctrl+Z) and Redo (Ctrl+Shift+Z, Ctrl+Y).
    QUndoStack* UndoStack() const { return m_undo; }

private:
    void SetListRow(int row, const ShortString& name);
    void Open(const std::function<void()>& show);
    // A step of `text` when the table set no longer holds `before`.
    void RecordStep(const QString& text, std::unique_ptr<const InputSide> before);

    TableSet& m_ts;
    WarningSink& m_warnings;
    QUndoStack* m_undo;
};

}  // namespace kelvo::ui
