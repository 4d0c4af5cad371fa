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
#include "names_and_paths.h"
#include "number_format.h"
#include "output_sections.h"
#include "painted_grid.h"
#include "window_geometry.h"

namespace kelvo::ui {

namespace {

constexpr int DefaultColumnWidth = 75;
// The client area as designed; it grows only when the font needs more room.
constexpr int ClientWidth = 727;
constexpr int ClientHeight = 410;

// A cell's text as the grid shows it: names as they are, numbers
// right-aligned in 6 characters.
QString CellText(const kelvo::OutputCell& cell) {
    if (kelvo::IsNumber(cell.role)) return QString::fromStdString(PadLeft(cell.text, 6));
    return FromName(cell.text);
}

}  // namespace

TDisplayResults::TDisplayResults(TableSet& ts, WarningSink&, QWidget* parent)
    : QDialog(parent, TitleBarOnly), m_ts(ts) {
    SetUpDialog(this, "DisplayResults", " Results");

    Label1 = Named<QLabel>(this, "Label1", "Label1");
    Tab = new PaintedGrid(this, [this](QPainter* painter, int column, int row, const QRect& rect) {
        TabDrawCell(painter, column, row, rect);
    });
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
    m_readable = kelvo::ModelSelectionProblem(m_ts) == nullptr;
    m_D = m_readable ? m_ts.CategoryCounts[m_ts.DependentVariable] : 0;
    // The fixed column and the averages come from the first predictor's
    // table; they are the same in every predictor's table.
    if (m_readable) kelvo::BuildPredictorTable(m_ts, 1, kelvo::PredictorValues::EnhancedCoefficients, m_table);
    Tab->SetGridSize(std::max(Tab->GridColumns(), 2), m_D + 1);
    Tab->SetCellText(0, 0, m_D > 0 ? CellText(m_table.At(0, 0)) : QString());
    Tab->SetCellText(1, 0, "Average");
    for (int r = 1; r <= m_D; ++r) {
        Tab->SetCellText(0, r, CellText(m_table.At(0, r)));
        Tab->SetCellText(1, r, CellText(m_table.At(1, r)));
    }
    DisplayTable(m_page);
    OKButton->setFocus();
}

void TDisplayResults::DisplayTable(int page) {
    if (!m_readable || page < 1 || page > m_ts.PredictorCount) {
        Tab->SetGridSize(2, m_D + 1);
        Label1->setText(QString());
        return;
    }
    const int v = m_ts.PredictorList[page];
    kelvo::BuildPredictorTable(m_ts, page, kelvo::PredictorValues::EnhancedCoefficients, m_table);
    m_K = m_table.columns - 2;
    Tab->SetGridSize(m_K + 2, m_D + 1);
    Label1->setText("Coefficients for variable " + FromName(m_ts.VariableNames[v]));
    for (int j = 1; j <= m_K; ++j) Tab->SetCellText(j + 1, 0, CellText(m_table.At(j + 1, 0)));
    for (int r = 1; r <= m_D; ++r)
        for (int j = 1; j <= m_K; ++j) Tab->SetCellText(j + 1, r, CellText(m_table.At(j + 1, r)));
    // Columns start at 75 pixels and widen for a long name or number.
    Tab->FitColumnsToText(DefaultColumnWidth);
    Tab->SetCurrentCell(1, 1);
    Tab->viewport()->update();
    Tab->horizontalHeader()->viewport()->update();
}

void TDisplayResults::NextButtonClick() {
    if (m_page < m_ts.PredictorCount) ++m_page;
    DisplayTable(m_page);
}

void TDisplayResults::PrevButtonClick() {
    if (m_page > 1) --m_page;
    DisplayTable(m_page);
}

void TDisplayResults::ChartButtonClick() {
    if (m_readable && seams.showChart) seams.showChart(m_page);
}

void TDisplayResults::OKButtonClick() {
    accept();
}

QColor TDisplayResults::CellColor(int column, int row) const {
    if (column == 0 || row == 0) return palette().color(QPalette::Button);
    if (column == 1) return LightYellowCell();
    return LightBlueCell();
}

bool TDisplayResults::CellIsBold(int column, int row) const {
    // The significance test of the enhanced table, made on the stored
    // numbers, not on the one-decimal text; the averages are never bold.
    if (column < 2 || column - 2 >= m_K || row < 1 || row > m_D) return false;
    return m_table.At(column, row).role == kelvo::CellRole::SignificantPercent;
}

void TDisplayResults::TabDrawCell(QPainter* canvas, int column, int row, const QRect& rect) const {
    canvas->fillRect(rect, CellColor(column, row));
    QFont font = canvas->font();
    font.setBold(CellIsBold(column, row));
    canvas->setFont(font);
    DrawCellText(canvas, rect, Tab->CellText(column, row), column != 0);
    font.setBold(false);
    canvas->setFont(font);
}

}  // namespace kelvo::ui
