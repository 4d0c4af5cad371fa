// Renders the data entry windows offscreen as a user would see them during
// "Create KELVO file". With KELVO_SCREENSHOT_DIR set, each window is also
// written there as a PNG (create_variables.png, enter_variable.png,
// edit_variables.png, edit_variable.png, edit_table.png, edit_table_16.png).
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QTableWidget>
#include <QtTest>

#include "clamping_spin_box.h"
#include "create_variables.h"
#include "data_entry_test_support.h"
#include "dialog_frame.h"
#include "edit_table.h"
#include "edit_variable.h"
#include "edit_variables.h"
#include "enter_variable.h"
#include "test_support.h"
#include "window_test_support.h"

using namespace kelvo;
using namespace kelvo::ui;

class DataEntryScreenshotsTest : public QObject {
    Q_OBJECT

    TableSet ts;
    test::RecordingWarnings warnings;

    // Grabs `window` after it has been shown and checks the frame of what
    // any user sees: the window background colour, and a sensible size.
    void Render(QWidget* window, const QString& name) {
        QVERIFY(test::ShowActive(window));
        QApplication::processEvents();
        const QImage image = window->grab().toImage();
        QVERIFY(image.width() >= 150 && image.height() >= 80);
        QCOMPARE(QColor(image.pixel(2, 2)), WindowColor());
        const QString dir = qEnvironmentVariable("KELVO_SCREENSHOT_DIR");
        if (!dir.isEmpty()) {
            QVERIFY(QDir().mkpath(dir));
            QVERIFY(image.save(QDir(dir).filePath(name + ".png")));
        }
    }

private slots:
    void initTestCase() {
        ts = test::MakeTableSet({{"Class", {"First", "Second", "Third", "Crew"}},
                                 {"Age", {"Child", "Adult"}},
                                 {"Sex", {"Male", "Female"}},
                                 {"Survived", {"No", "Yes"}}});
        test::SetTable(ts, 2, 1, {{6, 24, 79, 0}, {319, 261, 627, 885}});
    }

    void createVariables() {
        TCreateVariables window(ts, warnings);
        window.Tab->setCurrentCell(1, 0);
        Render(&window, "create_variables");
        // Every one of the 16 rows fits without scrolling.
        QVERIFY(window.Tab->visualItemRect(window.Tab->item(15, 0)).bottom() < window.Tab->viewport()->height());
    }

    void enterVariable() {
        TEnterVariable window(ts, warnings);
        window.Edit1->setText("Survived");
        window.SpinEdit1->setValue(2);
        Render(&window, "enter_variable");
    }

    void editVariables() {
        TEditVariables window(ts, warnings);
        Render(&window, "edit_variables");
    }

    void editVariable() {
        TEditVariable window(ts, warnings);
        window.EditedVariable = 1;
        Render(&window, "edit_variable");
    }

    void editTable() {
        TEditTable window(ts, warnings);
        window.SetCurrentCell(2, 1);
        Render(&window, "edit_table");
        window.ShowJournalProblem("Recovery file not written: Disk full");
        Render(&window, "edit_table_journal_failed");
    }

    void editTableOfSixteenCategories() {
        TableSet wide = test::MakeTableSet({{"Region", {}}, {"Age group", {}}});
        wide.CategoryCounts[1] = wide.CategoryCounts[2] = 16;
        ResetCategoryNames(wide);
        for (int i = 1; i <= 16; ++i)
            for (int j = 1; j <= 16; ++j) wide.PairTables[1][i][j] = i * 100 + j;
        TEditTable window(wide, warnings);
        window.resize(window.minimumSizeHint());
        Render(&window, "edit_table_16");
        const QRect totalsRow = window.Tab->visualRect(window.Tab->model()->index(16, 0));
        QVERIFY(totalsRow.bottom() < window.Tab->viewport()->height());
    }
};

QTEST_MAIN(DataEntryScreenshotsTest)
#include "data_entry_screenshots_test.moc"
