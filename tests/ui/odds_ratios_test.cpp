// The odds-ratio window: the model fitted when it opens, its tests and its
// pages of odds ratios, what it says where it cannot estimate, and the fit of
// a large joint table behind a progress bar that Cancel stops.
#include "odds_ratios.h"

#include <QComboBox>
#include <QLabel>
#include <QProgressDialog>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include "data_entry_test_support.h"
#include "odds_ratio_fit.h"
#include "painted_grid.h"
#include "test_support.h"
#include "window_test_support.h"

using namespace kelvo;
using namespace kelvo::ui;

namespace {

void Select(TableSet& ts, int dependent, const std::vector<int>& predictors) {
    ts.DependentVariable = dependent;
    ts.PredictorCount = 0;
    for (const int v : predictors) ts.PredictorList[++ts.PredictorCount] = v;
    ts.TableSetOpen = true;
    ts.ResultsAvailable = true;
}

// Survived on Class, Sex and Age; the linear model is not needed.
std::unique_ptr<TableSet> Titanic() {
    auto ts = test::ReadExample("titanic.tbl");
    Select(*ts, FindVariable(*ts, "Survived"),
           {FindVariable(*ts, "Class"), FindVariable(*ts, "Sex"), FindVariable(*ts, "Age")});
    return ts;
}

// `variables` variables of `categories` categories, every pair table
// uniform: the dependent variable on all the others.
std::unique_ptr<TableSet> Uniform(int variables, int categories) {
    auto ts = std::make_unique<TableSet>();
    ts->VariableCount = variables;
    for (int v = 1; v <= variables; ++v) {
        ts->VariableNames[v] = "V" + std::to_string(v);
        ts->CategoryCounts[v] = static_cast<std::uint8_t>(categories);
        for (int k = 1; k <= categories; ++k) ts->CategoryNames[v][k] = "c" + std::to_string(k);
    }
    for (int i = 2; i <= variables; ++i)
        for (int j = 1; j < i; ++j)
            for (int a = 1; a <= categories; ++a)
                for (int b = 1; b <= categories; ++b) ts->PairTables[PairIndex(i, j)][a][b] = 10;
    std::vector<int> predictors;
    for (int v = 2; v <= variables; ++v) predictors.push_back(v);
    Select(*ts, 1, predictors);
    return ts;
}

}  // namespace

class OddsRatiosTest : public QObject {
    Q_OBJECT

    test::RecordingWarnings warnings;

private slots:
    void testsAndPages() {
        auto ts = Titanic();
        TOddsRatios window(*ts, warnings);
        std::vector<std::pair<int, int>> charts;
        window.seams.showChart = [&charts](int t, int d) { charts.emplace_back(t, d); };
        QVERIFY(test::ShowActive(&window));
        QVERIFY(OddsRatiosCurrent(*ts));
        QCOMPARE(window.TestsLabel->text(), QString("Tests of the associations with Survived (N = 2201)"));
        QCOMPARE(window.TestsGrid->GridRows(), 4);
        QCOMPARE(window.TestsGrid->CellText(0, 2), QString("Sex"));
        QCOMPARE(window.CategoryBox->count(), 1);
        QCOMPARE(window.CategoryBox->itemText(0), QString("Yes against No"));
        QCOMPARE(window.OddsLabel->text(), QString("Odds of Yes against No of Survived, Class against 1st"));
        QCOMPARE(window.OddsGrid->GridRows(), 4);
        QVERIFY(window.NotesLabel->isHidden());
        // Every class's odds ratio leaves out 1: bold, the standard error not.
        for (int row = 1; row <= 3; ++row) {
            QVERIFY(window.OddsGrid->CellIsBold(1, row));
            QVERIFY(window.OddsGrid->CellIsBold(3, row));
            QVERIFY(!window.OddsGrid->CellIsBold(2, row));
        }

        // Next and Previous by their mnemonics, stopping at either end.
        // (a mnemonic clicks its button a moment later).
        for (const int page : {2, 3, 3}) {
            QTest::keyClick(&window, Qt::Key_N, Qt::AltModifier);
            QTest::qWait(150);
            QCOMPARE(window.Page(), page);
        }
        QCOMPARE(window.OddsLabel->text(), QString("Odds of Yes against No of Survived, Age against Child"));
        QTest::keyClick(&window, Qt::Key_P, Qt::AltModifier);
        QTRY_COMPARE(window.Page(), 2);
        QCOMPARE(window.OddsGrid->CellText(0, 1), QString("Female"));
        QTest::mouseClick(window.ChartButton, Qt::LeftButton);
        QCOMPARE(charts, (std::vector<std::pair<int, int>>{{2, 2}}));

        // Opened again, it shows the model it has without a refit, from the
        // first page.
        window.hide();
        ts->OddsRatios.iterations = -1;
        QVERIFY(test::ShowActive(&window));
        QCOMPARE(window.Page(), 1);
        QCOMPARE(ts->OddsRatios.iterations, -1);
        // A changed table makes the model a new one.
        window.hide();
        ++ts->PairTables[PairIndex(4, 2)][1][1];
        ++ts->PairTables[PairIndex(4, 1)][1][1];
        ++ts->PairTables[PairIndex(4, 3)][1][1];
        ++ts->PairTables[PairIndex(2, 1)][1][1];
        ++ts->PairTables[PairIndex(3, 1)][1][1];
        ++ts->PairTables[PairIndex(3, 2)][1][1];
        QVERIFY(test::ShowActive(&window));
        QVERIFY(ts->OddsRatios.iterations > 0);
        QCOMPARE(window.TestsLabel->text(), QString("Tests of the associations with Survived (N = 2202)"));
    }

    // Q groups P's categories a and b into x and c into y: the linear model
    // is singular, and two odds ratios are not estimable (a dash, not bold,
    // and the reason under the table).
    void notEstimableShowsADashAndWhy() {
        TableSet ts = test::MakeTableSet({{"P", {"a", "b", "c"}}, {"Q", {"x", "y"}}, {"Y", {"yes", "no"}}});
        test::SetTable(ts, 2, 1, {{10, 20, 0}, {0, 0, 30}});
        test::SetTable(ts, 3, 1, {{4, 15, 10}, {6, 5, 20}});
        test::SetTable(ts, 3, 2, {{19, 10}, {11, 20}});
        Select(ts, 3, {1, 2});
        TOddsRatios window(ts, warnings);
        QVERIFY(test::ShowActive(&window));
        QCOMPARE(window.OddsGrid->CellText(0, 2), QString("c"));
        QCOMPARE(window.OddsGrid->CellText(3, 2), QString("-"));
        QVERIFY(!window.OddsGrid->CellIsBold(3, 2));
        QVERIFY(window.NotesLabel->isVisibleTo(&window));
        QCOMPARE(window.NotesLabel->text(), QString("Odds ratio for P = c, Y = no not estimable: empty cells of the "
                                                    "other tables leave it undetermined"));
        QVERIFY(warnings.warnings.empty());
    }

    // A model beyond 2^24 cells: the window says so and offers nothing.
    void tooLargeIsSaidInTheWindow() {
        auto ts = Uniform(7, 16);
        TOddsRatios window(*ts, warnings);
        QVERIFY(test::ShowActive(&window));
        QCOMPARE(window.NotesLabel->text(),
                 QString("Model too large for the odds-ratio model: 268,435,456 cells (at most 16,777,216)"));
        QCOMPARE(window.CategoryBox->count(), 0);
        QVERIFY(!window.NextButton->isEnabled());
        QVERIFY(!window.ChartButton->isEnabled());
    }

    // Beyond the background size the fit runs on its own thread behind the
    // progress dialog; the window shows the model once it is done.
    void backgroundFitShowsTheModel() {
        auto ts = Titanic();
        TOddsRatios window(*ts, warnings);
        window.backgroundCells = 16;  // the Titanic model has 32 cells
        bool progressShown = false;
        QTimer watch;
        connect(&watch, &QTimer::timeout, [&] {
            if (auto* progress = window.findChild<QProgressDialog*>("OddsRatioProgress"))
                progressShown |= progress->isVisible();
        });
        watch.start(1);
        window.show();
        QTRY_COMPARE(window.TestsGrid->GridRows(), 4);
        QVERIFY(progressShown);
        QVERIFY(OddsRatiosCurrent(*ts));
    }

    // 10 variables of 4 categories (1,048,576 cells): Cancel on the progress
    // dialog stops the fit and leaves no model.
    void cancelStopsALargeFit() {
        auto ts = Uniform(10, 4);
        QVERIFY(OddsRatioCells(*ts, *ts) > OddsRatioBackgroundCells);
        TOddsRatios window(*ts, warnings);
        QTimer watch;
        connect(&watch, &QTimer::timeout, [&] {
            auto* progress = window.findChild<QProgressDialog*>("OddsRatioProgress");
            if (progress == nullptr || !progress->isVisible()) return;
            watch.stop();
            QTest::mouseClick(progress->findChild<QPushButton*>(), Qt::LeftButton);
        });
        watch.start(1);
        window.show();
        QTRY_COMPARE_WITH_TIMEOUT(window.TestsLabel->text(), QString("The fit of the odds-ratio model was cancelled."),
                                  20000);
        QVERIFY(!ts->OddsRatios.present);
        QCOMPARE(window.CategoryBox->count(), 0);
    }
};

QTEST_MAIN(OddsRatiosTest)
#include "odds_ratios_test.moc"
