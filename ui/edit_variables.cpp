#include "edit_variables.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>

#include "grid_cells.h"
#include "window_support.h"

namespace kelvo::ui {

TEditVariables::TEditVariables(TableSet& ts, WarningSink&, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint), m_ts(ts) {
    setObjectName("EditVariables");
    setWindowTitle("Select variable");
    ApplyWindowColors(this);

    Label1 = new QLabel("Variables", this);
    Label1->setObjectName("Label1");
    Tab = new QTableWidget(this);
    Tab->setObjectName("Tab");
    SetUpColumnGrid(Tab, 1);
    Tab->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Tab->setSelectionMode(QAbstractItemView::SingleSelection);
    Tab->setFixedSize(160, MaxVariables * GridRowHeight(Tab) + 2 * Tab->frameWidth());
    Label1->setBuddy(Tab);

    SelectButton = new QPushButton("&Edit", this);
    SelectButton->setObjectName("SelectButton");
    connect(SelectButton, &QPushButton::clicked, this, &TEditVariables::SelectButtonClick);
    CancelButton = new QPushButton("&OK", this);
    CancelButton->setObjectName("CancelButton");
    connect(CancelButton, &QPushButton::clicked, this, &TEditVariables::CancelButtonClick);
    // Double-clicking a variable edits it, as its Edit button does.
    connect(Tab, &QTableWidget::cellDoubleClicked, this, [this] { SelectButtonClick(); });

    auto* layout = new QGridLayout(this);
    layout->addWidget(Label1, 0, 0);
    layout->addWidget(Tab, 1, 0, 3, 1);
    layout->addWidget(SelectButton, 1, 1, Qt::AlignTop);
    layout->addWidget(CancelButton, 3, 1, Qt::AlignBottom);
    layout->setColumnMinimumWidth(1, 80);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TEditVariables::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    CenterOnScreen(this);
    FormActivate();
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
    if (seams.showEditVariable) seams.showEditVariable(v);
    FormActivate();
}

void TEditVariables::CancelButtonClick() { accept(); }

}  // namespace kelvo::ui
