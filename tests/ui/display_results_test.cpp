// The results browser: its pages, the parameters each page shows, the number
// texts, the bold decision at its boundary, the colours and the horizontal
// scrolling with the fixed first column.
#include "display_results.h"

#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QtTest>
#include <memory>

#include "data_entry_test_support.h"
#include "model_test_support.h"
#include "painted_grid.h"
#include "table_set.h"
#include "test_support.h"
#include "window_test_support.h"

using namespace kelvo;
using namespace kelvo::ui;

namespace {

// A model with a dependent variable of `dependentCategories` categories and
// one predictor per entry of `predictorCategories`; coefficient i of
// dependent category r is (10 i + r) / 1000, so that 100 x it reads as
// "i.r" (parameter 5 of category 2 shows as 5.2).
std::unique_ptr<TableSet> Model(int dependentCategories, const std::vector<int>& predictorCategories) {
    auto ts = std::make_unique<TableSet>();
    ResetCategoryNames(*ts);
    const int count = 1 + static_cast<int>(predictorCategories.size());
    ts->VariableCount = count;
    ts->VariableNames[1] = "Outcome";
    ts->CategoryCounts[1] = static_cast<std::uint8_t>(dependentCategories);
    for (int t = 1; t < count; ++t) {
        ts->VariableNames[t + 1] = "Predictor" + std::to_string(t);
        ts->CategoryCounts[t + 1] = static_cast<std::uint8_t>(predictorCategories[t - 1]);
        ts->PredictorList[t] = t + 1;
    }
    ts->DependentVariable = 1;
    ts->PredictorCount = count - 1;
    for (int i = 1; i <= MaxParameters; ++i)
        for (int r = 1; r <= MaxCategories; ++r) ts->Coefficients[i][r] = (10.0 * i + r) / 1000.0;
    ts->TableSetOpen = true;
    ts->ResultsAvailable = true;
    return ts;
}

const QColor LightBlue(231, 243, 255);
const QColor LightYellow(255, 255, 221);

}  // namespace

class DisplayResultsTest : public QObject {
    Q_OBJECT

    test::RecordingWarnings warnings;

private slots:
    void firstPage() {
        auto ts = Model(2, {3, 4});
        TDisplayResults window(*ts, warnings);
        QVERIFY(test::ShowActive(&window));
        QCOMPARE(window.windowTitle(), QStringLiteral(" Results"));
        QCOMPARE(window.Page(), 1);
        QCOMPARE(window.Label1->text(), QStringLiteral("Coefficients for variable Predictor1"));
        QCOMPARE(window.Tab->GridColumns(), 5);
        QCOMPARE(window.Tab->GridRows(), 3);
        const QStringList expected{"Outcome", "Average", "C1", "C2",     "C3",     "C1",     "   1.1", "   2.1",
                                   "   3.1",  "   4.1",  "C2", "   1.2", "   2.2", "   3.2", "   4.2"};
        QStringList texts;
        for (int row = 0; row < 3; ++row)
            for (int column = 0; column < 5; ++column) texts << window.Tab->CellText(column, row);
        QCOMPARE(texts, expected);
    }

    // Predictors of 3 and 4 categories: page 2 shows parameters 5 to 8.
    void theParametersOfPageTwo() {
        auto ts = Model(2, {3, 4});
        TDisplayResults window(*ts, warnings);
        QVERIFY(test::ShowActive(&window));
        QTest::mouseClick(window.NextButton, Qt::LeftButton);
        QCOMPARE(window.Page(), 2);
        QCOMPARE(window.Label1->text(), QStringLiteral("Coefficients for variable Predictor2"));
        QCOMPARE(window.Tab->GridColumns(), 6);
        for (int r = 1; r <= 2; ++r) {
            QCOMPARE(window.Tab->CellText(1, r), QStringLiteral("   1.%1").arg(r));  // the averages stay
            for (int j = 1; j <= 4; ++j)
                QCOMPARE(window.Tab->CellText(j + 1, r), QStringLiteral("   %1.%2").arg(4 + j).arg(r));
        }
        QCOMPARE(window.Tab->CellText(5, 0), QStringLiteral("C4"));
    }

    void paging_data() {
        QTest::addColumn<QList<int>>("categories");
        QTest::addColumn<QString>("clicks");  // N = Next, P = Previous
        QTest::addColumn<QList<int>>("pages");
        QTest::newRow("one predictor") << QList<int>{2} << "NPNP" << QList<int>{1, 1, 1, 1};
        QTest::newRow("no wrap at either end")
            << QList<int>{2, 3, 2} << "PNNNNPPPP" << QList<int>{1, 2, 3, 3, 3, 2, 1, 1, 1};
    }

    void paging() {
        QFETCH(QList<int>, categories);
        QFETCH(QString, clicks);
        QFETCH(QList<int>, pages);
        auto ts = Model(3, std::vector<int>(categories.begin(), categories.end()));
        TDisplayResults window(*ts, warnings);
        QVERIFY(test::ShowActive(&window));
        for (int i = 0; i < clicks.size(); ++i) {
            QTest::mouseClick(clicks[i] == u'N' ? window.NextButton : window.PrevButton, Qt::LeftButton);
            QCOMPARE(window.Page(), pages[i]);
            QCOMPARE(window.Label1->text(), QStringLiteral("Coefficients for variable Predictor%1").arg(pages[i]));
            QCOMPARE(window.Tab->GridColumns(), categories[pages[i] - 1] + 2);
            QVERIFY(window.NextButton->isEnabled() && window.PrevButton->isEnabled());
        }
    }

    void everyShowingStartsAtPageOne() {
        auto ts = Model(2, {2, 5, 3});
        TDisplayResults window(*ts, warnings);
        QVERIFY(test::ShowActive(&window));
        window.NextButton->click();
        window.NextButton->click();
        QCOMPARE(window.Page(), 3);
        QTest::mouseClick(window.OKButton, Qt::LeftButton);
        QVERIFY(!window.isVisible());
        // A new model computed meanwhile is shown as it is now.
        ts->Coefficients[1][1] = 0.5;
        QVERIFY(test::ShowActive(&window));
        QCOMPARE(window.Page(), 1);
        QCOMPARE(window.Label1->text(), QStringLiteral("Coefficients for variable Predictor1"));
        QCOMPARE(window.Tab->GridColumns(), 4);
        QCOMPARE(window.Tab->CellText(1, 1), QStringLiteral("  50.0"));
    }

    void numberTexts_data() {
        QTest::addColumn<double>("coefficient");
        QTest::addColumn<QString>("text");
        QTest::newRow("0.1234") << 0.1234 << "  12.3";
        QTest::newRow("-0.05") << -0.05 << "  -5.0";
        QTest::newRow("-0.0004 keeps its sign") << -0.0004 << "  -0.0";
        QTest::newRow("exact half away from zero") << 0.0625 << "   6.3";
        QTest::newRow("wider than 6") << -12.345 << "-1234.5";
    }

    void numberTexts() {
        QFETCH(double, coefficient);
        QFETCH(QString, text);
        auto ts = Model(2, {2});
        ts->Coefficients[1][2] = coefficient;
        ts->Coefficients[3][1] = coefficient;
        TDisplayResults window(*ts, warnings);
        window.FormActivate();
        QCOMPARE(window.Tab->CellText(1, 2), text);
        QCOMPARE(window.Tab->CellText(3, 1), text);
    }

    // b = 100 x coefficient, s = standard error: bold when b - 1.96 s > 0
    // or b + 1.96 s < 0, on the stored numbers.
    void boldAtTheBoundary_data() {
        QTest::addColumn<double>("coefficient");
        QTest::addColumn<double>("standardError");
        QTest::addColumn<bool>("bold");
        // 100 x 0.49 and 1.96 x 25 are both exactly 49 in double.
        QTest::newRow("lower bound exactly 0") << 0.49 << 25.0 << false;
        QTest::newRow("lower bound just above 0") << 0.4901 << 25.0 << true;
        QTest::newRow("upper bound exactly 0") << -0.49 << 25.0 << false;
        QTest::newRow("upper bound just below 0") << -0.4901 << 25.0 << true;
        QTest::newRow("zero without error") << 0.0 << 0.0 << false;
        QTest::newRow("tiny without error, shown as 0.0") << 0.0000001 << 0.0 << true;
        QTest::newRow("text 49.0 either way") << 0.48999 << 25.0 << false;
    }

    void boldAtTheBoundary() {
        QFETCH(double, coefficient);
        QFETCH(double, standardError);
        QFETCH(bool, bold);
        QCOMPARE(100.0 * 0.49, 1.96 * 25.0);
        auto ts = Model(2, {3, 2});
        // Page 2, column 3: parameter 1 + 3 + 2 = 6, dependent category 2.
        ts->Coefficients[6][2] = coefficient;
        ts->StandardErrors[6][2] = standardError;
        ts->StandardErrors[5][2] = 1000.0;  // its neighbour is never bold
        TDisplayResults window(*ts, warnings);
        window.FormActivate();
        window.NextButtonClick();
        QCOMPARE(window.CellIsBold(3, 2), bold);
        QCOMPARE(window.CellIsBold(2, 2), false);
        // Averages and headers are never bold, however large.
        QVERIFY(!window.CellIsBold(1, 2));
        QVERIFY(!window.CellIsBold(0, 2));
        QVERIFY(!window.CellIsBold(3, 0));
    }

    void colours() {
        auto ts = Model(2, {2});
        TDisplayResults window(*ts, warnings);
        QVERIFY(test::ShowActive(&window));
        const QColor face = window.palette().color(QPalette::Button);
        const auto background = [&](int column, int row) {
            return test::PaintedBackground(
                [&](QPainter* painter, const QRect& rect) { window.TabDrawCell(painter, column, row, rect); });
        };
        QCOMPARE(background(0, 0), face);
        QCOMPARE(background(0, 1), face);
        QCOMPARE(background(1, 0), face);
        QCOMPARE(background(2, 0), face);
        QCOMPARE(background(1, 1), LightYellow);
        QCOMPARE(background(2, 2), LightBlue);
        // The same on the screen, the current cell included.
        const QImage shot = window.Tab->grab().toImage();
        const auto at = [&](int column, int row) {
            return QColor(shot.pixel(window.Tab->CellRect(column, row).topLeft() + QPoint(1, 1)));
        };
        QCOMPARE(at(1, 1), LightYellow);
        QCOMPARE(at(1, 2), LightYellow);
        QCOMPARE(at(3, 2), LightBlue);
        QCOMPARE(at(0, 0), face);
        QCOMPARE(at(2, 0), face);
    }

    // A predictor of 16 categories and a dependent variable of 16: 18
    // columns that scroll with column 0 in place, 17 rows all on screen.
    void largeGridsScrollHorizontallyOnly() {
        auto ts = Model(16, {16, 2});
        TDisplayResults window(*ts, warnings);
        QVERIFY(test::ShowActive(&window));
        PaintedGrid* grid = window.Tab;
        QCOMPARE(grid->GridColumns(), 18);
        QCOMPARE(grid->GridRows(), 17);
        QVERIFY(grid->CellRect(0, 16).bottom() < grid->viewport()->geometry().bottom() + 1);
        QScrollBar* bar = grid->horizontalScrollBar();
        QVERIFY(bar->isVisible());
        QCOMPARE(bar->value(), 0);
        const QRect fixedBefore = grid->CellRect(0, 1);
        const QRect averagesBefore = grid->CellRect(1, 1);
        bar->setValue(bar->maximum());
        QCOMPARE(grid->CellRect(0, 1), fixedBefore);
        QVERIFY(grid->CellRect(1, 1).left() < averagesBefore.left());
        QVERIFY(grid->CellRect(17, 1).right() <= grid->viewport()->geometry().right() + 1);
        QCOMPARE(grid->verticalScrollBar()->maximum(), 0);

        // The next page, a predictor of 2 categories: 4 columns, scrolled
        // back to the averages.
        window.NextButton->click();
        QCOMPARE(grid->GridColumns(), 4);
        QCOMPARE(bar->value(), 0);
        QCOMPARE(grid->CellText(1, 16), QStringLiteral("   2.6"));
        QCOMPARE(grid->CellText(3, 16), QStringLiteral("  20.6"));
    }
};

QTEST_MAIN(DisplayResultsTest)
#include "display_results_test.moc"
