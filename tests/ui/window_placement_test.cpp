// Where the windows open and how wide their columns are: the data entry
// dialogs centred on the screen (not on the main window), grid columns as
// wide as their longest name or number, and a name field for 12 wide letters.
#include <QApplication>
#include <QLineEdit>
#include <QScreen>
#include <QtTest>

#include "create_variables.h"
#include "data_entry_test_support.h"
#include "display_results.h"
#include "edit_table.h"
#include "edit_variable.h"
#include "edit_variables.h"
#include "enter_variable.h"
#include "painted_grid.h"
#include "test_support.h"
#include "window_test_support.h"

using namespace kelvo;
using namespace kelvo::ui;

class WindowPlacementTest : public QObject {
    Q_OBJECT

    test::RecordingWarnings warnings;

private slots:
    void dataEntryDialogsOpenCentredOnTheScreen() {
        TableSet ts = test::CreatedTableSet({{"Age", {"Young", "Old"}}, {"Sex", {"Male", "Female"}}});
        QWidget main;
        main.setGeometry(20, 20, 200, 150);  // far from the middle of the screen
        main.show();
        TCreateVariables create(ts, warnings, &main);
        TEnterVariable enter(ts, warnings, &main);
        TEditVariables chooser(ts, warnings, &main);
        TEditVariable editor(ts, warnings, &main);
        editor.EditedVariable = 1;
        TEditTable table(ts, warnings, &main);
        const QPoint middle = QApplication::primaryScreen()->availableGeometry().center();
        for (QDialog* dialog : std::initializer_list<QDialog*>{&create, &enter, &chooser, &editor, &table}) {
            dialog->show();
            QApplication::processEvents();
            const QPoint centre = dialog->frameGeometry().center();
            QVERIFY2((centre - middle).manhattanLength() <= 4, qPrintable(dialog->objectName()));
            dialog->hide();
        }
    }

    // 12-character names and ten-digit totals are shown whole.
    void columnsWidenToTheirText() {
        TableSet ts = test::CreatedTableSet({{"Wide", {"WWWWWWWWWWWW", "b"}}, {"Other", {"x", "MMMMMMMMMMMM"}}});
        ts.PairTables[1][1][1] = 2000000000;
        ts.PairTables[1][1][2] = 2000000000;
        TEditTable table(ts, warnings);
        QVERIFY(test::ShowActive(&table));
        const auto fits = [](const PaintedGrid* grid, int column, int row) {
            QFont bold = grid->font();
            bold.setBold(true);
            return QFontMetrics(bold).horizontalAdvance(grid->CellText(column, row)) + 6 <= grid->ColumnWidth(column);
        };
        QCOMPARE(table.Tab->CellText(3, 1).trimmed(), QString("4000000000"));
        QVERIFY(fits(table.Tab, 0, 2));  // the row label MMMMMMMMMMMM
        QVERIFY(fits(table.Tab, 3, 1));  // the row total
        QVERIFY(fits(table.Tab, 1, 0));  // the heading WWWWWWWWWWWW

        ts.DependentVariable = 1;
        ts.PredictorCount = 1;
        ts.PredictorList[1] = 2;
        ts.ResultsAvailable = ts.ResultsCurrent = true;
        ts.Coefficients[3][1] = -12345.6;  // a long number
        TDisplayResults results(ts, warnings);
        QVERIFY(test::ShowActive(&results));
        QVERIFY(fits(results.Tab, 0, 1));  // WWWWWWWWWWWW of the dependent variable
        QVERIFY(fits(results.Tab, 3, 0));  // MMMMMMMMMMMM of the predictor
        QVERIFY(fits(results.Tab, 3, 1));

        TEnterVariable enter(ts, warnings);
        QVERIFY(test::ShowActive(&enter));
        enter.Edit1->setText(QString(MaxNameLength, u'W'));
        QVERIFY(enter.Edit1->fontMetrics().horizontalAdvance(enter.Edit1->text()) <
                enter.Edit1->contentsRect().width());
    }
};

QTEST_MAIN(WindowPlacementTest)
#include "window_placement_test.moc"
