// The table editor driven with real key events: running totals, the integer
// rule, walking the tables, the cell colours, copy and paste.
#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QLineEdit>
#include <QScrollBar>
#include <QTableWidget>
#include <QtTest>
#include <memory>

#include "data_entry_test_support.h"
#include "edit_table.h"
#include "pasted_table.h"
#include "test_support.h"
#include "window_test_support.h"

using namespace kelvo;
using namespace kelvo::ui;
using kelvo::test::RecordingWarnings;

namespace {

// Age (3 categories) and Sex (2): table 1 has Sex as row variable.
TableSet TwoVariables() {
    TableSet ts = test::MakeTableSet({{"Age", {"Young", "Middle", "Old"}}, {"Sex", {"Male", "Female"}}});
    test::SetTable(ts, 2, 1, {{5, 1, 2}, {3, 4, 6}});
    return ts;
}

TableSet FourVariables() {
    return test::MakeTableSet({{"A", {"a1", "a2"}}, {"B", {"b1", "b2"}}, {"C", {"c1", "c2"}}, {"D", {"d1", "d2"}}});
}

void TypeInCell(TEditTable& editor, int column, int row, const QString& text) {
    editor.SetCurrentCell(column, row);
    editor.Tab->setFocus();
    test::TypeIntoFocus(text);
}

void PressInFocus(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(QApplication::focusWidget(), key, modifiers);
}

}  // namespace

class EditTableTest : public QObject {
    Q_OBJECT

    TableSet ts;
    RecordingWarnings warnings;
    std::unique_ptr<TEditTable> editor;

    void Open(const TableSet& tables) {
        ts = tables;
        editor = std::make_unique<TEditTable>(ts, warnings);
        QVERIFY(test::ShowActive(editor.get()));
    }
    std::int32_t Cell(int k, int row, int column) const { return ts.PairTables[k][row][column]; }

private slots:
    void init() { warnings.warnings.clear(); }
    void cleanup() { editor.reset(); }

    void showsCaptionHeadersCellsAndTotals() {
        Open(TwoVariables());
        QCOMPARE(editor->windowTitle(), QString(" Edit table"));
        QCOMPARE(editor->Label1->text(), QString("Table 1: Sex by Age"));
        QCOMPARE(editor->RowCount(), 4);
        QCOMPARE(editor->ColumnCount(), 5);
        const QStringList expected = {"|Young|Middle|Old|Total", "Male|5|1|2|8", "Female|3|4|6|13", "Total|8|5|8|21"};
        for (int row = 0; row < 4; ++row) {
            QStringList line;
            for (int column = 0; column < 5; ++column) line << editor->CellText(column, row);
            QCOMPARE(line.join('|'), expected[row]);
        }
    }

    // Typing 1 then 2 into a cell holding 5 stores 1 and then 12; every total
    // moves by -4 and then by +11.
    void everyKeystrokeIsStoredAndMovesTheTotals() {
        Open(TwoVariables());
        TypeInCell(*editor, 1, 1, "1");
        QCOMPARE(Cell(1, 1, 1), 1);
        QCOMPARE(editor->CellText(4, 1), QString("4"));
        QCOMPARE(editor->CellText(1, 3), QString("4"));
        QCOMPARE(editor->CellText(4, 3), QString("17"));
        test::TypeIntoFocus("2");
        QCOMPARE(Cell(1, 1, 1), 12);
        QCOMPARE(editor->CellText(1, 1), QString("12"));
        QCOMPARE(editor->CellText(4, 1), QString("15"));
        QCOMPARE(editor->CellText(1, 3), QString("15"));
        QCOMPARE(editor->CellText(4, 3), QString("28"));
    }

    void invalidTextBecomesZero_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("stored");
        QTest::newRow("letter") << "a" << "0" << 0;
        QTest::newRow("lone minus") << "-" << "0" << 0;
        QTest::newRow("lone plus") << "+" << "0" << 0;
        QTest::newRow("space") << " " << "0" << 0;
        QTest::newRow("minus then digits") << "-7" << "07" << 7;
        QTest::newRow("letter then digits") << "q3" << "03" << 3;
        // The tenth 9 leaves the 32-bit range: the cell becomes 0, and the
        // eleventh follows it.
        QTest::newRow("too large") << "99999999999" << "09" << 9;
    }
    void invalidTextBecomesZero() {
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        QFETCH(int, stored);
        Open(TwoVariables());
        TypeInCell(*editor, 2, 2, typed);
        QCOMPARE(editor->CellText(2, 2), shown);
        QCOMPARE(Cell(1, 2, 2), stored);
        QCOMPARE(editor->CellText(4, 2), QString::number(3 + stored + 6));
        auto* line = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        QVERIFY(line != nullptr);
        QCOMPARE(line->text(), shown);
    }

    // A negative or hexadecimal number, which cannot be typed key by key
    // (a lone "-" or "$" becomes 0), is stored when pasted as a whole.
    void wholeNumberPastedIntoTheEditor_data() {
        QTest::addColumn<QString>("pasted");
        QTest::addColumn<int>("stored");
        QTest::newRow("negative") << "-40" << -40;
        QTest::newRow("dollar hex") << "$1F" << 31;
        QTest::newRow("0x hex") << "0x10" << 16;
        QTest::newRow("leading spaces and sign") << "  +8" << 8;
    }
    void wholeNumberPastedIntoTheEditor() {
        QFETCH(QString, pasted);
        QFETCH(int, stored);
        Open(TwoVariables());
        TypeInCell(*editor, 3, 1, "9");
        QApplication::clipboard()->setText(pasted);
        PressInFocus(Qt::Key_A, Qt::ControlModifier);
        PressInFocus(Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(editor->CellText(3, 1), pasted);
        QCOMPARE(Cell(1, 1, 3), stored);
        QCOMPARE(editor->CellText(4, 1), QString::number(5 + 1 + stored));
    }

    void clearingACellStoresZeroAndLeavesItEmpty() {
        Open(TwoVariables());
        editor->SetCurrentCell(3, 2);
        editor->Tab->setFocus();
        QTest::keyClick(editor->Tab, Qt::Key_F2);
        PressInFocus(Qt::Key_A, Qt::ControlModifier);
        PressInFocus(Qt::Key_Backspace);
        QCOMPARE(editor->CellText(3, 2), QString());
        QCOMPARE(Cell(1, 2, 3), 0);
        QCOMPARE(editor->CellText(4, 2), QString("7"));
        QCOMPARE(editor->CellText(3, 3), QString("2"));
        QCOMPARE(editor->CellText(4, 3), QString("15"));
        // Moving on leaves the cell empty; OK stores 0 for it.
        editor->SetCurrentCell(1, 1);
        QCOMPARE(editor->CellText(3, 2), QString());
        editor->OKButtonClick();
        QCOMPARE(Cell(1, 2, 3), 0);
    }

    void typingIntoATotalsCellShowsTheTotalAgain_data() {
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("total");
        QTest::newRow("row total") << 4 << 1 << "8";
        QTest::newRow("column total") << 2 << 3 << "5";
        QTest::newRow("grand total") << 4 << 3 << "21";
    }
    void typingIntoATotalsCellShowsTheTotalAgain() {
        QFETCH(int, column);
        QFETCH(int, row);
        QFETCH(QString, total);
        Open(TwoVariables());
        const PairTable before = ts.PairTables[1];
        TypeInCell(*editor, column, row, "77");
        QCOMPARE(editor->CellText(column, row), total);
        QVERIFY(ts.PairTables[1] == before);
        editor->OKButtonClick();
        QVERIFY(ts.PairTables[1] == before);
    }

    void okStoresTheTableOnScreen() {
        Open(TwoVariables());
        ts.PairTables[1][2][3] = 999;  // changed behind the editor's back
        editor->OKButtonClick();
        QCOMPARE(Cell(1, 2, 3), 6);
        QVERIFY(!editor->isVisible());
    }

    void closeBoxKeepsWhatWasTyped() {
        Open(TwoVariables());
        TypeInCell(*editor, 2, 1, "30");
        QVERIFY(editor->close());
        QVERIFY(!editor->isVisible());
        QCOMPARE(Cell(1, 1, 2), 30);
    }

    void enterInACellDoesNotCloseTheWindow() {
        Open(TwoVariables());
        TypeInCell(*editor, 2, 1, "3");
        PressInFocus(Qt::Key_Return);
        QVERIFY(editor->isVisible());
        QCOMPARE(Cell(1, 1, 2), 3);
    }

    // Sums that leave the 32-bit range are shown exactly.
    void totalsDoNotWrapAround() {
        TableSet tables = TwoVariables();
        test::SetTable(tables, 2, 1, {{2147483647, 2147483647, 0}, {2147483647, 0, 0}});
        Open(tables);
        QCOMPARE(editor->CellText(4, 1), QString("4294967294"));
        QCOMPARE(editor->CellText(1, 3), QString("4294967294"));
        QCOMPARE(editor->CellText(4, 3), QString("6442450941"));
        TypeInCell(*editor, 1, 2, "1");
        QApplication::clipboard()->setText("-2147483648");
        PressInFocus(Qt::Key_A, Qt::ControlModifier);
        PressInFocus(Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(Cell(1, 2, 1), INT32_MIN);
        QCOMPARE(editor->CellText(1, 3), QString("-1"));
        QCOMPARE(editor->CellText(4, 3), QString("2147483646"));
    }

    void nextAndPreviousWalkTheTablesWithoutWrapping() {
        Open(FourVariables());
        const QList<QPair<int, int>> walk = {{2, 1}, {3, 1}, {3, 2}, {4, 1}, {4, 2}, {4, 3}};
        for (int k = 1; k <= 6; ++k) {
            QCOMPARE(editor->TableNumber(), k);
            QCOMPARE(editor->RowVariable(), walk[k - 1].first);
            QCOMPARE(editor->ColumnVariable(), walk[k - 1].second);
            if (k < 6) QTest::mouseClick(editor->NextButton, Qt::LeftButton);
        }
        QCOMPARE(editor->Label1->text(), QString("Table 6: D by C"));
        QTest::mouseClick(editor->NextButton, Qt::LeftButton);
        QCOMPARE(editor->TableNumber(), 6);
        for (int k = 6; k >= 1; --k) {
            QCOMPARE(editor->TableNumber(), k);
            // Alt+P, the button's mnemonic, clicks it after a short animation.
            if (k > 1) {
                QTest::keyClick(editor.get(), Qt::Key_P, Qt::AltModifier);
                QTRY_COMPARE(editor->TableNumber(), k - 1);
            }
        }
        QTest::mouseClick(editor->PrevButton, Qt::LeftButton);
        QCOMPARE(editor->TableNumber(), 1);
        QCOMPARE(editor->Label1->text(), QString("Table 1: B by A"));
    }

    void previousFromTheFirstColumnGoesToTheEarlierRowVariable() {
        Open(FourVariables());
        editor->DisplayTable(4, 1);
        editor->PrevButtonClick();
        QCOMPARE(editor->RowVariable(), 3);
        QCOMPARE(editor->ColumnVariable(), 2);
        editor->NextButtonClick();
        QCOMPARE(editor->TableNumber(), 4);
    }

    void withTwoVariablesThereIsOnlyTableOne() {
        Open(TwoVariables());
        editor->NextButtonClick();
        QCOMPARE(editor->TableNumber(), 1);
        editor->PrevButtonClick();
        QCOMPARE(editor->TableNumber(), 1);
        QCOMPARE(editor->Label1->text(), QString("Table 1: Sex by Age"));
    }

    void typedValuesSurviveMovingAway() {
        Open(FourVariables());
        TypeInCell(*editor, 2, 1, "17");
        QTest::keyClick(editor.get(), Qt::Key_N, Qt::AltModifier);
        QTRY_COMPARE(editor->TableNumber(), 2);
        QCOMPARE(Cell(1, 1, 2), 17);
        editor->PrevButtonClick();
        QCOMPARE(editor->CellText(2, 1), QString("17"));
        QCOMPARE(editor->CellText(3, 1), QString("17"));
    }

    void everyShowingStartsAtTableOne() {
        Open(FourVariables());
        for (int i = 0; i < 4; ++i) editor->NextButtonClick();
        QCOMPARE(editor->TableNumber(), 5);
        editor->OKButtonClick();
        QVERIFY(test::ShowActive(editor.get()));
        QCOMPARE(editor->TableNumber(), 1);
    }

    // The table set holds no pair table: no cells to type into, a caption
    // that says why, nothing written anywhere.
    void fewerThanTwoVariablesShowNoCells_data() {
        QTest::addColumn<int>("variables");
        QTest::newRow("none") << 0;
        QTest::newRow("one") << 1;
    }
    void fewerThanTwoVariablesShowNoCells() {
        QFETCH(int, variables);
        TableSet tables = FourVariables();
        test::SetTable(tables, 2, 1, {{1, 2}, {3, 4}});
        tables.VariableCount = variables;
        Open(tables);
        const PairTable before = ts.PairTables[1];
        QVERIFY(!editor->HasTable());
        QCOMPARE(editor->Tab->rowCount(), 0);
        QCOMPARE(editor->Tab->columnCount(), 0);
        QCOMPARE(editor->Label1->text(), QString("No tables: define at least two variables"));
        editor->Tab->setFocus();
        test::TypeIntoFocus("12");
        editor->NextButtonClick();
        editor->PrevButtonClick();
        QApplication::clipboard()->setText("5\t6\n7\t8");
        QTest::keyClick(editor->Tab, Qt::Key_V, Qt::ControlModifier);
        QTest::mouseClick(editor->OKButton, Qt::LeftButton);
        QVERIFY(!editor->isVisible());
        QVERIFY(ts.PairTables[1] == before);
    }

    void sixteenCategoriesScrollHorizontallyOnly() {
        TableSet tables = test::MakeTableSet({{"Wide", {}}, {"Tall", {}}});
        tables.CategoryCounts[1] = tables.CategoryCounts[2] = 16;
        ResetCategoryNames(tables);
        Open(tables);
        QCOMPARE(editor->RowCount(), 18);
        QCOMPARE(editor->ColumnCount(), 18);
        QCOMPARE(editor->Tab->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
        // Every row is visible without scrolling, the totals row included.
        const QRect lastRow = editor->Tab->visualRect(editor->Tab->model()->index(16, 0));
        QVERIFY(lastRow.bottom() < editor->Tab->viewport()->height());
        QScrollBar* bar = editor->Tab->horizontalScrollBar();
        QVERIFY(bar->maximum() > 0);
        const int headerX = editor->Tab->verticalHeader()->geometry().x();
        bar->setValue(bar->maximum());
        QVERIFY(editor->Tab->columnViewportPosition(0) < 0);
        QCOMPARE(editor->Tab->verticalHeader()->geometry().x(), headerX);
        QVERIFY(editor->Tab->verticalHeader()->isVisible());
    }

    void cellsArePaintedInTheirColours() {
        Open(TwoVariables());
        editor->SetCurrentCell(2, 2);
        editor->Tab->setFocus();
        const QImage image = editor->Tab->grab().toImage();
        const auto colourAt = [&](int column, int row) {
            QRect rect;
            if (row == 0 && column == 0) rect = QRect(0, 0, editor->Tab->verticalHeader()->width(), editor->Tab->horizontalHeader()->height());
            else if (row == 0) rect = QRect(editor->Tab->viewport()->x() + editor->Tab->columnViewportPosition(column - 1), 0, 75, editor->Tab->horizontalHeader()->height());
            else if (column == 0) rect = QRect(0, editor->Tab->viewport()->y() + editor->Tab->rowViewportPosition(row - 1), 75, editor->Tab->rowHeight(row - 1));
            else rect = editor->Tab->visualRect(editor->Tab->model()->index(row - 1, column - 1)).translated(editor->Tab->viewport()->pos());
            // A point in the left part of the cell, clear of the right-aligned
            // text and of the focus rectangle.
            return QColor(image.pixel(rect.x() + 6, rect.center().y()));
        };
        QCOMPARE(colourAt(0, 0), QColor(192, 192, 192));
        QCOMPARE(colourAt(1, 0), QColor(192, 192, 192));
        QCOMPARE(colourAt(0, 1), QColor(192, 192, 192));
        QCOMPARE(colourAt(1, 1), QColor(247, 251, 255));
        QCOMPARE(colourAt(4, 1), QColor(221, 221, 221));
        QCOMPARE(colourAt(1, 3), QColor(221, 221, 221));
        QCOMPARE(colourAt(2, 2), QColor(197, 215, 238));
    }

    void focusedCellHasAFocusRectangle() {
        Open(TwoVariables());
        editor->SetCurrentCell(2, 2);
        editor->Tab->setFocus();
        const QRect rect = editor->Tab->visualRect(editor->Tab->model()->index(1, 1)).translated(editor->Tab->viewport()->pos());
        QImage image = editor->Tab->grab().toImage();
        int dark = 0;
        for (int x = rect.left(); x < rect.left() + 20; ++x)
            if (QColor(image.pixel(x, rect.top())).lightness() < 60) ++dark;
        QVERIFY2(dark >= 5, "dotted focus line along the top edge");
        editor->SetCurrentCell(1, 1);
        image = editor->Tab->grab().toImage();
        dark = 0;
        for (int x = rect.left(); x < rect.left() + 20; ++x)
            if (QColor(image.pixel(x, rect.top())).lightness() < 60) ++dark;
        QCOMPARE(dark, 0);
    }

    void pasteABlock_data() {
        QTest::addColumn<QString>("clipboard");
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("table");  // rows of table 1 after the paste
        QTest::newRow("numbers only") << "10\t20\t30\n40\t50\t60\n" << 1 << 1 << "10 20 30|40 50 60";
        QTest::newRow("with labels and totals, as copied")
            << "\tYoung\tMiddle\tOld\tTotal\nMale\t10\t20\t30\t60\nFemale\t40\t50\t60\t150\nTotal\t50\t70\t90\t210\n"
            << 1 << 1 << "10 20 30|40 50 60";
        QTest::newRow("at the current cell") << "7\t8\n9\t10" << 2 << 1 << "5 7 8|3 9 10";
        QTest::newRow("beyond the table is ignored") << "7\t8\t100\n9\t10\t100\n100\t100\t100" << 2 << 1 << "5 7 8|3 9 10";
        QTest::newRow("semicolons") << "a;b;c\nx;1;2;3\ny;4;5;6" << 1 << 1 << "1 2 3|4 5 6";
        QTest::newRow("spaces, labels of several words, grouped digits")
            << "          Young  Middle  Old  Total\nMale adults  1,200  20  30  1,250\nFemale adults  40  50  60  150\n"
            << 1 << 1 << "1200 20 30|40 50 60";
        QTest::newRow("empty cell stores zero") << "1\t\t3" << 1 << 2 << "5 1 2|1 0 3";
    }
    void pasteABlock() {
        QFETCH(QString, clipboard);
        QFETCH(int, column);
        QFETCH(int, row);
        QFETCH(QString, table);
        Open(TwoVariables());
        editor->SetCurrentCell(column, row);
        editor->Tab->setFocus();
        QApplication::clipboard()->setText(clipboard);
        QTest::keyClick(editor->Tab, Qt::Key_V, Qt::ControlModifier);
        QStringList rows;
        std::int64_t grand = 0;
        for (int i = 1; i <= 2; ++i) {
            QStringList cells;
            for (int j = 1; j <= 3; ++j) {
                cells << QString::number(Cell(1, i, j));
                grand += Cell(1, i, j);
            }
            rows << cells.join(' ');
        }
        QCOMPARE(rows.join('|'), table);
        QCOMPARE(editor->CellText(4, 3), QString::number(grand));
        QVERIFY(warnings.warnings.empty());
    }

    void parsePastedText_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("cells");  // rows joined by "|", cells by " "
        QTest::newRow("crlf and trailing line ends") << "1\t2\r\n3\t4\r\n\r\n" << "1 2|3 4";
        QTest::newRow("header without corner, spaces") << "Male Female\nYes 1 2\nNo 3 4" << "1 2|3 4";
        QTest::newRow("quoted fields") << "\"\";\"A\";\"B\"\n\"x\";\"1\";\"2\"" << "1 2";
        QTest::newRow("total column only") << "A\tB\tTotal\n1\t2\t3" << "1 2";
        QTest::newRow("TOTAL in capitals") << "\tA\tTOTAL\nx\t1\t1\nTOTAL\t1\t1" << "1";
        QTest::newRow("numeric labels under a corner") << "\t2001\t2002\n1990\t5\t6" << "5 6";
        QTest::newRow("labels such as 18-24 are labels") << "\t18-24\t25+\n<10\t1\t2" << "1 2";
        QTest::newRow("decimals are data, not labels") << "1.5\t2\n3\t4" << "1.5 2|3 4";
        QTest::newRow("grouped digits") << "1'234\t12 345\t1,2" << "1234 12345 1,2";
        QTest::newRow("nothing") << "\n\n" << "";
    }
    void parsePastedText() {
        QFETCH(QString, text);
        QFETCH(QString, cells);
        QStringList rows;
        for (const QStringList& row : ParsePastedTable(text)) rows << row.join(' ');
        QCOMPARE(rows.join('|'), cells);
    }

    void cellBlocksAreRecognised() {
        QVERIFY(IsCellBlock("1\t2"));
        QVERIFY(IsCellBlock("1\n2\n"));
        QVERIFY(IsCellBlock("1;2"));
        QVERIFY(IsCellBlock("10 20"));
        QVERIFY(!IsCellBlock("-40"));
        QVERIFY(!IsCellBlock("  $1F\n"));
    }

    void pastedTextThatIsNoNumberBecomesZeroWithAWarning() {
        Open(TwoVariables());
        editor->SetCurrentCell(1, 1);
        editor->Tab->setFocus();
        QApplication::clipboard()->setText("1\t2.5\t3\n4\tn/a\t6");
        QTest::keyClick(editor->Tab, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(Cell(1, 1, 2), 0);
        QCOMPARE(editor->CellText(2, 1), QString("0"));
        QCOMPARE(Cell(1, 2, 3), 6);
        QCOMPARE(warnings.warnings.size(), std::size_t{1});
        QCOMPARE(QString::fromStdString(warnings.warnings[0]),
                 QString("Not whole numbers, set to 0: 2 cells"));
    }

    void pasteWhileEditingACellPastesTheBlock() {
        Open(TwoVariables());
        TypeInCell(*editor, 2, 1, "4");
        QApplication::clipboard()->setText("11\t12\n13\t14\n");
        PressInFocus(Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(Cell(1, 1, 2), 11);
        QCOMPARE(Cell(1, 2, 3), 14);
        QCOMPARE(editor->CellText(2, 1), QString("11"));
        QVERIFY(qobject_cast<QLineEdit*>(QApplication::focusWidget()) == nullptr);
    }

    void copyGivesTheTableWithHeadersAndTotals() {
        Open(TwoVariables());
        editor->Tab->setFocus();
        QTest::keyClick(editor->Tab, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text(),
                 QString("\tYoung\tMiddle\tOld\tTotal\nMale\t5\t1\t2\t8\nFemale\t3\t4\t6\t13\nTotal\t8\t5\t8\t21\n"));
    }

    void copiedTablePastesBackIntoAnotherTable() {
        TableSet tables = test::MakeTableSet({{"A", {"1", "2"}}, {"B", {"1", "2"}}, {"C", {"1", "2"}}});
        test::SetTable(tables, 2, 1, {{1, 2}, {3, 4}});
        Open(tables);
        QTest::keyClick(editor->Tab, Qt::Key_C, Qt::ControlModifier);
        editor->NextButtonClick();
        editor->SetCurrentCell(1, 1);
        QTest::keyClick(editor->Tab, Qt::Key_V, Qt::ControlModifier);
        QVERIFY(ts.PairTables[2] == ts.PairTables[1]);
        QCOMPARE(editor->CellText(3, 3), QString("10"));
    }

    // A typed number is one step, whichever table it is in: Ctrl+Z takes
    // back the last one (while its cell is still being edited, or not) and
    // shows its table again, Ctrl+Shift+Z and Ctrl+Y do it again. Each step
    // reaches the recovery journal.
    void undoAndRedoStepThroughTypedNumbersAcrossTables() {
        Open(FourVariables());
        int journal = 0;
        editor->seams.changed = [&] { ++journal; };
        TypeInCell(*editor, 1, 1, "123");
        PressInFocus(Qt::Key_Return);
        editor->NextButtonClick();  // table 2: C by A
        TypeInCell(*editor, 2, 1, "45");
        QCOMPARE(Cell(2, 1, 2), 45);
        PressInFocus(Qt::Key_Z, Qt::ControlModifier);  // in the open cell editor
        QCOMPARE(Cell(2, 1, 2), 0);
        QCOMPARE(editor->TableNumber(), 2);
        QCOMPARE(editor->CellText(2, 1), QString("0"));
        const int beforeUndo = journal;
        QTest::keyClick(editor->Tab, Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(journal > beforeUndo);
        QCOMPARE(Cell(1, 1, 1), 0);           // 123 taken back as one step
        QCOMPARE(editor->TableNumber(), 1);   // paged back to it
        QCOMPARE(editor->CellText(3, 3), QString("0"));  // its grand total
        QTest::keyClick(editor->Tab, Qt::Key_Z, Qt::ControlModifier);  // nothing more to undo
        QCOMPARE(Cell(1, 1, 1), 0);
        QTest::keyClick(editor->Tab, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(Cell(1, 1, 1), 123);
        QCOMPARE(editor->CellText(3, 1), QString("123"));
        QTest::keyClick(editor->Tab, Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(Cell(2, 1, 2), 45);
        QCOMPARE(editor->TableNumber(), 2);
        QTest::keyClick(editor->Tab, Qt::Key_Y, Qt::ControlModifier);  // nothing more to redo
        QCOMPARE(Cell(1, 1, 1), 123);
    }

    // A paste over a filled table is one step; a new showing of the window
    // starts with nothing to undo.
    void aPasteIsOneStep() {
        Open(TwoVariables());
        TypeInCell(*editor, 3, 2, "9");  // a step before the paste
        PressInFocus(Qt::Key_Return);
        editor->SetCurrentCell(1, 1);
        QApplication::clipboard()->setText("10\t20\t30\n40\t50\t60\n");
        QTest::keyClick(editor->Tab, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(Cell(1, 2, 3), 60);
        QTest::keyClick(editor->Tab, Qt::Key_Z, Qt::ControlModifier);
        const PairTable typed = ts.PairTables[1];
        QCOMPARE(Cell(1, 1, 1), 5);
        QCOMPARE(Cell(1, 2, 3), 9);
        QCOMPARE(editor->CellText(4, 3), QString("24"));
        QTest::keyClick(editor->Tab, Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(Cell(1, 1, 1), 10);
        QCOMPARE(Cell(1, 2, 3), 60);
        editor->hide();
        QVERIFY(test::ShowActive(editor.get()));
        QTest::keyClick(editor->Tab, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(Cell(1, 1, 1), 10);
        QVERIFY(typed != ts.PairTables[1]);
    }
};

QTEST_MAIN(EditTableTest)
#include "edit_table_test.moc"
