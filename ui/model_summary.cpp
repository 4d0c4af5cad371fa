#include "model_summary.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "dialog_frame.h"
#include "names_and_paths.h"
#include "output_sections.h"
#include "painted_grid.h"
#include "window_geometry.h"

namespace kelvo::ui {

TModelSummary::TModelSummary(TableSet& ts, WarningSink&, QWidget* parent)
    : QDialog(parent, TitleBarWithClose), m_ts(ts) {
    SetUpDialog(this, "ModelSummary", " Model summary");

    FitLabel = Named<QLabel>(this, "FitLabel");
    FitGrid = Named<TableGrid>(this, "FitGrid");
    CategoryLabel = Named<QLabel>(this, "CategoryLabel", "&Dependent category:");
    CategoryBox = Named<QComboBox>(this, "CategoryBox");
    CategoryLabel->setBuddy(CategoryBox);
    TestsLabel = Named<QLabel>(this, "TestsLabel");
    TestsGrid = Named<TableGrid>(this, "TestsGrid");
    DeviationsLabel = Named<QLabel>(this, "DeviationsLabel");
    DeviationsGrid = Named<TableGrid>(this, "DeviationsGrid");
    connect(CategoryBox, &QComboBox::activated, this, [this](int index) { ShowCategory(index + 1); });

    PrevButton = AddButton(this, "PrevButton", "&Previous", PressedByEnter::Never, &TModelSummary::PrevButtonClick);
    NextButton = AddButton(this, "NextButton", "&Next", PressedByEnter::Never, &TModelSummary::NextButtonClick);
    OKButton = AddButton(this, "OKButton", "&OK", PressedByEnter::Never, &QDialog::accept);

    auto* chooser = new QHBoxLayout;
    chooser->addWidget(CategoryLabel);
    chooser->addWidget(CategoryBox);
    chooser->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(FitLabel);
    layout->addWidget(FitGrid);
    layout->addSpacing(8);
    layout->addLayout(chooser);
    layout->addWidget(TestsLabel);
    layout->addWidget(TestsGrid);
    layout->addSpacing(8);
    layout->addWidget(DeviationsLabel);
    layout->addWidget(DeviationsGrid);
    layout->addStretch(1);
    layout->addLayout(PagingButtonRow(PrevButton, NextButton, OKButton));
    layout->setSizeConstraint(QLayout::SetFixedSize);
    SetTabOrder({CategoryBox, PrevButton, NextButton, OKButton});
}

void TModelSummary::showEvent(QShowEvent* event) {
    FormActivate();
    QDialog::showEvent(event);
    CenterOnScreen(this);
}

void TModelSummary::FormActivate() {
    m_page = 1;
    m_category = 1;
    CategoryBox->clear();
    if (!m_ts.Summary.present) return;
    for (int d = 1; d <= m_ts.DependentCategoryCount; ++d)
        CategoryBox->addItem(FromName(m_ts.CategoryNames[m_ts.DependentVariable][d]));
    BuildModelFitTable(m_ts, m_table);
    FitLabel->setText(FromName(m_table.title));
    FitGrid->ShowTable(m_table);
    ShowCategory(1);
    OKButton->setFocus();
}

void TModelSummary::ShowCategory(int d) {
    if (!m_ts.Summary.present || d < 1 || d > m_ts.DependentCategoryCount) return;
    m_category = d;
    CategoryBox->setCurrentIndex(d - 1);
    BuildPredictorTestsTable(m_ts, d, m_table);
    TestsLabel->setText(FromName(m_table.title));
    TestsGrid->ShowTable(m_table);
    ShowPage(m_page);
}

void TModelSummary::ShowPage(int page) {
    if (!m_ts.Summary.present || page < 1 || page > m_ts.PredictorCount) return;
    m_page = page;
    BuildDeviationsTable(m_ts, page, m_category, m_table);
    DeviationsLabel->setText(FromName(m_table.title));
    DeviationsGrid->ShowTable(m_table);
}

void TModelSummary::NextButtonClick() { ShowPage(std::min(m_page + 1, m_ts.PredictorCount)); }

void TModelSummary::PrevButtonClick() { ShowPage(std::max(m_page - 1, 1)); }

}  // namespace kelvo::ui
