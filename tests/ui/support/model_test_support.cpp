#include "model_test_support.h"

#include <QDir>
#include <cstdio>

#include "estimation_support.h"
#include "model_fit.h"
#include "table_set_file.h"
#include "test_support.h"

namespace kelvo::test {

QColor PaintedBackground(const std::function<void(QPainter*, const QRect&)>& paint) {
    QImage image(75, 16, QImage::Format_RGB32);
    image.fill(Qt::magenta);
    {
        QPainter painter(&image);
        paint(&painter, image.rect());
    }
    return QColor(image.pixel(1, 1));
}

std::unique_ptr<TableSet> ThirtySeventyModel() {
    auto ts = std::make_unique<TableSet>(MakeTableSet({{"Outcome", {"Yes", "No"}}, {"Group", {"Small", "Large"}}}));
    // Rows: Group (variable 2), columns: Outcome (variable 1).
    SetTable(*ts, 2, 1, {{10, 20}, {35, 35}});
    CollectingWarningSink warnings;
    const std::string log = QDir::temp().filePath("kelvo-thirty-seventy.log").toStdString();
    Estimate(*ts, 1, {2}, warnings, log);
    std::remove(log.c_str());
    ts->TableSetOpen = true;
    ts->ResultsAvailable = true;
    return ts;
}

std::unique_ptr<TableSet> EstimatedTitanic(const std::vector<std::string>& predictors) {
    auto ts = ReadExample("titanic.tbl");
    std::vector<int> chosen;
    for (const std::string& name : predictors) chosen.push_back(FindVariable(*ts, name));
    TempDir dir;
    CollectingWarningSink quiet;
    if (Estimate(*ts, FindVariable(*ts, "Survived"), chosen, quiet, dir / "log")) ComputeModelSummary(*ts);
    ts->ResultsAvailable = true;
    return ts;
}

}  // namespace kelvo::test
