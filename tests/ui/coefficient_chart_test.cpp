// The chart window: opened from the results browser for the page's
// predictor, its dependent category chooser, the classical switch, and the
// two ways of saving the chart.
#include "coefficient_chart.h"

#include <QCheckBox>
#include <QComboBox>
#include <QImage>
#include <QPushButton>
#include <QtTest>

#include "app_windows.h"
#include "chart_svg.h"
#include "data_entry_test_support.h"
#include "display_results.h"
#include "estimation_support.h"
#include "model_fit.h"
#include "svg_view.h"
#include "test_support.h"
#include "window_test_support.h"

using namespace kelvo;
using namespace kelvo::ui;

class CoefficientChartTest : public QObject {
    Q_OBJECT

    static void EstimateTitanic(TableSet& ts, bool summary) {
        ts = *test::ReadExample("titanic.tbl");
        test::TempDir dir;
        CollectingWarningSink quiet;
        QVERIFY(test::Estimate(ts, FindVariable(ts, "Survived"), {FindVariable(ts, "Class"), FindVariable(ts, "Sex")},
                               quiet, dir / "log"));
        if (summary) ComputeModelSummary(ts);
        ts.ResultsAvailable = true;
    }

private slots:
    // The Chart button of the results browser opens the chart of the page on
    // screen.
    void openedForThePagesPredictor() {
        auto ts = std::make_unique<TableSet>();
        AppWindows windows(*ts);
        EstimateTitanic(*ts, true);
        std::string shown;
        test::WhenModalShown([&](QWidget* modal) {
            QVERIFY(modal == &windows.DisplayResults());
            windows.DisplayResults().NextButton->click();
            test::WhenModalShown([&](QWidget* chart) {
                QVERIFY(chart == &windows.CoefficientChart());
                shown = windows.CoefficientChart().Svg();
                windows.CoefficientChart().OKButton->click();
            });
            windows.DisplayResults().ChartButton->click();
            windows.DisplayResults().OKButton->click();
        });
        windows.DisplayResults().exec();
        QCOMPARE(QString::fromStdString(shown), QString::fromStdString(CoefficientChartSvg(ResultsOf(*ts), 1, 2)));
    }

    void categoriesClassicalAndSaving() {
        TableSet ts;
        EstimateTitanic(ts, true);
        CollectingWarningSink warnings;
        TCoefficientChart window(ts, warnings);
        window.SetPredictor(1);
        test::TempDir dir;
        QStringList errors;
        QString next;
        window.seams.chooseSaveFile = [&](const QString&, const QString&, const QString&) { return next; };
        window.seams.showError = [&](const QString& text) { errors << text; };
        QVERIFY(test::ShowActive(&window));
        QCOMPARE(window.CategoryBox->count(), 2);
        QCOMPARE(window.Svg(), CoefficientChartSvg(ResultsOf(ts), 1, 1));

        window.CategoryBox->setFocus();
        QTest::keyClick(window.CategoryBox, Qt::Key_Down);
        QCOMPARE(window.Category(), 2);
        QCOMPARE(window.Svg(), CoefficientChartSvg(ResultsOf(ts), 2, 1));
        QVERIFY(window.ClassicalBox->isEnabled());
        window.ClassicalBox->click();
        ChartOptions classical;
        classical.classical = true;
        QCOMPARE(window.Svg(), CoefficientChartSvg(ResultsOf(ts), 2, 1, classical));

        next = QString::fromStdString((dir / "chart.svg").string());
        window.SaveSvgButton->click();
        QCOMPARE(test::ReadFile(dir / "chart.svg"), window.Svg());
        next = QString::fromStdString((dir / "chart.png").string());
        window.SavePngButton->click();
        const QImage png(next);
        QCOMPARE(png.size(), window.Chart->size() * 2 * window.devicePixelRatio());
        // A folder that does not exist: the error box, nothing else.
        next = QString::fromStdString((dir / "missing" / "chart.svg").string());
        window.SaveSvgButton->click();
        QCOMPARE(errors, QStringList{"Path not found"});
        // Cancelled: nothing is written.
        next.clear();
        window.SaveSvgButton->click();
        QCOMPARE(errors.size(), 1);
    }

    // A chart that cannot be drawn from the table set as it is now (here the
    // selection has lost its dependent variable) ends at the control that
    // asked for it, with the error box; no older chart stays to be saved.
    void aChartThatCannotBeDrawnEndsInTheErrorBox_data() {
        QTest::addColumn<bool>("fromCheckBox");
        QTest::newRow("classical check box") << true;
        QTest::newRow("category list") << false;
    }
    void aChartThatCannotBeDrawnEndsInTheErrorBox() {
        QFETCH(bool, fromCheckBox);
        TableSet ts;
        EstimateTitanic(ts, true);
        CollectingWarningSink warnings;
        TCoefficientChart window(ts, warnings);
        QStringList errors;
        window.seams.showError = [&](const QString& text) { errors << text; };
        bool asked = false;
        window.seams.chooseSaveFile = [&](const QString&, const QString&, const QString&) {
            asked = true;
            return QString();
        };
        QVERIFY(test::ShowActive(&window));
        QVERIFY(!window.Svg().empty());
        ts.DependentVariable = 0;
        if (fromCheckBox) {
            window.ClassicalBox->click();
        } else {
            window.CategoryBox->setFocus();
            QTest::keyClick(window.CategoryBox, Qt::Key_Down);
        }
        QCOMPARE(errors, QStringList{"no results: No dependent variable specified"});
        QVERIFY(window.Svg().empty());
        QVERIFY(window.isVisible());
        window.SaveSvgButton->click();
        QVERIFY(!asked);
    }

    // Without the model summary there are no classical errors to switch to.
    void classicalNeedsTheSummary() {
        TableSet ts;
        EstimateTitanic(ts, false);
        CollectingWarningSink warnings;
        TCoefficientChart window(ts, warnings);
        QVERIFY(test::ShowActive(&window));
        QVERIFY(!window.ClassicalBox->isEnabled());
        QVERIFY(!window.Svg().empty());
    }
};

QTEST_MAIN(CoefficientChartTest)
#include "coefficient_chart_test.moc"
