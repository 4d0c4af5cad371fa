#include "model_summary.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "output_sections.h"
#include "painted_grid.h"
#include "window_support.h"

namespace kelvo::ui {

TModelSummary::TModelSummary(TableSet& ts, WarningSink&, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      m_ts(ts) {
    setObjectName("ModelSummary");
    setWindowTitle(" Model summary");
    ApplyWindowColors(this);

    const auto label = [this](const char* name) {
        auto* l = new QLabel(this);
        l->setObjectName(name);
        return l;
    };
    const auto grid = [this](const char* name) {
        auto* g = new TableGrid(this);
        g->setObjectName(name);
        return g;
    };
    FitLabel = label("FitLabel");
    FitGrid = grid("FitGrid");
    CategoryLabel = label("CategoryLabel");
    CategoryLabel->setText("&Dependent category:");
    CategoryBox = new QComboBox(this);
    CategoryBox->setObjectName("CategoryBox");
    CategoryLabel->setBuddy(CategoryBox);
    TestsLabel = label("TestsLabel");
    TestsGrid = grid("TestsGrid");
    DeviationsLabel = label("DeviationsLabel");
    DeviationsGrid = grid("DeviationsGrid");
    connect(CategoryBox, &QComboBox::activated, this, [this](int index) { ShowCategory(index + 1); });

    PrevButton = NamedButton(this, "PrevButton", "&Previous");
    NextButton = NamedButton(this, "NextButton", "&Next");
    OKButton = NamedButton(this, "OKButton", "&OK");
    connect(PrevButton, &QPushButton::clicked, this, &TModelSummary::PrevButtonClick);
    connect(NextButton, &QPushButton::clicked, this, &TModelSummary::NextButtonClick);
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);

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
    setTabOrder(CategoryBox, PrevButton);
    setTabOrder(PrevButton, NextButton);
    setTabOrder(NextButton, OKButton);
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
