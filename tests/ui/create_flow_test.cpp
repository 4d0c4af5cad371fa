// One whole "Create KELVO file" run through the real windows, wired as the
// program wires them, typed with real key events: three variables with
// named categories, every pair table typed, the table set written and read
// back equal.
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QtTest>

#include "create_variables.h"
#include "data_entry_test_support.h"
#include "edit_table.h"
#include "edit_variable.h"
#include "edit_variables.h"
#include "enter_variable.h"
#include "table_set_file.h"
#include "test_support.h"
#include "window_test_support.h"

using namespace kelvo;
using namespace kelvo::ui;

namespace {

struct VariableInput {
    QString name;
    QString count;
    QStringList categories;
};

const QList<VariableInput> Variables = {
    {"Survived", "", {"No", "Yes"}},
    {"Class", "4", {"First", "Second", "Third", "Crew"}},
    {"Sex", "2", {"Male", "Female"}},
};

// Tables 1..3 as typed, rows of the later variable by columns of the earlier.
const QList<QList<QStringList>> Tables = {
    {{"122", "203"}, {"167", "118"}, {"528", "178"}, {"673", "212"}},  // Class by Survived
    {{"1364", "367"}, {"126", "344"}},                                // Sex by Survived
    {{"180", "179", "510", "862"}, {"145", "106", "196", "23"}},       // Sex by Class
};

}  // namespace

class CreateFlowTest : public QObject {
    Q_OBJECT

private slots:
    void createTypeWriteAndReadBack() {
        test::TempDir dir;
        TableSet ts = test::CreatedTableSet();
        ts.FileName = (dir / "titanic.tbl").string();
        test::RecordingWarnings warnings;

        TCreateVariables create(ts, warnings);
        TEnterVariable enter(ts, warnings);
        TEditVariable variableEditor(ts, warnings);
        TEditTable tableEditor(ts, warnings);
        int entered = 0;
        create.seams.askVariable = [&](const VariableEntry& proposal, int replaced) {
            const VariableInput& input = Variables[entered++];
            enter.Propose(proposal, replaced);
            [&] { QVERIFY(test::ShowActive(&enter)); }();
            test::TypeIntoFocus(input.name);
            if (!input.count.isEmpty()) {
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
                test::TypeIntoFocus(input.count);
            }
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            [&] { QVERIFY(!enter.isVisible()); }();
            return enter.Entered();
        };
        create.seams.showEditVariable = [&](int v) {
            variableEditor.EditedVariable = v;
            const VariableInput& input = Variables[entered - 1];
            QVERIFY(test::ShowActive(&variableEditor));
            QCOMPARE(variableEditor.NameEditor()->text(), input.name);
            QCOMPARE(variableEditor.Tab2->rowCount(), input.categories.size());
            for (const QString& category : input.categories) {
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
                test::TypeIntoFocus(category);  // replaces the selected "Cn"
            }
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
            QVERIFY(!variableEditor.isVisible());
        };
        create.seams.showEditTable = [&] {
            QVERIFY(test::ShowActive(&tableEditor));
            for (int k = 1; k <= Tables.size(); ++k) {
                QCOMPARE(tableEditor.TableNumber(), k);
                const QList<QStringList>& rows = Tables[k - 1];
                for (int i = 1; i <= rows.size(); ++i)
                    for (int j = 1; j <= rows[i - 1].size(); ++j) {
                        tableEditor.SetCurrentCell(j, i);
                        tableEditor.Tab->setFocus();
                        test::TypeIntoFocus(rows[i - 1][j - 1]);
                    }
                QTest::mouseClick(k < Tables.size() ? tableEditor.NextButton : tableEditor.OKButton, Qt::LeftButton);
            }
            QVERIFY(!tableEditor.isVisible());
        };

        QVERIFY(test::ShowActive(&create));
        for (int v = 0; v < Variables.size(); ++v) QTest::mouseClick(create.AddButton, Qt::LeftButton);
        QCOMPARE(entered, 3);
        QTest::mouseClick(create.CancelButton, Qt::LeftButton);
        QVERIFY(!create.isVisible());
        QVERIFY(warnings.warnings.empty());

        QCOMPARE(ts.VariableCount, 3);
        QCOMPARE(ts.CategoryNames[2][4].str(), std::string("Crew"));
        QCOMPARE(ts.PairTables[PairIndex(3, 2)][2][4], 23);
        QCOMPARE(ts.PairTables[PairIndex(2, 1)][4][1], 673);

        WriteTableSet(ts);
        TableSet back;
        back.FileName = ts.FileName;
        ReadTableSet(back, warnings);
        QVERIFY(warnings.warnings.empty());
        QCOMPARE(QString::fromStdString(test::DataEntryFields(back)), QString::fromStdString(test::DataEntryFields(ts)));
    }
};

QTEST_MAIN(CreateFlowTest)
#include "create_flow_test.moc"
