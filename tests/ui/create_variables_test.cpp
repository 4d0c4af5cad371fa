// The variable list editor and the new-variable entry, driven with real key
// events; the windows they open are shown without blocking and observed.
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QtTest>
#include <memory>

#include "clamping_spin_box.h"
#include "create_variables.h"
#include "data_entry_test_support.h"
#include "edit_table.h"
#include "edit_variable.h"
#include "edit_variables.h"
#include "enter_variable.h"
#include "table_set_undo.h"
#include "test_support.h"
#include "window_test_support.h"

using namespace kelvo;
using namespace kelvo::ui;
using kelvo::test::RecordingWarnings;

namespace {

// What the user types into the entry dialog: a name (typed over the old
// one) and, unless empty, a category count.
struct Entry {
    QString name;
    QString count;
};

QStringList ListRows(const QTableWidget* list) {
    QStringList rows;
    for (int row = 0; row < list->rowCount(); ++row) rows << list->item(row, 0)->text();
    return rows;
}

}  // namespace

class CreateVariablesTest : public QObject {
    Q_OBJECT

    TableSet ts;
    RecordingWarnings warnings;
    std::unique_ptr<TCreateVariables> create;
    std::unique_ptr<TEnterVariable> enter;
    std::unique_ptr<TEditVariables> editVariables;
    std::unique_ptr<TEditVariable> editVariable;
    std::unique_ptr<TEditTable> editTable;

    QList<Entry> entries;            // consumed by the entry dialog, one per showing
    QList<QStringList> editorViews;  // name and categories the variable editor showed
    QList<int> editedVariables;
    int tableEditorShowings = 0;

    void Open(const TableSet& tables) {
        ts = tables;
        create = std::make_unique<TCreateVariables>(ts, warnings);
        enter = std::make_unique<TEnterVariable>(ts, warnings);
        editVariables = std::make_unique<TEditVariables>(ts, warnings);
        editVariable = std::make_unique<TEditVariable>(ts, warnings);
        editTable = std::make_unique<TEditTable>(ts, warnings);
        create->seams.askVariable = [this](const VariableEntry& proposal, int replaced) {
            enter->Propose(proposal, replaced);
            TypeEntry();
            return enter->Entered();
        };
        create->seams.showEditVariable = [this](int v) {
            editVariable->EditedVariable = v;
            LookAtVariableEditor();
        };
        create->seams.showEditTable = [this] { ++tableEditorShowings; };
        QVERIFY(test::ShowActive(create.get()));
    }

    void TypeEntry() {
        QVERIFY(!entries.isEmpty());
        const Entry entry = entries.takeFirst();
        QVERIFY(test::ShowActive(enter.get()));
        QCOMPARE(QApplication::focusWidget(), enter->Edit1);
        QTest::keyClick(enter->Edit1, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(enter->Edit1, Qt::Key_Backspace);
        test::TypeIntoFocus(entry.name);
        if (!entry.count.isEmpty()) {
            QTest::keyClick(enter->Edit1, Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), enter->SpinEdit1);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
            test::TypeIntoFocus(entry.count);
        }
        QTest::mouseClick(enter->OKButton, Qt::LeftButton);
        QVERIFY(!enter->isVisible());
    }

    void LookAtVariableEditor() {
        QVERIFY(test::ShowActive(editVariable.get()));
        editedVariables << editVariable->EditedVariable;
        QStringList view{editVariable->NameEditor()->text()};
        for (int row = 0; row < editVariable->Tab2->rowCount(); ++row) view << editVariable->CategoryEditor(row)->text();
        editorViews << view;
        QTest::mouseClick(editVariable->OKButton, Qt::LeftButton);
        QVERIFY(!editVariable->isVisible());
    }

    void Add(const QString& name, const QString& count = QString()) {
        entries << Entry{name, count};
        QTest::mouseClick(create->AddButton, Qt::LeftButton);
        QVERIFY(entries.isEmpty());
    }

    void Select(int row) { QTest::mouseClick(create->Tab->viewport(), Qt::LeftButton, {}, create->Tab->visualItemRect(create->Tab->item(row, 0)).center()); }

    static TableSet ThreeVariables() {
        return test::CreatedTableSet({{"X", {"C1", "C2"}}, {"Y", {"C1", "C2", "C3"}}, {"Z", {"z1", "z2", "z3", "z4"}}});
    }

private slots:
    void init() {
        warnings.warnings.clear();
        entries.clear();
        editorViews.clear();
        editedVariables.clear();
        tableEditorShowings = 0;
    }

    void windowsHaveTheirCaptions() {
        Open(test::CreatedTableSet());
        QCOMPARE(create->windowTitle(), QString(" Create variables"));
        QCOMPARE(enter->windowTitle(), QString(" Enter variable"));
        QCOMPARE(create->Tab->rowCount(), 16);
        QCOMPARE(enter->Edit1->maxLength(), 12);
        QCOMPARE(enter->SpinEdit1->minimum(), 2);
        QCOMPARE(enter->SpinEdit1->maximum(), 16);
    }

    void addingTheFirstVariable() {
        Open(test::CreatedTableSet());
        Add("Age");
        QCOMPARE(ts.VariableCount, 1);
        QCOMPARE(ts.VariableNames[1].str(), std::string("Age"));
        QCOMPARE(int(ts.CategoryCounts[1]), 2);
        QCOMPARE(create->Tab->item(0, 0)->text(), QString("Age"));
        QCOMPARE(create->Tab->currentRow(), 0);
        QCOMPARE(editedVariables, QList<int>{1});
        QCOMPARE(editorViews.front(), QStringList({"Age", "C1", "C2"}));
    }

    void theVariableEditorsNamesReachTheList() {
        Open(test::CreatedTableSet());
        create->seams.showEditVariable = [this](int v) {
            editVariable->EditedVariable = v;
            QVERIFY(test::ShowActive(editVariable.get()));
            QTest::keyClick(editVariable->NameEditor(), Qt::Key_End);
            test::TypeIntoFocus("2");
            QTest::mouseClick(editVariable->OKButton, Qt::LeftButton);
        };
        Add("Sex");
        Add("Class");
        QCOMPARE(ListRows(create->Tab).mid(0, 3), QStringList({"Sex2", "Class2", ""}));
        QCOMPARE(create->Tab->currentRow(), 1);
    }

    void categoryCountIsClampedToTwoToSixteen_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("count");
        QTest::newRow("20") << "20" << 16;
        QTest::newRow("1") << "1" << 2;
        QTest::newRow("16") << "16" << 16;
        QTest::newRow("5") << "5" << 5;
        QTest::newRow("-3") << "-3" << 2;
        QTest::newRow("lone minus") << "-" << 2;
        QTest::newRow("decimal") << "3.5" << 2;
        QTest::newRow("letters are not taken") << "x7y" << 7;
    }
    void categoryCountIsClampedToTwoToSixteen() {
        QFETCH(QString, typed);
        QFETCH(int, count);
        Open(test::CreatedTableSet());
        Add("V", typed);
        QCOMPARE(int(ts.CategoryCounts[1]), count);
        QCOMPARE(editorViews.front().size(), 1 + count);
    }

    void arrowsStepWithinTheRange() {
        Open(test::CreatedTableSet());
        enter->SpinEdit1->setValue(2);
        QVERIFY(test::ShowActive(enter.get()));
        enter->SpinEdit1->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
        QCOMPARE(enter->SpinEdit1->value(), 2);
        for (int i = 0; i < 20; ++i) QTest::keyClick(QApplication::focusWidget(), Qt::Key_Up);
        QCOMPARE(enter->SpinEdit1->value(), 16);
        enter->hide();
    }

    void entryWithAnEmptyNameStaysOpen() {
        Open(test::CreatedTableSet());
        enter->Edit1->clear();
        QVERIFY(test::ShowActive(enter.get()));
        QTest::mouseClick(enter->OKButton, Qt::LeftButton);
        QVERIFY(enter->isVisible());
        QTest::keyClick(enter->Edit1, Qt::Key_Escape);
        QVERIFY(enter->isVisible());
        QVERIFY(!enter->close());
        QVERIFY(enter->isVisible());
        QVERIFY(warnings.warnings.empty());
        QTest::mouseClick(enter->Edit1, Qt::LeftButton);
        test::TypeIntoFocus("A");
        QTest::keyClick(enter->Edit1, Qt::Key_Return);
        QVERIFY(!enter->isVisible());
    }

    // Names that the table-set file could not give back are refused with a
    // warning that says why; the entry stays open with the text.
    void entryRefusesNamesTheFileCannotHold_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("replaced");
        QTest::addColumn<QString>("warning");
        QTest::newRow("star") << "A*B" << 0 << "A variable name cannot contain \"*\"";
        QTest::newRow("another's name") << "Y" << 0 << "Variable 2 is already named Y";
        QTest::newRow("another's name when editing") << "Z" << 2 << "Variable 3 is already named Z";
        QTest::newRow("euro sign") << QString::fromUtf8("Pre\u20ac") << 0 << "A name cannot hold the character U+20AC";
    }
    void entryRefusesNamesTheFileCannotHold() {
        QFETCH(QString, name);
        QFETCH(int, replaced);
        QFETCH(QString, warning);
        Open(ThreeVariables());
        enter->Edit1->clear();
        enter->ReplacedVariable = replaced;
        QVERIFY(test::ShowActive(enter.get()));
        for (const QChar c : name) QTest::sendKeyEvent(QTest::Click, enter->Edit1, Qt::Key_unknown, QString(c), Qt::NoModifier);
        QCOMPARE(enter->Edit1->text(), name);
        QTest::mouseClick(enter->OKButton, Qt::LeftButton);
        QVERIFY(enter->isVisible());
        QCOMPARE(enter->Edit1->text(), name);
        QCOMPARE(warnings.warnings.size(), std::size_t{1});
        QCOMPARE(QString::fromStdString(warnings.warnings[0]), warning);
        enter->hide();
    }

    void entryAcceptsItsOwnAndNearNames_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("replaced");
        QTest::newRow("own name when editing") << "Y" << 2;
        QTest::newRow("differs in case") << "y" << 0;
        QTest::newRow("trailing space") << "Y " << 0;
        QTest::newRow("Latin-1 letters") << QString::fromUtf8("\u00c4lter") << 0;
    }
    void entryAcceptsItsOwnAndNearNames() {
        QFETCH(QString, name);
        QFETCH(int, replaced);
        Open(ThreeVariables());
        enter->Edit1->setText(name);
        enter->ReplacedVariable = replaced;
        QVERIFY(test::ShowActive(enter.get()));
        QTest::mouseClick(enter->OKButton, Qt::LeftButton);
        QVERIFY(!enter->isVisible());
        QVERIFY(warnings.warnings.empty());
        QCOMPARE(enter->Entered().name, name.toLatin1().toStdString());
    }

    void aSeventeenthVariableIsRefused() {
        TableSet tables = test::CreatedTableSet();
        tables.VariableCount = 16;
        for (int v = 1; v <= 16; ++v) {
            tables.VariableNames[v] = "V" + std::to_string(v);
            tables.CategoryCounts[v] = 2;
        }
        Open(tables);
        const TableSet before = ts;
        QTest::mouseClick(create->AddButton, Qt::LeftButton);
        QCOMPARE(warnings.warnings, std::vector<std::string>{"A table set holds at most 16 variables"});
        QCOMPARE(ts.VariableCount, 16);
        QVERIFY(editorViews.isEmpty());
        QCOMPARE(test::DataEntryFields(ts), test::DataEntryFields(before));
        QCOMPARE(ListRows(create->Tab).back(), QString("V16"));
    }

    void deletingTheMiddleOfThreeVariables() {
        Open(ThreeVariables());
        Select(1);
        QTest::mouseClick(create->DeleteButton, Qt::LeftButton);
        QCOMPARE(ts.VariableCount, 2);
        QCOMPARE(ts.VariableNames[2].str(), std::string("Z"));
        QCOMPARE(int(ts.CategoryCounts[2]), 4);
        for (int n = 1; n <= 4; ++n) QCOMPARE(ts.CategoryNames[2][n].str(), "z" + std::to_string(n));
        QCOMPARE(ListRows(create->Tab).mid(0, 3), QStringList({"X", "Z", ""}));
        QCOMPARE(create->Tab->currentRow(), 1);
    }

    void deletingTheLastOfThreeThenNothingMore() {
        Open(ThreeVariables());
        Select(2);
        QTest::keyClick(create.get(), Qt::Key_D, Qt::AltModifier);
        QTRY_COMPARE(ts.VariableCount, 2);
        QCOMPARE(create->Tab->currentRow(), 1);
        QTest::mouseClick(create->DeleteButton, Qt::LeftButton);
        QCOMPARE(ts.VariableCount, 2);
        QCOMPARE(ListRows(create->Tab).mid(0, 3), QStringList({"X", "Y", ""}));
    }

    void editAndDeleteOnAnEmptyRowDoNothing() {
        Open(ThreeVariables());
        const std::string before = test::DataEntryFields(ts);
        Select(5);
        QTest::mouseClick(create->EditButton, Qt::LeftButton);
        QTest::mouseClick(create->DeleteButton, Qt::LeftButton);
        QVERIFY(editorViews.isEmpty());
        QCOMPARE(test::DataEntryFields(ts), before);
    }

    void raisingACountShowsTheSlotsNames() {
        Open(ThreeVariables());
        Select(1);
        entries << Entry{"Y", "5"};
        QTest::mouseClick(create->EditButton, Qt::LeftButton);
        QCOMPARE(int(ts.CategoryCounts[2]), 5);
        QCOMPARE(editedVariables, QList<int>{2});
        QCOMPARE(editorViews.front(), QStringList({"Y", "C1", "C2", "C3", "C4", "C5"}));
    }

    void editRenamesAndLowersTheCount() {
        Open(ThreeVariables());
        Select(2);
        entries << Entry{"Zed", "2"};
        QTest::mouseClick(create->EditButton, Qt::LeftButton);
        QCOMPARE(ts.VariableNames[3].str(), std::string("Zed"));
        QCOMPARE(int(ts.CategoryCounts[3]), 2);
        // The dropped categories keep their names in their slots.
        QCOMPARE(ts.CategoryNames[3][4].str(), std::string("z4"));
        QCOMPARE(create->Tab->item(2, 0)->text(), QString("Zed"));
    }

    void okOpensTheTableEditorAndThenCloses_data() {
        QTest::addColumn<int>("variables");
        QTest::newRow("three") << 3;
        QTest::newRow("none") << 0;
    }
    void okOpensTheTableEditorAndThenCloses() {
        QFETCH(int, variables);
        TableSet tables = ThreeVariables();
        tables.VariableCount = variables;
        Open(tables);
        create->seams.showEditTable = [this] {
            ++tableEditorShowings;
            QVERIFY(create->isVisible());
        };
        QTest::mouseClick(create->CancelButton, Qt::LeftButton);
        QCOMPARE(tableEditorShowings, 1);
        QVERIFY(!create->isVisible());
    }

    void theListEditorHasNoOtherWayOut() {
        Open(ThreeVariables());
        QTest::keyClick(create.get(), Qt::Key_Escape);
        QVERIFY(!create->close());
        QVERIFY(create->isVisible());
        QCOMPARE(tableEditorShowings, 0);
    }

    // Add, Edit and Delete are a step each with all they brought: Ctrl+Z
    // takes them back in turn (a deleted variable comes back with its names
    // and tables), Ctrl+Shift+Z and Ctrl+Y make them again; the recovery
    // journal hears of each.
    void addEditAndDeleteAreUndoneAndRedone() {
        TableSet tables = ThreeVariables();
        test::SetTable(tables, 3, 2, {{1, 2, 3}, {4, 5, 6}, {7, 8, 9}, {10, 11, 12}});
        Open(tables);
        int journal = 0;
        create->seams.changed = [&] { ++journal; };
        const TableSet start = ts;
        Add("W", "2");
        Select(0);
        entries << Entry{"Xx", ""};
        QTest::mouseClick(create->EditButton, Qt::LeftButton);
        Select(1);
        QTest::mouseClick(create->DeleteButton, Qt::LeftButton);
        QCOMPARE(ListRows(create->Tab).mid(0, 4), QStringList({"Xx", "Z", "W", ""}));
        const int made = journal;
        QVERIFY(test::ShowActive(create.get()));  // back from the windows it opened
        const auto press = [&](Qt::Key key, Qt::KeyboardModifiers modifiers) {
            QTest::keyClick(create->Tab, key, modifiers);
            return ListRows(create->Tab).mid(0, 4).join(',');
        };
        QCOMPARE(press(Qt::Key_Z, Qt::ControlModifier), QString("Xx,Y,Z,W"));
        QCOMPARE(int(ts.CategoryCounts[2]), 3);
        QCOMPARE(kelvo::PairCell(ts, 3, 4, 2, 3), 12);  // Z by Y as it was
        QCOMPARE(press(Qt::Key_Z, Qt::ControlModifier), QString("X,Y,Z,W"));
        QCOMPARE(press(Qt::Key_Z, Qt::ControlModifier), QString("X,Y,Z,"));
        QVERIFY(SameContent(ts, start));
        QCOMPARE(journal, made + 3);
        QCOMPARE(press(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier), QString("X,Y,Z,W"));
        QCOMPARE(press(Qt::Key_Y, Qt::ControlModifier), QString("Xx,Y,Z,W"));
        QCOMPARE(press(Qt::Key_Y, Qt::ControlModifier), QString("Xx,Z,W,"));
        QCOMPARE(ts.VariableCount, 3);
    }
};

QTEST_MAIN(CreateVariablesTest)
#include "create_variables_test.moc"
