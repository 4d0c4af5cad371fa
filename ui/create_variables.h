// The variable list editor of a new table set: lists the variables and adds,
// changes and deletes them; its OK button leads on to the table editor.
#pragma once

#include <QDialog>
#include <functional>

#include "table_set.h"
#include "warnings.h"

class QLabel;
class QPushButton;
class QTableWidget;

namespace kelvo::ui {

class TEditTable;
class TEditVariable;
class TEnterVariable;

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

    // The windows this one opens, and how each is shown: modally by default
    // (tests replace these). The list is refilled whenever one returns.
    TEnterVariable* EnterVariable = nullptr;
    TEditVariable* EditVariable = nullptr;
    TEditTable* EditTable = nullptr;
    std::function<void()> showEnterVariable;
    std::function<void()> showEditVariable;
    std::function<void()> showEditTable;

    void FormActivate();
    void AddButtonClick();
    void EditButtonClick();
    void DeleteButtonClick();
    // The "OK" button: the table editor, then this dialog closes.
    void CancelButtonClick();

    // The dialog has no way out but its "OK" button.
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void SetListRow(int row, const ShortString& name);
    void Open(const std::function<void()>& show);

    TableSet& m_ts;
    WarningSink& m_warnings;
};

}  // namespace kelvo::ui
