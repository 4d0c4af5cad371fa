// The model summary window: its tables come from the summary of the current
// results, the dependent category chooser and the pages of the predictors.
#include "model_summary.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

#include "data_entry_test_support.h"
#include "estimation_support.h"
#include "model_fit.h"
#include "painted_grid.h"
#include "test_support.h"
#include "window_test_support.h"

using namespace kelvo;
using namespace kelvo::ui;

class ModelSummaryTest : public QObject {
    Q_OBJECT

    test::RecordingWarnings warnings;

    static std::unique_ptr<TableSet> Titanic() {
        auto ts = test::ReadExample("titanic.tbl");
        test::TempDir dir;
        CollectingWarningSink quiet;
        const bool computed = test::Estimate(*ts, FindVariable(*ts, "Survived"),
                                             {FindVariable(*ts, "Class"), FindVariable(*ts, "Sex")}, quiet, dir / "log");
        if (computed) ComputeModelSummary(*ts);
        ts->ResultsAvailable = true;
        return ts;
    }

private slots:
    void pagesAndCategories() {
        auto ts = Titanic();
        TModelSummary window(*ts, warnings);
        QVERIFY(test::ShowActive(&window));
        QCOMPARE(window.FitLabel->text(), QString("Model fit for Survived (N = 2201, residual df 2196)"));
        QCOMPARE(window.FitGrid->GridRows(), 3);
        QCOMPARE(window.FitGrid->CellText(0, 2), QString("Yes"));
        QCOMPARE(window.CategoryBox->count(), 2);
        QCOMPARE(window.TestsLabel->text(), QString("Tests of the predictors for No of Survived"));
        QCOMPARE(window.TestsGrid->CellText(0, 2), QString("Sex"));
        QCOMPARE(window.DeviationsLabel->text(), QString("No of Survived by Class"));
        // Average and four classes.
        QCOMPARE(window.DeviationsGrid->GridRows(), 6);

        // Choosing Yes with the keyboard turns the lower tables to it; the
        // deviations of Yes mirror those of No.
        const QString noFirst = window.DeviationsGrid->CellText(2, 2);
        window.CategoryBox->setFocus();
        QTest::keyClick(window.CategoryBox, Qt::Key_Down);
        QCOMPARE(window.Category(), 2);
        QCOMPARE(window.TestsLabel->text(), QString("Tests of the predictors for Yes of Survived"));
        QCOMPARE(window.DeviationsGrid->CellText(2, 2), noFirst.startsWith('-') ? noFirst.mid(1) : "-" + noFirst);

        // Paging stops at either end and keeps the chosen category.
        QTest::mouseClick(window.NextButton, Qt::LeftButton);
        QTest::mouseClick(window.NextButton, Qt::LeftButton);
        QCOMPARE(window.Page(), 2);
        QCOMPARE(window.DeviationsLabel->text(), QString("Yes of Survived by Sex"));
        QTest::mouseClick(window.PrevButton, Qt::LeftButton);
        QTest::mouseClick(window.PrevButton, Qt::LeftButton);
        QCOMPARE(window.Page(), 1);

        // Every showing starts again at the first category and predictor.
        window.hide();
        QVERIFY(test::ShowActive(&window));
        QCOMPARE(window.Page(), 1);
        QCOMPARE(window.Category(), 1);
    }

    // Without a summary of the current results the window shows nothing of
    // an earlier model.
    void noSummaryNoTables() {
        auto ts = Titanic();
        ts->Summary.present = false;
        TModelSummary window(*ts, warnings);
        QVERIFY(test::ShowActive(&window));
        QCOMPARE(window.CategoryBox->count(), 0);
        QTest::mouseClick(window.NextButton, Qt::LeftButton);
        QCOMPARE(window.Page(), 1);
    }
};

QTEST_MAIN(ModelSummaryTest)
#include "model_summary_test.moc"
