// The variable editor: the name of one variable and the names of its
// categories, each in a grid cell whose editor is always open.
#pragma once

#include <QDialog>
#include <functional>

#include "table_set.h"
#include "warnings.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace kelvo::ui {

class LiveEditDelegate;

class TEditVariable : public QDialog {
    Q_OBJECT
public:
    TEditVariable(TableSet& ts, WarningSink& warnings, QWidget* parent = nullptr);

    struct Seams {
        // The names have been stored (for the recovery journal).
        std::function<void()> changed;
    };
    Seams seams;

    QLabel* Label2;       // "Variable"
    QLabel* Label1;       // "Categories"
    QTableWidget* tab1;   // one cell: the variable's name
    QTableWidget* Tab2;   // one row per category
    QPushButton* OKButton;

    // The variable the editor works on, set by whoever opens it.
    int EditedVariable = 0;

    // Loads the name and category names of variable EditedVariable.
    void FormActivate();
    // Stores the names (cut to 12 characters) and closes, unless the name is
    // empty (nothing happens) or refused (a warning says why).
    void OKButtonClick();
    // Stores the names as OK does, without closing (Save in the editor).
    // False when nothing was stored: the name is empty, or refused.
    bool StoreNames();

    // The open cell editors: the variable name, and category row `row`.
    QLineEdit* NameEditor() const;
    QLineEdit* CategoryEditor(int row) const;

    // The editor has no way out but OK.
    void reject() override;

private:
    TableSet& m_ts;
    WarningSink& m_warnings;
    LiveEditDelegate* m_nameDelegate;
    LiveEditDelegate* m_categoryDelegate;
    int m_variable = 0;  // the variable loaded by FormActivate, 0 if none
};

}  // namespace kelvo::ui
