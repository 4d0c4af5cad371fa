#include "model_summary.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <vector>

#include "dialog_frame.h"
#include "estimation.h"
#include "names_and_paths.h"
#include "output_sections.h"
#include "painted_grid.h"
#include "window_geometry.h"

namespace kelvo::ui {

namespace {

// The most rows each grid shows, its heading row included; a larger table
// scrolls inside its grid, so that the window keeps its size.
constexpr int FitRows = 6;         // five dependent categories
constexpr int TestsRows = 7;       // six predictors
constexpr int DeviationsRows = 8;  // the average and six categories

}  // namespace

TModelSummary::TModelSummary(TableSet& ts, WarningSink&, QWidget* parent)
    : QDialog(parent, TitleBarWithClose), m_ts(ts) {
    SetUpDialog(this, "ModelSummary", " Model summary");

    FitLabel = Named<QLabel>(this, "FitLabel");
    FitGrid = Named<OutputGrid>(this, "FitGrid");
    FitLabel->setBuddy(FitGrid);
    CategoryLabel = Named<QLabel>(this, "CategoryLabel", "&Dependent category:");
    CategoryBox = Named<QComboBox>(this, "CategoryBox");
    CategoryLabel->setBuddy(CategoryBox);
    TestsLabel = Named<QLabel>(this, "TestsLabel");
    TestsGrid = Named<OutputGrid>(this, "TestsGrid");
    TestsLabel->setBuddy(TestsGrid);
    DeviationsLabel = Named<QLabel>(this, "DeviationsLabel");
    DeviationsGrid = Named<OutputGrid>(this, "DeviationsGrid");
    DeviationsLabel->setBuddy(DeviationsGrid);
    // The titles change with the page; the grids, sized for every page,
    // decide the window's width.
    for (QLabel* title : {FitLabel, TestsLabel, DeviationsLabel})
        title->setSizePolicy(QSizePolicy::Ignored, title->sizePolicy().verticalPolicy());
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
    m_results.reset();
    if (!m_ts.Summary.present || !SelectionProblem(m_ts, m_ts).empty()) return;
    m_results = ResultsOf(m_ts);
    for (int d = 1; d <= m_results->DependentCategories(); ++d)
        CategoryBox->addItem(FromName(m_results->dependent.categories[static_cast<std::size_t>(d)]));
    // Every table that the window can show, so that each grid gets one size
    // for all its pages: choosing a category or paging never moves the
    // buttons.
    std::vector<OutputTable> fit(1), tests, deviations;
    BuildModelFitTable(*m_results, fit.front());
    for (int d = 1; d <= m_results->DependentCategories(); ++d) {
        BuildPredictorTestsTable(*m_results, d, tests.emplace_back());
        for (int t = 1; t <= m_results->PredictorCount(); ++t) BuildDeviationsTable(*m_results, t, d, deviations.emplace_back());
    }
    FitGrid->FitToTables(fit, FitRows);
    TestsGrid->FitToTables(tests, TestsRows);
    DeviationsGrid->FitToTables(deviations, DeviationsRows);
    Show(FitLabel, FitGrid, fit.front());
    ShowCategory(1);
    OKButton->setFocus();
}

void TModelSummary::Show(QLabel* label, OutputGrid* grid, const OutputTable& table) {
    SetGridTitle(label, grid, FromName(table.title));
    grid->ShowTable(table);
}

void TModelSummary::ShowCategory(int d) {
    if (!m_results || d < 1 || d > m_results->DependentCategories()) return;
    m_category = d;
    CategoryBox->setCurrentIndex(d - 1);
    OutputTable table;
    BuildPredictorTestsTable(*m_results, d, table);
    Show(TestsLabel, TestsGrid, table);
    ShowPage(m_page);
}

void TModelSummary::ShowPage(int page) {
    if (!m_results || page < 1 || page > m_results->PredictorCount()) return;
    m_page = page;
    OutputTable table;
    BuildDeviationsTable(*m_results, page, m_category, table);
    Show(DeviationsLabel, DeviationsGrid, table);
}

void TModelSummary::NextButtonClick() {
    if (m_results) ShowPage(std::min(m_page + 1, m_results->PredictorCount()));
}

void TModelSummary::PrevButtonClick() { ShowPage(std::max(m_page - 1, 1)); }

}  // namespace kelvo::ui
