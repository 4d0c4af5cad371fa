// What a screen reader finds through Qt's accessibility interfaces: the grids
// as named tables of cells whose bold weight and meaning can be read, table
// editor cells that take a number the way typing does, and a name for every
// control of every window.
#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QtTest>
#include <memory>

#include "app_windows.h"
#include "data_entry_test_support.h"
#include "edit_table.h"
#include "edit_variable.h"
#include "model_fit.h"
#include "model_test_support.h"
#include "painted_grid.h"
#include "table_set.h"
#include "test_support.h"
#include "window_test_support.h"

using namespace kelvo;
using namespace kelvo::ui;

namespace {

OutputCell Cell(CellRole role, double value = 0, std::string text = {}) {
    OutputCell cell;
    cell.role = role;
    cell.value = value;
    cell.text = std::move(text);
    return cell;
}

// Two categories by a plain, a summary and a third column:
//            A      Average  B
//   Yes    12.3 b   45.6 b  -1.0 r
//   No      7.0    101.0 r   8.0
// (b: significant, r: out of range); a significant value in the summary
// column is not bold.
OutputTable SampleTable() {
    OutputTable table;
    table.Reset("Sample", 4);
    table.cells = {Cell(CellRole::Corner),
                   Cell(CellRole::Heading, 0, "A"),
                   Cell(CellRole::SummaryHeading, 0, "Average"),
                   Cell(CellRole::Heading, 0, "B"),
                   Cell(CellRole::RowLabel, 0, "Yes"),
                   Cell(CellRole::SignificantPercent, 12.3),
                   Cell(CellRole::SignificantPercent, 45.6),
                   Cell(CellRole::OutOfRange, -1.0),
                   Cell(CellRole::RowLabel, 0, "No"),
                   Cell(CellRole::Percent, 7.0),
                   Cell(CellRole::OutOfRange, 101.0),
                   Cell(CellRole::Percent, 8.0)};
    return table;
}

QAccessibleInterface* Interface(QObject* object) {
    QAccessibleInterface* found = QAccessible::queryAccessibleInterface(object);
    if (found == nullptr) qFatal("no accessible interface for %s", object->metaObject()->className());
    return found;
}

QString Attributes(QAccessibleInterface* cell) {
    int start = -1;
    int end = -1;
    return cell->textInterface()->attributes(0, &start, &end);
}

// Cell (column, row) in grid coordinates, found the way an assistive
// technology finds it: data cells through the table, fixed ones as children.
QAccessibleInterface* GridCell(QAccessibleInterface* grid, int column, int row) {
    if (column > 0 && row > 0) return grid->tableInterface()->cellAt(row - 1, column - 1);
    return grid->child(row * (grid->tableInterface()->columnCount() + 1) + column);
}

}  // namespace

class AccessibilityTest : public QObject {
    Q_OBJECT

    test::RecordingWarnings warnings;

private slots:
    void gridCellsSayWhatTheirLookMeans_data() {
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("attributes");
        QTest::addColumn<QString>("description");
        QTest::addColumn<int>("role");
        QTest::newRow("significant") << 1 << 1 << "12.3" << "font-weight:700;" << "Significant"
                                     << int(QAccessible::Cell);
        QTest::newRow("significant in the summary column") << 2 << 1 << "45.6" << "font-weight:400;" << ""
                                                           << int(QAccessible::Cell);
        QTest::newRow("out of range") << 3 << 1 << "-1.0" << "font-weight:400;" << "Out of range"
                                      << int(QAccessible::Cell);
        QTest::newRow("out of range in the summary column") << 2 << 2 << "101.0" << "font-weight:400;"
                                                            << "Out of range" << int(QAccessible::Cell);
        QTest::newRow("plain") << 1 << 2 << "7.0" << "font-weight:400;" << "" << int(QAccessible::Cell);
        QTest::newRow("heading") << 2 << 0 << "Average" << "font-weight:400;" << ""
                                 << int(QAccessible::ColumnHeader);
        QTest::newRow("row label") << 0 << 2 << "No" << "font-weight:400;" << "" << int(QAccessible::RowHeader);
    }
    void gridCellsSayWhatTheirLookMeans() {
        QFETCH(int, column);
        QFETCH(int, row);
        QFETCH(QString, name);
        QFETCH(QString, attributes);
        QFETCH(QString, description);
        QFETCH(int, role);
        OutputGrid grid(nullptr, 6);
        grid.ShowTable(SampleTable());
        grid.SetCellToolTip(3, 2, "the tip");
        QAccessibleInterface* table = Interface(&grid);
        QCOMPARE(table->role(), QAccessible::Table);
        QAccessibleInterface* cell = GridCell(table, column, row);
        QVERIFY(cell != nullptr && cell->isValid());
        QCOMPARE(cell->text(QAccessible::Name), name);  // without the field's padding
        QCOMPARE(cell->textInterface()->text(0, cell->textInterface()->characterCount()), cell->text(QAccessible::Name));
        QCOMPARE(Attributes(cell), attributes);
        QCOMPARE(cell->text(QAccessible::Description), description);
        QCOMPARE(int(cell->role()), role);
        QVERIFY(cell->editableTextInterface() == nullptr);
        QVERIFY(cell->state().readOnly);
        // A tool tip follows what the look means.
        QCOMPARE(GridCell(table, 3, 2)->text(QAccessible::Description), QString("the tip"));
    }

    // The table's cells, headers and children agree with each other and
    // with the grid as it is now: a cell beyond a smaller grid is gone. The
    // children are numbered as Qt's table views number the cell in their
    // focus events: row by row, the fixed row and column included.
    void gridIsATableOfItsCells() {
        OutputGrid grid(nullptr, 6);
        grid.ShowTable(SampleTable());
        QAccessibleInterface* table = Interface(&grid);
        QAccessibleTableInterface* cells = table->tableInterface();
        QCOMPARE(cells->rowCount(), 2);
        QCOMPARE(cells->columnCount(), 3);
        QCOMPARE(table->childCount(), 12);
        QAccessibleInterface* b = cells->cellAt(0, 2);
        QCOMPARE(table->indexOfChild(b), 7);
        QCOMPARE(table->child(7), b);
        QCOMPARE(b->parent(), table);
        QCOMPARE(b->tableCellInterface()->columnHeaderCells().value(0)->text(QAccessible::Name), QString("B"));
        QCOMPARE(b->tableCellInterface()->rowHeaderCells().value(0)->text(QAccessible::Name), QString("Yes"));
        QCOMPARE(cells->columnDescription(1), QString("Average"));
        QCOMPARE(table->childAt(b->rect().center().x(), b->rect().center().y()), b);

        OutputTable smaller;
        smaller.Reset("Smaller", 2);
        smaller.cells = {Cell(CellRole::Corner), Cell(CellRole::Heading, 0, "A"), Cell(CellRole::RowLabel, 0, "Yes"),
                         Cell(CellRole::Percent, 1.0)};
        grid.ShowTable(smaller);
        QVERIFY(!b->isValid());
        QCOMPARE(table->indexOfChild(b), -1);
        QCOMPARE(cells->cellAt(0, 2), nullptr);
        QCOMPARE(cells->cellAt(0, 0)->text(QAccessible::Name), QString("1.0"));
    }

    // A number set through the accessibility interface is stored, moves the
    // totals and reaches the recovery journal as a typed one does; a text
    // that is not a whole number stores 0 as typing does; the totals take
    // nothing; undo takes each back.
    void tableEditorCellsTakeANumberAsTypingDoes() {
        TableSet ts = test::MakeTableSet({{"Age", {"Young", "Old"}}, {"Sex", {"Male", "Female"}}});
        test::SetTable(ts, 2, 1, {{5, 1}, {3, 4}});
        TEditTable editor(ts, warnings);
        int changes = 0;
        editor.seams.changed = [&changes] { ++changes; };
        QVERIFY(test::ShowActive(&editor));
        QAccessibleInterface* grid = Interface(editor.Tab);
        QCOMPARE(grid->text(QAccessible::Name), QString("Table 1: Sex by Age"));

        QAccessibleInterface* cell = grid->tableInterface()->cellAt(0, 1);  // Male, Old
        QVERIFY(cell->state().editable);
        QAccessibleEditableTextInterface* input = cell->editableTextInterface();
        QVERIFY(input != nullptr);
        input->replaceText(0, cell->textInterface()->characterCount(), "42");
        QCOMPARE(ts.PairTables[1][1][2], 42);
        QCOMPARE(editor.CellText(3, 1), QString("47"));  // the row's total
        QCOMPARE(editor.CellText(3, 3), QString("54"));  // the grand total
        QCOMPARE(changes, 1);
        input->insertText(0, "1");
        QCOMPARE(ts.PairTables[1][1][2], 142);
        input->replaceText(0, 3, "x");
        QCOMPARE(ts.PairTables[1][1][2], 0);
        QCOMPARE(cell->text(QAccessible::Name), QString("0"));
        // Each number set so is a step of its own for undo.
        QTest::keyClick(editor.Tab, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(ts.PairTables[1][1][2], 142);
        QTest::keyClick(editor.Tab, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(ts.PairTables[1][1][2], 42);

        QAccessibleInterface* total = grid->tableInterface()->cellAt(0, 2);
        QVERIFY(total->editableTextInterface() == nullptr);
        QVERIFY(total->state().readOnly);
    }

    // Every control that can take the keyboard, in every window as it shows
    // its content, has a name for a screen reader to say, and no two in a
    // window have the same.
    void everyControlHasAName() {
        auto ts = test::ThirtySeventyModel();
        ComputeModelSummary(*ts);
        AppWindows windows(*ts);
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (auto* variable = qobject_cast<TEditVariable*>(window)) variable->EditedVariable = 1;
            if (window->objectName() != "Main") window->show();
        }
        QStringList unnamed;
        QMap<QWidget*, QStringList> names;
        for (QWidget* control : QApplication::allWidgets()) {
            // Parts of a control (the text field of a spin box) are named by it.
            if (control->focusPolicy() == Qt::NoFocus || control->objectName().startsWith("qt_")) continue;
            const QString name = Interface(control)->text(QAccessible::Name).trimmed();
            const QString where = control->window()->objectName() + "." + control->objectName() + " (" +
                                  control->metaObject()->className() + ")";
            if (name.isEmpty()) unnamed << where;
            else if (names[control->window()].contains(name)) unnamed << where + " again named " + name;
            names[control->window()] << name;
        }
        for (QWidget* window : QApplication::topLevelWidgets()) window->hide();
        QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(", ")));
    }
};

QTEST_MAIN(AccessibilityTest)
#include "accessibility_test.moc"
