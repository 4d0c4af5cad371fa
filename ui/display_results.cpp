#include "display_results.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>
#include <algorithm>

#include "dialog_frame.h"
#include "estimation.h"
#include "names_and_paths.h"
#include "output_sections.h"
#include "painted_grid.h"
#include "window_geometry.h"

namespace kelvo::ui {

namespace {

constexpr int DefaultColumnWidth = 75;
// The client area as designed; it grows only when the font needs more room.
constexpr int ClientWidth = 727;
constexpr int ClientHeight = 410;

}  // namespace

TDisplayResults::TDisplayResults(TableSet& ts, WarningSink&, QWidget* parent)
    : QDialog(parent, TitleBarOnly), m_ts(ts) {
    SetUpDialog(this, "DisplayResults", " Results");

    Label1 = Named<QLabel>(this, "Label1", "Label1");
    // Every value right-justified in a field of 6 characters.
    Tab = new OutputGrid(this, 6);
    Tab->horizontalHeader()->setDefaultSectionSize(DefaultColumnWidth);
    Tab->SetColumnWidth(0, DefaultColumnWidth);
    Tab->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    Tab->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Room for the largest grid: a dependent variable of 16 categories and
    // the header row, above the horizontal scroll bar.
    Tab->setFixedHeight((MaxCategories + 1) * Tab->RowHeight() + 2 * Tab->frameWidth() +
                        Tab->style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 2);
    Label1->setBuddy(Tab);

    OKButton = AddButton(this, "OKButton", "&OK", PressedByEnter::Never, &TDisplayResults::OKButtonClick);
    NextButton = AddButton(this, "NextButton", "&Next", PressedByEnter::Never, &TDisplayResults::NextButtonClick);
    PrevButton = AddButton(this, "PrevButton", "&Previous", PressedByEnter::Never, &TDisplayResults::PrevButtonClick);
    ChartButton =
        AddButton(this, "ChartButton", "&Chart...", PressedByEnter::Never, &TDisplayResults::ChartButtonClick);

    auto* buttons = PagingButtonRow(PrevButton, NextButton, OKButton);
    buttons->insertWidget(0, ChartButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addWidget(Tab);
    layout->addStretch(1);
    layout->addLayout(buttons);
    SetTabOrder({Tab, PrevButton, NextButton, OKButton, ChartButton});
    FixClientSize(this, {ClientWidth, ClientHeight});
}

void TDisplayResults::showEvent(QShowEvent* event) {
    FormActivate();
    QDialog::showEvent(event);
    CenterOnScreen(this);
}

void TDisplayResults::FormActivate() {
    m_page = 1;
    m_results.reset();
    if (kelvo::SelectionProblem(m_ts, m_ts).empty()) m_results = kelvo::ResultsOf(m_ts);
    DisplayTable(m_page);
    OKButton->setFocus();
}

void TDisplayResults::DisplayTable(int page) {
    if (!m_results || page < 1 || page > m_results->PredictorCount()) {
        Tab->ShowTable({});
        Tab->SetGridSize(2, m_results ? m_results->DependentCategories() + 1 : 1);
        SetGridTitle(Label1, Tab, QString());
        return;
    }
    kelvo::OutputTable table;
    kelvo::BuildPredictorTable(*m_results, page, kelvo::PredictorValues::EnhancedCoefficients, table);
    Tab->ShowTable(table);
    SetGridTitle(Label1, Tab, "Coefficients for variable " + FromName(m_results->Predictor(page).name));
    // Columns start at 75 pixels and widen for a long name or number.
    Tab->FitColumnsToText(DefaultColumnWidth);
    Tab->SetCurrentCell(1, 1);
}

void TDisplayResults::NextButtonClick() {
    if (m_results && m_page < m_results->PredictorCount()) ++m_page;
    DisplayTable(m_page);
}

void TDisplayResults::PrevButtonClick() {
    if (m_page > 1) --m_page;
    DisplayTable(m_page);
}

void TDisplayResults::ChartButtonClick() {
    if (m_results && seams.showChart) seams.showChart(m_page);
}

void TDisplayResults::OKButtonClick() {
    accept();
}

QColor TDisplayResults::CellColor(int column, int row) const { return Tab->CellColor(column, row); }

bool TDisplayResults::CellIsBold(int column, int row) const { return Tab->CellIsBold(column, row); }

void TDisplayResults::TabDrawCell(QPainter* canvas, int column, int row, const QRect& rect) const {
    Tab->DrawCell(canvas, column, row, rect);
}

}  // namespace kelvo::ui
