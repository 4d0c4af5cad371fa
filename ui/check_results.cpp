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
#include <optional>

#include "dialog_frame.h"
#include "estimation.h"
#include "names_and_paths.h"
#include "output_sections.h"
#include "painted_grid.h"
#include "window_geometry.h"

namespace kelvo::ui {

namespace {

constexpr int ValueColumnWidth = 75;

}  // namespace

QString CombinationText(const ModelResults& results, int d, bool maximum) {
    const std::vector<int> categories = results.Combination(d, maximum);
    QStringList parts;
    for (int t = 1; t <= static_cast<int>(categories.size()); ++t) {
        const ModelVariable& predictor = results.Predictor(t);
        parts << FromName(predictor.name) + " = " +
                     FromName(predictor.categories[static_cast<std::size_t>(categories[t - 1])]);
    }
    return parts.join(", ");
}

TCheckResults::TCheckResults(TableSet& ts, WarningSink&, QWidget* parent) : QDialog(parent, TitleBarOnly), m_ts(ts) {
    SetUpDialog(this, "CheckResults", " Check results");

    Label1 = Named<QLabel>(this, "Label1", "Predictions for the dependent variable");
    // Every value right-justified in a field of 6 characters.
    Tab = new OutputGrid(this, 6);
    Tab->setAccessibleName(Label1->text());
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
    kelvo::OutputTable table;
    std::optional<ModelResults> results;
    if (kelvo::SelectionProblem(m_ts, m_ts).empty()) {
        results = kelvo::ResultsOf(m_ts);
        kelvo::BuildPredictionRangeTable(*results, table);
    } else {
        table.Reset({}, 3);
        for (const char* heading : {"Category", "Minimum", "Maximum"}) table.Add(kelvo::CellRole::Heading, heading);
    }
    Tab->ShowTable(table);
    const int categories = table.Rows() - 1;
    int nameWidth = 0;
    for (int r = 0; r <= categories; ++r) nameWidth = std::max(nameWidth, Tab->fontMetrics().horizontalAdvance(Tab->CellText(0, r)));
    // Which predictor categories give each end of the range.
    for (int r = 1; r <= categories; ++r) {
        Tab->SetCellToolTip(1, r, CombinationText(*results, r, false));
        Tab->SetCellToolTip(2, r, CombinationText(*results, r, true));
    }
    // The grid shows every row and every column without scrolling.
    Tab->SetColumnWidth(0, std::max(ValueColumnWidth, nameWidth + 8));
    Tab->SetColumnWidth(1, ValueColumnWidth);
    Tab->SetColumnWidth(2, ValueColumnWidth);
    const int frame = 2 * Tab->frameWidth();
    Tab->setFixedSize(Tab->ColumnWidth(0) + 2 * ValueColumnWidth + frame, (categories + 1) * Tab->RowHeight() + frame);
    OKButton->setFocus();
}

QColor TCheckResults::CellColor(int column, int row) const { return Tab->CellColor(column, row); }

void TCheckResults::TabDrawCell(QPainter* canvas, int column, int row, const QRect& rect) const {
    Tab->DrawCell(canvas, column, row, rect);
}

void TCheckResults::OKButtonClick() {
    accept();
}

}  // namespace kelvo::ui
