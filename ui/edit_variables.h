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

namespace kelvo::ui {

class TEditVariable;

class TEditVariables : public QDialog {
    Q_OBJECT
public:
    TEditVariables(TableSet& ts, WarningSink& warnings, QWidget* parent = nullptr);

    QLabel* Label1;
    QTableWidget* Tab;          // row i shows variable i + 1
    QPushButton* SelectButton;  // "Edit"
    QPushButton* CancelButton;  // "OK"

    // The variable editor, and how it is shown (modally by default; tests
    // replace this). The list is refilled whenever it returns.
    TEditVariable* EditVariable = nullptr;
    std::function<void()> showEditVariable;

    void FormActivate();
    void SelectButtonClick();
    void CancelButtonClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    TableSet& m_ts;
};

}  // namespace kelvo::ui
