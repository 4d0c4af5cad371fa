// The new-variable entry: the name and the number of categories of a
// variable, asked for by the variable list editor.
#pragma once

#include <QDialog>
#include <string>

#include "table_set.h"
#include "warnings.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace kelvo::ui {

class ClampingSpinBox;

// What the new-variable entry asks for.
struct VariableEntry {
    std::string name;    // as stored: Latin-1, at most 12 characters
    int categories = 2;  // 2..16
};

class TEnterVariable : public QDialog {
    Q_OBJECT
public:
    TEnterVariable(TableSet& ts, WarningSink& warnings, QWidget* parent = nullptr);

    QLabel* Label1;
    QLabel* Label2;
    QLineEdit* Edit1;              // the name, at most 12 characters
    ClampingSpinBox* SpinEdit1;    // the number of categories, 2..16
    QPushButton* OKButton;

    // The variable whose name and count are being changed, 0 while a new one
    // is entered: the names of all other variables are refused.
    int ReplacedVariable = 0;

    void FormActivate();
    // Closes the dialog when Edit1 holds an acceptable name; an empty name
    // does nothing, a refused one is explained by a warning.
    void OKButtonClick();

    // Fills the fields with `proposal` for changing variable `replaced` (0
    // for a new variable).
    void Propose(const VariableEntry& proposal, int replaced);
    // What the fields hold: the name as stored and the category count.
    VariableEntry Entered() const;
    // Propose, then shows the dialog modally until OK, and hands back what
    // the user entered.
    VariableEntry Ask(const VariableEntry& proposal, int replaced);

    // The dialog has no way out but OK: Escape and the window's close
    // request do nothing.
    void reject() override;

private:
    TableSet& m_ts;
    WarningSink& m_warnings;
};

}  // namespace kelvo::ui
