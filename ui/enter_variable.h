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

    // The name as stored in the table set, and the category count (2..16).
    std::string EnteredName() const;
    int EnteredCategoryCount() const;

    // The dialog has no way out but OK: Escape and the window's close
    // request do nothing.
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    TableSet& m_ts;
    WarningSink& m_warnings;
};

}  // namespace kelvo::ui
