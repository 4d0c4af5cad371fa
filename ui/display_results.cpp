#include "display_results.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>
#include <algorithm>

#include "estimation.h"
#include "number_format.h"
#include "painted_grid.h"
#include "significance.h"
#include "window_support.h"

namespace kelvo::ui {

namespace {

constexpr int DefaultColumnWidth = 75;
// The client area as designed; it grows only when the font needs more room.
constexpr int ClientWidth = 727;
constexpr int ClientHeight = 410;

QString PercentText(double proportion) {
    return QString::fromStdString(FormatPercent(100.0 * proportion));
}

}  // namespace

TDisplayResults::TDisplayResults(TableSet& ts, WarningSink&, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint), m_ts(ts) {
    setObjectName("DisplayResults");
    setWindowTitle(" Results");
    ApplyWindowColors(this);

    Label1 = new QLabel("Label1", this);
    Label1->setObjectName("Label1");
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

    OKButton = NamedButton(this, "OKButton", "&OK");
    NextButton = NamedButton(this, "NextButton", "&Next");
    PrevButton = NamedButton(this, "PrevButton", "&Previous");
    connect(OKButton, &QPushButton::clicked, this, &TDisplayResults::OKButtonClick);
    connect(NextButton, &QPushButton::clicked, this, &TDisplayResults::NextButtonClick);
    connect(PrevButton, &QPushButton::clicked, this, &TDisplayResults::PrevButtonClick);

    auto* buttons = PagingButtonRow(PrevButton, NextButton, OKButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addWidget(Tab);
    layout->addStretch(1);
    layout->addLayout(buttons);
    setTabOrder(Tab, PrevButton);
    setTabOrder(PrevButton, NextButton);
    setTabOrder(NextButton, OKButton);
    setFixedSize(QSize(ClientWidth, ClientHeight).expandedTo(sizeHint()));
}

void TDisplayResults::showEvent(QShowEvent* event) {
    FormActivate();
    QDialog::showEvent(event);
    CenterOnScreen(this);
}

void TDisplayResults::FormActivate() {
    m_page = 1;
    const int dependent = m_ts.DependentVariable;
    m_D =
        dependent >= 1 && dependent <= MaxVariables ? std::min<int>(m_ts.CategoryCounts[dependent], MaxCategories) : 0;
    Tab->SetGridSize(std::max(Tab->GridColumns(), 2), m_D + 1);
    Tab->SetCellText(0, 0, m_D > 0 ? FromName(m_ts.VariableNames[dependent]) : QString());
    Tab->SetCellText(1, 0, "Average");
    for (int r = 1; r <= m_D; ++r) {
        Tab->SetCellText(0, r, FromName(m_ts.CategoryNames[dependent][r]));
        Tab->SetCellText(1, r, PercentText(m_ts.Coefficients[1][r]));
    }
    DisplayTable(m_page);
    OKButton->setFocus();
}

void TDisplayResults::DisplayTable(int page) {
    if (page < 1 || page > std::min(m_ts.PredictorCount, MaxVariables - 1)) {
        Tab->SetGridSize(2, m_D + 1);
        Label1->setText(QString());
        return;
    }
    const int v = m_ts.PredictorList[page];
    if (v < 1 || v > MaxVariables) return;
    m_K = std::min<int>(m_ts.CategoryCounts[v], MaxCategories);
    Tab->SetGridSize(m_K + 2, m_D + 1);
    Label1->setText("Coefficients for variable " + FromName(m_ts.VariableNames[v]));
    for (int j = 1; j <= m_K; ++j) Tab->SetCellText(j + 1, 0, FromName(m_ts.CategoryNames[v][j]));
    m_base = kelvo::BlockStart(m_ts, page);
    for (int r = 1; r <= m_D; ++r)
        for (int j = 1; j <= m_K; ++j)
            Tab->SetCellText(j + 1, r, PercentText(m_ts.Coefficients[std::min(m_base + j, MaxParameters)][r]));
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

void TDisplayResults::OKButtonClick() {
    accept();
}

QColor TDisplayResults::CellColor(int column, int row) const {
    if (column == 0 || row == 0) return palette().color(QPalette::Button);
    if (column == 1) return LightYellowCell();
    return LightBlueCell();
}

bool TDisplayResults::CellIsBold(int column, int row) const {
    if (column < 2 || row < 1 || row > MaxCategories) return false;
    const int parameter = ParameterOfColumn(column);
    if (parameter < 1 || parameter > MaxParameters) return false;
    // The test works on the stored numbers, not on the one-decimal text.
    return kelvo::IsSignificant(m_ts.Coefficients[parameter][row], m_ts.StandardErrors[parameter][row]);
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
