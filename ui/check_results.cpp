#include "check_results.h"

#include <QFontMetrics>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QStringList>
#include <QVBoxLayout>
#include <algorithm>

#include "dialog_frame.h"
#include "estimation.h"
#include "names_and_paths.h"
#include "number_format.h"
#include "output_sections.h"
#include "painted_grid.h"
#include "window_geometry.h"

namespace kelvo::ui {

namespace {

constexpr int ValueColumnWidth = 75;

}  // namespace

QString CombinationText(const TableSet& ts, int d, bool maximum) {
    const std::vector<int> categories = kelvo::PredictionCombination(ts, d, maximum);
    QStringList parts;
    for (int t = 1; t <= static_cast<int>(categories.size()); ++t) {
        const int v = ts.PredictorList[t];
        parts << FromName(ts.VariableNames[v]) + " = " + FromName(ts.CategoryNames[v][categories[t - 1]]);
    }
    return parts.join(", ");
}

TCheckResults::TCheckResults(TableSet& ts, WarningSink&, QWidget* parent) : QDialog(parent, TitleBarOnly), m_ts(ts) {
    SetUpDialog(this, "CheckResults", " Check results");

    Label1 = Named<QLabel>(this, "Label1", "Predictions for the dependent variable");
    Tab = new PaintedGrid(this, [this](QPainter* painter, int column, int row, const QRect& rect) {
        TabDrawCell(painter, column, row, rect);
    });
    Tab->horizontalHeader()->setDefaultSectionSize(ValueColumnWidth);
    Tab->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Tab->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Tab->SetGridSize(3, 2);
    Label2 = Named<QLabel>(this, "Label2", "Values below 0 or above 1 indicate an");
    Label3 = Named<QLabel>(this, "Label3", "ill-fitting model.");
    OKButton = AddButton(this, "OKButton", "&OK", PressedByEnter::Always, &TCheckResults::OKButtonClick);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addWidget(Tab, 0, Qt::AlignLeft);
    layout->addSpacing(4);
    layout->addWidget(Label2);
    layout->addWidget(Label3);
    layout->setSpacing(2);
    layout->addSpacing(8);
    layout->addLayout(ButtonRow({OKButton}, RowPlacement::Spread));
    layout->setSizeConstraint(QLayout::SetFixedSize);
    setTabOrder(Tab, OKButton);
}

void TCheckResults::showEvent(QShowEvent* event) {
    FormActivate();
    QDialog::showEvent(event);
    CenterOnScreen(this);
}

void TCheckResults::FormActivate() {
    const int dependent = m_ts.DependentVariable;
    const int categories =
        dependent >= 1 && dependent <= MaxVariables ? std::min<int>(m_ts.CategoryCounts[dependent], MaxCategories) : 0;
    Tab->SetGridSize(3, categories + 1);
    kelvo::OutputTable table;
    if (categories > 0) kelvo::BuildPredictionRangeTable(m_ts, table);
    Tab->SetCellText(0, 0, "Category");
    Tab->SetCellText(1, 0, "Minimum");
    Tab->SetCellText(2, 0, "Maximum");
    int nameWidth = Tab->fontMetrics().horizontalAdvance(Tab->CellText(0, 0));
    for (int r = 1; r <= categories; ++r) {
        const QString name = FromName(table.At(0, r).text);
        Tab->SetCellText(0, r, name);
        nameWidth = std::max(nameWidth, Tab->fontMetrics().horizontalAdvance(name));
        // Each percentage right-aligned in 6 characters.
        Tab->SetCellText(1, r, QString::fromStdString(PadLeft(table.At(1, r).text, 6)));
        Tab->SetCellText(2, r, QString::fromStdString(PadLeft(table.At(2, r).text, 6)));
        // Which predictor categories give each end of the range.
        Tab->SetCellToolTip(1, r, CombinationText(m_ts, r, false));
        Tab->SetCellToolTip(2, r, CombinationText(m_ts, r, true));
    }
    // The grid shows every row and every column without scrolling.
    Tab->SetColumnWidth(0, std::max(ValueColumnWidth, nameWidth + 8));
    const int frame = 2 * Tab->frameWidth();
    Tab->setFixedSize(Tab->ColumnWidth(0) + 2 * ValueColumnWidth + frame, (categories + 1) * Tab->RowHeight() + frame);
    OKButton->setFocus();
}

QColor TCheckResults::CellColor(int column, int row) const {
    if (row == 0 || column == 0) return palette().color(QPalette::Button);
    if (row > MaxCategories) return LightBlueCell();
    // Strict comparisons on the unrounded values: -0.04 shows as -0.0 but is
    // below 0; exactly 0 and exactly 100 are inside the range.
    if (column == 1 && m_ts.MinimumPrediction[row] < 0.0) return LightRedCell();
    if (column == 2 && m_ts.MaximumPrediction[row] > 100.0) return LightRedCell();
    return LightBlueCell();
}

void TCheckResults::TabDrawCell(QPainter* canvas, int column, int row, const QRect& rect) const {
    canvas->fillRect(rect, CellColor(column, row));
    DrawCellText(canvas, rect, Tab->CellText(column, row), column != 0);
}

void TCheckResults::OKButtonClick() {
    accept();
}

}  // namespace kelvo::ui
