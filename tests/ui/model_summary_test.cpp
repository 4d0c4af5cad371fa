// The model summary window: its tables come from the summary of the current
// results, the dependent category chooser and the pages of the predictors.
#include "model_summary.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QtTest>

#include "data_entry_test_support.h"
#include "estimation.h"
#include "estimation_support.h"
#include "largest_table_set.h"
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
        // p of the order of 1e-23 says so rather than reading 0.0000.
        QCOMPARE(window.TestsGrid->CellText(6, 1), QString("< 0.0001"));
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

    // Class has four categories, Sex two: paging and choosing the other
    // category leave the window's size and its buttons where they were.
    void theButtonsStayWhilePaging() {
        auto ts = Titanic();
        TModelSummary window(*ts, warnings);
        QVERIFY(test::ShowActive(&window));
        const QSize size = window.size();
        const QPoint next = window.NextButton->mapTo(&window, QPoint(0, 0));
        const auto unmoved = [&] {
            QApplication::processEvents();
            return window.size() == size && window.NextButton->mapTo(&window, QPoint(0, 0)) == next;
        };
        QTest::mouseClick(window.NextButton, Qt::LeftButton);
        QCOMPARE(window.DeviationsGrid->GridRows(), 4);
        QVERIFY(unmoved());
        QTest::keyClick(window.CategoryBox, Qt::Key_Down);
        QVERIFY(unmoved());
    }

    // Fifteen predictors of sixteen categories: the tables scroll inside
    // their grids, and the keyboard reaches their last rows.
    void largeTablesScrollInTheirGrids() {
        auto ts = test::LargestCountedModel();
        test::TempDir dir;
        CollectingWarningSink quiet;
        QVERIFY(ComputeEstimates(*ts, quiet, dir / "log"));
        ComputeModelSummary(*ts);
        ts->TableSetOpen = ts->ResultsAvailable = true;
        TModelSummary window(*ts, warnings);
        QVERIFY(test::ShowActive(&window));
        for (OutputGrid* grid : {window.FitGrid, window.TestsGrid, window.DeviationsGrid}) {
            QVERIFY(grid->verticalScrollBar()->isVisible());
            const int last = grid->GridRows() - 1;
            QVERIFY(!grid->viewport()->geometry().contains(grid->CellRect(1, last)));
            grid->setFocus();
            grid->SetCurrentCell(1, 1);
            for (int row = 1; row < last; ++row) QTest::keyClick(grid, Qt::Key_Down);
            QApplication::processEvents();
            QVERIFY2(grid->viewport()->geometry().contains(grid->CellRect(1, last)), qPrintable(grid->objectName()));
        }
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
