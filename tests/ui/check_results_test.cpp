// The prediction check: its grid, the number texts, the cell colours at the
// edges of the range 0 to 100, and the combinations in the tooltips.
#include "check_results.h"

#include <QLabel>
#include <QPushButton>
#include <QtTest>
#include <memory>

#include "data_entry_test_support.h"
#include "estimation_support.h"
#include "model_test_support.h"
#include "painted_grid.h"
#include "table_set.h"
#include "test_support.h"
#include "window_test_support.h"

using namespace kelvo;
using namespace kelvo::ui;

namespace {

const QColor LightRed(255, 192, 192);
const QColor LightBlue(231, 243, 255);

QColor Background(const TCheckResults& window, int column, int row) {
    return test::PaintedBackground(
        [&](QPainter* painter, const QRect& rect) { window.TabDrawCell(painter, column, row, rect); });
}

}  // namespace

class CheckResultsTest : public QObject {
    Q_OBJECT

    test::RecordingWarnings warnings;

private slots:
    // The example of one predictor with 30 and 70 cases.
    void gridOfTheExample() {
        auto ts = test::ThirtySeventyModel();
        TCheckResults window(*ts, warnings);
        QVERIFY(test::ShowActive(&window));
        QCOMPARE(window.windowTitle(), QStringLiteral(" Check results"));
        QCOMPARE(window.Label1->text(), QStringLiteral("Predictions for the dependent variable"));
        QCOMPARE(window.Label2->text(), QStringLiteral("Values below 0 or above 1 indicate an"));
        QCOMPARE(window.Label3->text(), QStringLiteral("ill-fitting model."));
        QCOMPARE(window.Tab->GridRows(), 3);
        QCOMPARE(window.Tab->GridColumns(), 3);
        const QStringList expected{"Category", "Minimum", "Maximum", "Yes",   "  33.3",
                                   "  50.0",   "No",      "  50.0",  "  66.7"};
        QStringList texts;
        for (int row = 0; row < 3; ++row)
            for (int column = 0; column < 3; ++column) texts << window.Tab->CellText(column, row);
        QCOMPARE(texts, expected);
        for (int row = 1; row < 3; ++row)
            for (int column = 1; column < 3; ++column) QCOMPARE(Background(window, column, row), LightBlue);
        // Every row is on screen, without scrolling.
        QVERIFY(window.Tab->CellRect(2, 2).bottom() < window.Tab->height());
        QVERIFY(window.Tab->CellRect(2, 2).right() < window.Tab->width());
        QTest::mouseClick(window.OKButton, Qt::LeftButton);
        QVERIFY(!window.isVisible());
    }

    void colours_data() {
        QTest::addColumn<double>("minimum");
        QTest::addColumn<double>("maximum");
        QTest::addColumn<QColor>("minimumColour");
        QTest::addColumn<QColor>("maximumColour");
        QTest::addColumn<QString>("minimumText");
        QTest::addColumn<QString>("maximumText");
        QTest::newRow("-0.04 shows -0.0 and is below 0") << -0.04 << 50.0 << LightRed << LightBlue << "  -0.0"
                                                         << "  50.0";
        QTest::newRow("0 is inside") << 0.0 << 50.0 << LightBlue << LightBlue << "   0.0"
                                     << "  50.0";
        QTest::newRow("100.04 shows 100.0 and is above 100") << 10.0 << 100.04 << LightBlue << LightRed << "  10.0"
                                                             << " 100.0";
        QTest::newRow("100 is inside") << 10.0 << 100.0 << LightBlue << LightBlue << "  10.0"
                                       << " 100.0";
        QTest::newRow("a maximum below 0 marks only the minimum") << -20.0 << -5.0 << LightRed << LightBlue << " -20.0"
                                                                  << "  -5.0";
        QTest::newRow("a minimum above 100 marks only the maximum")
            << 101.0 << 1234.56 << LightBlue << LightRed << " 101.0"
            << "1234.6";
        QTest::newRow("wide values keep every digit") << -12345.0 << 99.95 << LightRed << LightBlue << "-12345.0"
                                                      << " 100.0";
    }

    void colours() {
        QFETCH(double, minimum);
        QFETCH(double, maximum);
        QFETCH(QColor, minimumColour);
        QFETCH(QColor, maximumColour);
        QFETCH(QString, minimumText);
        QFETCH(QString, maximumText);
        auto ts = test::ThirtySeventyModel();
        ts->MinimumPrediction[2] = minimum;
        ts->MaximumPrediction[2] = maximum;
        TCheckResults window(*ts, warnings);
        window.FormActivate();
        QCOMPARE(window.Tab->CellText(1, 2), minimumText);
        QCOMPARE(window.Tab->CellText(2, 2), maximumText);
        QCOMPARE(Background(window, 1, 2), minimumColour);
        QCOMPARE(Background(window, 2, 2), maximumColour);
        // The other row and the headers are not affected.
        QCOMPARE(Background(window, 1, 1), LightBlue);
        const QColor face = window.palette().color(QPalette::Button);
        for (const auto& [column, row] : {std::pair{0, 0}, {1, 0}, {2, 0}, {0, 1}, {0, 2}})
            QCOMPARE(Background(window, column, row), face);
    }

    // The colours as the grid on the screen shows them.
    void theGridOnScreenPaintsTheCells() {
        auto ts = test::ThirtySeventyModel();
        ts->MinimumPrediction[1] = -0.04;
        TCheckResults window(*ts, warnings);
        QVERIFY(test::ShowActive(&window));
        const QImage shot = window.Tab->grab().toImage();
        const auto at = [&](int column, int row) {
            return QColor(shot.pixel(window.Tab->CellRect(column, row).topLeft() + QPoint(1, 1)));
        };
        QCOMPARE(at(1, 1), LightRed);
        QCOMPARE(at(2, 1), LightBlue);
        QCOMPARE(at(1, 2), LightBlue);
        QCOMPARE(at(0, 0), window.palette().color(QPalette::Button));
        QCOMPARE(at(0, 2), window.palette().color(QPalette::Button));
    }

    // Survival on class and sex among the Titanic's passengers and crew: the
    // highest chance of survival is for women of the first class, the lowest
    // for men of the third.
    void tooltipsNameTheCombinations() {
        auto ts = test::ReadExample("titanic.tbl");
        const int survived = FindVariable(*ts, "Survived");
        test::RecordingWarnings quiet;
        QVERIFY(test::Estimate(*ts, survived, {FindVariable(*ts, "Class"), FindVariable(*ts, "Sex")}, quiet,
                               QDir::temp().filePath("kelvo-check-results.log").toStdString()));
        TCheckResults window(*ts, warnings);
        window.FormActivate();
        QCOMPARE(window.Tab->CellText(0, 2), QStringLiteral("Yes"));
        QCOMPARE(window.Tab->CellToolTip(1, 2), QStringLiteral("Class = 3rd, Sex = Male"));
        QCOMPARE(window.Tab->CellToolTip(2, 2), QStringLiteral("Class = 1st, Sex = Female"));
        QCOMPARE(window.Tab->CellToolTip(1, 1), QStringLiteral("Class = 1st, Sex = Female"));
        QCOMPARE(window.Tab->CellToolTip(2, 1), QStringLiteral("Class = 3rd, Sex = Male"));
        QFile::remove(QDir::temp().filePath("kelvo-check-results.log"));
    }

    // A dependent variable of 16 categories: 17 rows, all on screen.
    void sixteenCategories() {
        auto ts = test::ThirtySeventyModel();
        ts->CategoryCounts[1] = 16;
        for (int r = 1; r <= 16; ++r) ts->CategoryNames[1][r] = "Category" + std::to_string(r);
        TCheckResults window(*ts, warnings);
        QVERIFY(test::ShowActive(&window));
        QCOMPARE(window.Tab->GridRows(), 17);
        QCOMPARE(window.Tab->CellText(0, 16), QStringLiteral("Category16"));
        QVERIFY(window.Tab->CellRect(2, 16).bottom() < window.Tab->height());
        // Showing a smaller model again shrinks the grid.
        window.hide();
        ts->CategoryCounts[1] = 2;
        QVERIFY(test::ShowActive(&window));
        QCOMPARE(window.Tab->GridRows(), 3);
    }
};

QTEST_MAIN(CheckResultsTest)
#include "check_results_test.moc"
