// The variable chooser: lists the variables and opens the variable editor
// for the selected one.
#pragma once

#include <QDialog>
#include <functional>

#include "table_set.h"
#include "warnings.h"

class QLabel;
class QPushButton;
class QTableWidget;
class QUndoStack;

namespace kelvo::ui {

class TEditVariables : public QDialog {
    Q_OBJECT
public:
    TEditVariables(TableSet& ts, WarningSink& warnings, QWidget* parent = nullptr);

    QLabel* Label1;
    QTableWidget* Tab;          // row i shows variable i + 1
    QPushButton* SelectButton;  // "Edit"
    QPushButton* CancelButton;  // "OK"

    // How this window reaches the variable editor (wired by AppWindows,
    // replaced in tests); the list is refilled whenever it returns.
    struct Seams {
        std::function<void(int variable)> showEditVariable;  // the variable editor, on `variable`
        std::function<void()> changed;                       // an edit was undone or redone
    };
    Seams seams;

    void FormActivate();
    void SelectButtonClick();
    void CancelButtonClick();

    // Every Edit since the window opened (all that the variable editor
    // stored), for Undo (Ctrl+Z) and Redo (Ctrl+Shift+Z, Ctrl+Y).
    QUndoStack* UndoStack() const { return m_undo; }

private:
    TableSet& m_ts;
    QUndoStack* m_undo;
};

}  // namespace kelvo::ui
