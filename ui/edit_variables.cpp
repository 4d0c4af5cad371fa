#include "edit_variables.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QUndoStack>

#include "dialog_frame.h"
#include "grid_cells.h"
#include "names_and_paths.h"
#include "table_set_undo.h"

namespace kelvo::ui {

TEditVariables::TEditVariables(TableSet& ts, WarningSink&, QWidget* parent) : QDialog(parent, TitleBarOnly), m_ts(ts) {
    SetUpDialog(this, "EditVariables", "Select variable");

    Label1 = Named<QLabel>(this, "Label1", "Variables");
    Tab = VariableListGrid(this, "Tab", 1);
    Label1->setBuddy(Tab);
    Tab->setAccessibleName(Label1->text());

    SelectButton =
        AddButton(this, "SelectButton", "&Edit", PressedByEnter::AutoDefault, &TEditVariables::SelectButtonClick);
    CancelButton =
        AddButton(this, "CancelButton", "&OK", PressedByEnter::AutoDefault, &TEditVariables::CancelButtonClick);
    // Double-clicking a variable edits it, as its Edit button does.
    connect(Tab, &QTableWidget::cellDoubleClicked, this, [this] { SelectButtonClick(); });

    auto* layout = new QGridLayout(this);
    layout->addWidget(Label1, 0, 0);
    layout->addWidget(Tab, 1, 0, 3, 1);
    layout->addWidget(SelectButton, 1, 1, Qt::AlignTop);
    layout->addWidget(CancelButton, 3, 1, Qt::AlignBottom);
    layout->setColumnMinimumWidth(1, 80);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    m_undo = new QUndoStack(this);
    AddUndoShortcuts(this, m_undo);
    CenterOnEveryShowing(this, [this] {
        m_undo->clear();
        FormActivate();
    });
}

void TEditVariables::FormActivate() {
    const int count = std::clamp(m_ts.VariableCount, 0, MaxVariables);
    Tab->setRowCount(std::max(1, count));
    for (int row = 0; row < Tab->rowCount(); ++row) {
        QTableWidgetItem* item = Tab->item(row, 0);
        if (item == nullptr) {
            item = new QTableWidgetItem;
            Tab->setItem(row, 0, item);
        }
        // With no variables the one row stays empty rather than showing a
        // name of an earlier table set.
        item->setText(row < count ? FromName(m_ts.VariableNames[row + 1]) : QString());
    }
    if (Tab->currentRow() < 0) Tab->setCurrentCell(0, 0);
}

void TEditVariables::SelectButtonClick() {
    const int v = Tab->currentRow() + 1;
    if (v < 1 || v > m_ts.VariableCount) return;
    auto before = ContentOf(m_ts);
    if (seams.showEditVariable) seams.showEditVariable(v);
    FormActivate();
    PushIfChanged(m_undo, "Edit", m_ts, std::move(before), [this] {
        FormActivate();
        if (seams.changed) seams.changed();
    });
}

void TEditVariables::CancelButtonClick() { accept(); }

}  // namespace kelvo::ui
