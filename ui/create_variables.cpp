#include "create_variables.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QUndoStack>

#include "dialog_frame.h"
#include "grid_cells.h"
#include "names_and_paths.h"
#include "table_set_edit.h"
#include "table_set_undo.h"

namespace kelvo::ui {

TCreateVariables::TCreateVariables(TableSet& ts, WarningSink& warnings, QWidget* parent)
    : QDialog(parent, TitleBarOnly), m_ts(ts), m_warnings(warnings) {
    SetUpDialog(this, "CreateVariables", " Create variables");

    Label1 = Named<QLabel>(this, "Label1", "Variables");
    Tab = VariableListGrid(this, "Tab", MaxVariables);
    for (int row = 0; row < MaxVariables; ++row) Tab->setItem(row, 0, new QTableWidgetItem);
    Tab->setCurrentCell(0, 0);
    Label1->setBuddy(Tab);
    Tab->setAccessibleName(Label1->text());

    // Enter in the list presses no button.
    const auto button = [this](const char* name, const QString& caption, void (TCreateVariables::*click)()) {
        return kelvo::ui::AddButton(this, name, caption, PressedByEnter::Never, click);
    };
    AddButton = button("AddButton", "&Add", &TCreateVariables::AddButtonClick);
    EditButton = button("EditButton", "&Edit", &TCreateVariables::EditButtonClick);
    DeleteButton = button("DeleteButton", "&Delete", &TCreateVariables::DeleteButtonClick);
    CancelButton = button("CancelButton", "&OK", &TCreateVariables::CancelButtonClick);

    auto* layout = new QGridLayout(this);
    layout->addWidget(Label1, 0, 0);
    layout->addWidget(Tab, 1, 0, 5, 1);
    layout->addWidget(AddButton, 1, 1);
    layout->addWidget(EditButton, 2, 1);
    layout->addWidget(DeleteButton, 3, 1);
    layout->setRowStretch(4, 1);
    layout->addWidget(CancelButton, 5, 1, Qt::AlignBottom);
    layout->setColumnMinimumWidth(1, 80);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    SetTabOrder({Tab, AddButton, EditButton, DeleteButton, CancelButton});
    m_undo = new QUndoStack(this);
    AddUndoShortcuts(this, m_undo);
    CenterOnEveryShowing(this, [this] {
        m_undo->clear();
        FormActivate();
    });
}

void TCreateVariables::RecordStep(const QString& text, std::unique_ptr<const InputSide> before) {
    PushIfChanged(m_undo, text, m_ts, std::move(before), [this] {
        FormActivate();
        if (seams.changed) seams.changed();
    });
}

void TCreateVariables::SetListRow(int row, const ShortString& name) {
    if (row >= 0 && row < Tab->rowCount()) Tab->item(row, 0)->setText(FromName(name));
}

void TCreateVariables::FormActivate() {
    const int count = std::clamp(m_ts.VariableCount, 0, MaxVariables);
    for (int row = 0; row < MaxVariables; ++row) SetListRow(row, row < count ? m_ts.VariableNames[row + 1] : ShortString());
}

// Shows another window modally; returning to this one refills the list, as
// every activation does.
void TCreateVariables::Open(const std::function<void()>& show) {
    if (show) show();
    FormActivate();
}

void TCreateVariables::AddButtonClick() {
    if (m_ts.VariableCount >= MaxVariables) {
        m_warnings.ShowWarning("A table set holds at most 16 variables");
        return;
    }
    if (!seams.askVariable) return;
    auto before = ContentOf(m_ts);
    const VariableEntry entry = seams.askVariable({std::string(), 2}, 0);
    FormActivate();
    const int v = kelvo::AddVariable(m_ts, entry.name, entry.categories);
    if (v == 0) return;
    if (seams.changed) seams.changed();
    SetListRow(v - 1, m_ts.VariableNames[v]);

    Open([this, v] {
        if (seams.showEditVariable) seams.showEditVariable(v);
    });
    SetListRow(v - 1, m_ts.VariableNames[v]);
    Tab->setCurrentCell(v - 1, 0);
    RecordStep("Add", std::move(before));
}

void TCreateVariables::EditButtonClick() {
    const int sel = Tab->currentRow() + 1;
    if (sel < 1 || sel > m_ts.VariableCount || !seams.askVariable) return;
    auto before = ContentOf(m_ts);
    const VariableEntry entry = seams.askVariable({m_ts.VariableNames[sel].str(), m_ts.CategoryCounts[sel]}, sel);
    FormActivate();
    kelvo::ChangeVariable(m_ts, sel, entry.name, entry.categories);
    if (seams.changed) seams.changed();
    SetListRow(sel - 1, m_ts.VariableNames[sel]);

    Open([this, sel] {
        if (seams.showEditVariable) seams.showEditVariable(sel);
    });
    RecordStep("Edit", std::move(before));
}

void TCreateVariables::DeleteButtonClick() {
    int sel = Tab->currentRow() + 1;
    auto before = ContentOf(m_ts);
    if (!kelvo::DeleteVariable(m_ts, sel)) return;
    if (seams.changed) seams.changed();
    FormActivate();
    if (sel > m_ts.VariableCount) sel = m_ts.VariableCount;
    Tab->setCurrentCell(sel - 1, 0);
    RecordStep("Delete", std::move(before));
}

void TCreateVariables::CancelButtonClick() {
    Open(seams.showEditTable);
    accept();
}

void TCreateVariables::reject() {}

}  // namespace kelvo::ui
