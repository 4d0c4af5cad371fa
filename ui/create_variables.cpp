#include "create_variables.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>

#include "clamping_spin_box.h"
#include "edit_table.h"
#include "edit_variable.h"
#include "enter_variable.h"
#include "grid_cells.h"
#include "window_support.h"

namespace kelvo::ui {

TCreateVariables::TCreateVariables(TableSet& ts, WarningSink& warnings, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint), m_ts(ts), m_warnings(warnings) {
    setObjectName("CreateVariables");
    setWindowTitle(" Create variables");
    ApplyWindowColors(this);

    Label1 = new QLabel("Variables", this);
    Label1->setObjectName("Label1");
    Tab = new QTableWidget(this);
    Tab->setObjectName("Tab");
    SetUpColumnGrid(Tab, MaxVariables);
    Tab->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Tab->setSelectionMode(QAbstractItemView::SingleSelection);
    Tab->setFixedSize(160, MaxVariables * GridRowHeight(Tab) + 2 * Tab->frameWidth());
    for (int row = 0; row < MaxVariables; ++row) Tab->setItem(row, 0, new QTableWidgetItem);
    Tab->setCurrentCell(0, 0);
    Label1->setBuddy(Tab);

    AddButton = new QPushButton("&Add", this);
    AddButton->setObjectName("AddButton");
    connect(AddButton, &QPushButton::clicked, this, &TCreateVariables::AddButtonClick);
    EditButton = new QPushButton("&Edit", this);
    EditButton->setObjectName("EditButton");
    connect(EditButton, &QPushButton::clicked, this, &TCreateVariables::EditButtonClick);
    DeleteButton = new QPushButton("&Delete", this);
    DeleteButton->setObjectName("DeleteButton");
    connect(DeleteButton, &QPushButton::clicked, this, &TCreateVariables::DeleteButtonClick);
    CancelButton = new QPushButton("&OK", this);
    CancelButton->setObjectName("CancelButton");
    connect(CancelButton, &QPushButton::clicked, this, &TCreateVariables::CancelButtonClick);
    for (QPushButton* button : {AddButton, EditButton, DeleteButton, CancelButton}) button->setAutoDefault(false);

    showEnterVariable = [this] {
        if (EnterVariable != nullptr) EnterVariable->exec();
    };
    showEditVariable = [this] {
        if (EditVariable != nullptr) EditVariable->exec();
    };
    showEditTable = [this] {
        if (EditTable != nullptr) EditTable->exec();
    };

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
    setTabOrder(Tab, AddButton);
    setTabOrder(AddButton, EditButton);
    setTabOrder(EditButton, DeleteButton);
    setTabOrder(DeleteButton, CancelButton);
}

void TCreateVariables::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    FormActivate();
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
    if (EnterVariable == nullptr) return;
    EnterVariable->Edit1->clear();
    EnterVariable->SpinEdit1->setValue(2);
    EnterVariable->ReplacedVariable = 0;
    Open(showEnterVariable);

    const int v = ++m_ts.VariableCount;
    m_ts.VariableNames[v] = EnterVariable->EnteredName();
    m_ts.CategoryCounts[v] = static_cast<std::uint8_t>(EnterVariable->EnteredCategoryCount());
    SetListRow(v - 1, m_ts.VariableNames[v]);

    m_ts.EditedVariable = v;
    Open(showEditVariable);
    SetListRow(v - 1, m_ts.VariableNames[v]);
    Tab->setCurrentCell(v - 1, 0);
}

void TCreateVariables::EditButtonClick() {
    const int sel = Tab->currentRow() + 1;
    if (sel < 1 || sel > m_ts.VariableCount || EnterVariable == nullptr) return;
    EnterVariable->Edit1->setText(FromName(m_ts.VariableNames[sel]));
    EnterVariable->SpinEdit1->setValue(m_ts.CategoryCounts[sel]);
    EnterVariable->ReplacedVariable = sel;
    Open(showEnterVariable);

    m_ts.VariableNames[sel] = EnterVariable->EnteredName();
    m_ts.CategoryCounts[sel] = static_cast<std::uint8_t>(EnterVariable->EnteredCategoryCount());
    SetListRow(sel - 1, m_ts.VariableNames[sel]);

    m_ts.EditedVariable = sel;
    Open(showEditVariable);
}

void TCreateVariables::DeleteButtonClick() {
    int sel = Tab->currentRow() + 1;
    if (sel < 1 || sel > m_ts.VariableCount || m_ts.VariableCount <= 2) return;
    for (int i = sel + 1; i <= m_ts.VariableCount; ++i) {
        m_ts.VariableNames[i - 1] = m_ts.VariableNames[i];
        m_ts.CategoryCounts[i - 1] = m_ts.CategoryCounts[i];
        for (int j = 1; j <= m_ts.CategoryCounts[i] && j <= MaxCategories; ++j)
            m_ts.CategoryNames[i - 1][j] = m_ts.CategoryNames[i][j];
    }
    --m_ts.VariableCount;
    FormActivate();
    if (sel > m_ts.VariableCount) sel = m_ts.VariableCount;
    Tab->setCurrentCell(sel - 1, 0);
}

void TCreateVariables::CancelButtonClick() {
    Open(showEditTable);
    accept();
}

void TCreateVariables::reject() {}

}  // namespace kelvo::ui
