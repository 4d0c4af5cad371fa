// The variable chooser and the variable editor, with their cell editors
// always open, driven with real key events.
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QtTest>
#include <memory>

#include "create_variables.h"
#include "edit_table.h"
#include "enter_variable.h"
#include "data_entry_test_support.h"
#include "edit_variable.h"
#include "edit_variables.h"
#include "test_support.h"
#include "window_test_support.h"

using namespace kelvo;
using namespace kelvo::ui;
using kelvo::test::RecordingWarnings;

namespace {

TableSet ThreeVariables() {
    return test::CreatedTableSet({{"Age", {"Young", "Old"}}, {"Sex", {"Male", "Female"}}, {"Class", {"1st", "2nd", "3rd"}}});
}

// Replaces the whole text of a cell editor by typing.
void Retype(QLineEdit* editor, const QString& text) {
    editor->setFocus();
    QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(editor, Qt::Key_Backspace);
    // One key per character; a character beyond U+FFFF is one key too.
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype length = text[i].isHighSurrogate() ? 2 : 1;
        QTest::sendKeyEvent(QTest::Click, editor, Qt::Key_unknown, text.mid(i, length), Qt::NoModifier);
        i += length - 1;
    }
}

}  // namespace

class EditVariablesTest : public QObject {
    Q_OBJECT

    TableSet ts;
    RecordingWarnings warnings;
    std::unique_ptr<TEditVariable> editor;

    void OpenEditor(const TableSet& tables, int variable) {
        ts = tables;
        editor = std::make_unique<TEditVariable>(ts, warnings);
        editor->EditedVariable = variable;
        QVERIFY(test::ShowActive(editor.get()));
    }

private slots:
    void init() { warnings.warnings.clear(); }
    void cleanup() { editor.reset(); }

    void editorShowsTheVariableWithEditorsOpen_data() {
        QTest::addColumn<int>("categories");
        QTest::newRow("two") << 2;
        QTest::newRow("sixteen") << 16;
    }
    void editorShowsTheVariableWithEditorsOpen() {
        QFETCH(int, categories);
        TableSet tables = ThreeVariables();
        ResetCategoryNames(tables);
        tables.CategoryCounts[2] = static_cast<std::uint8_t>(categories);
        OpenEditor(tables, 2);
        QCOMPARE(editor->windowTitle(), QString(" Edit variable"));
        QCOMPARE(editor->Label2->text(), QString("Variable"));
        QCOMPARE(editor->Label1->text(), QString("Categories"));
        QCOMPARE(editor->Tab2->rowCount(), categories);
        QVERIFY(editor->NameEditor() != nullptr && editor->NameEditor()->isVisible());
        QCOMPARE(editor->NameEditor()->text(), QString("Sex"));
        QCOMPARE(QApplication::focusWidget(), editor->NameEditor());
        for (int row = 0; row < categories; ++row) {
            QVERIFY(editor->CategoryEditor(row) != nullptr && editor->CategoryEditor(row)->isVisible());
            QCOMPARE(editor->CategoryEditor(row)->text(), QString("C%1").arg(row + 1));
            // Every row shows without scrolling.
            QVERIFY(editor->Tab2->visualItemRect(editor->Tab2->item(row, 0)).bottom() < editor->Tab2->viewport()->height());
        }
    }

    // Up and Down move between the categories, each editor reached with its
    // text selected, so typing replaces that category and no other.
    void upAndDownMoveBetweenCategories() {
        OpenEditor(ThreeVariables(), 3);  // Class: 1st, 2nd, 3rd
        editor->CategoryEditor(0)->setFocus(Qt::TabFocusReason);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
        QCOMPARE(QApplication::focusWidget(), editor->CategoryEditor(1));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);  // the last one: stays
        QCOMPARE(QApplication::focusWidget(), editor->CategoryEditor(2));
        test::TypeIntoFocus("Third");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Up);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Up);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Up);  // the first one: stays
        QCOMPARE(QApplication::focusWidget(), editor->CategoryEditor(0));
        test::TypeIntoFocus("First");
        QTest::mouseClick(editor->OKButton, Qt::LeftButton);
        QCOMPARE(QString::fromStdString(ts.CategoryNames[3][1].str()), QString("First"));
        QCOMPARE(ts.CategoryNames[3][2].str(), std::string("2nd"));
        QCOMPARE(ts.CategoryNames[3][3].str(), std::string("Third"));
    }

    void reopeningShowsAnotherVariable() {
        OpenEditor(ThreeVariables(), 3);
        QCOMPARE(editor->Tab2->rowCount(), 3);
        editor->hide();
        editor->EditedVariable = 1;
        QVERIFY(test::ShowActive(editor.get()));
        QCOMPARE(editor->NameEditor()->text(), QString("Age"));
        QCOMPARE(editor->Tab2->rowCount(), 2);
        QCOMPARE(editor->CategoryEditor(1)->text(), QString("Old"));
    }

    void namesAreCutToTwelveCharactersWhenStored() {
        OpenEditor(ThreeVariables(), 1);
        Retype(editor->NameEditor(), "Age in groups 5");
        QCOMPARE(editor->NameEditor()->text(), QString("Age in groups 5"));
        Retype(editor->CategoryEditor(0), "Younger than 30");
        QTest::mouseClick(editor->OKButton, Qt::LeftButton);
        QVERIFY(!editor->isVisible());
        QCOMPARE(ts.VariableNames[1].str(), std::string("Age in group"));
        QCOMPARE(ts.CategoryNames[1][1].str(), std::string("Younger than"));
        QCOMPARE(ts.CategoryNames[1][2].str(), std::string("Old"));
    }

    void tabWalksFromTheNameThroughTheCategoriesToOK() {
        OpenEditor(ThreeVariables(), 3);
        QCOMPARE(QApplication::focusWidget(), editor->NameEditor());
        // The name is selected on opening: typing replaces it.
        test::TypeIntoFocus("X");
        for (int row = 0; row < 3; ++row) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), editor->CategoryEditor(row));
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_End);
            test::TypeIntoFocus("!");
        }
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), editor->OKButton);
        QTest::keyClick(editor->OKButton, Qt::Key_Space);
        QVERIFY(!editor->isVisible());
        QCOMPARE(ts.CategoryNames[3][3].str(), std::string("3rd!"));
        QCOMPARE(QString::fromStdString(ts.VariableNames[3].str()), QString("X"));
    }

    void clearingACategoryStoresAnEmptyName() {
        OpenEditor(ThreeVariables(), 2);
        Retype(editor->CategoryEditor(1), "");
        QTest::mouseClick(editor->OKButton, Qt::LeftButton);
        QVERIFY(!editor->isVisible());
        QCOMPARE(ts.CategoryNames[2][2].str(), std::string());
    }

    void anEmptyVariableNameKeepsTheEditorOpen() {
        OpenEditor(ThreeVariables(), 2);
        Retype(editor->CategoryEditor(0), "M");
        Retype(editor->NameEditor(), "");
        QTest::mouseClick(editor->OKButton, Qt::LeftButton);
        QVERIFY(editor->isVisible());
        QVERIFY(warnings.warnings.empty());
        QCOMPARE(ts.CategoryNames[2][1].str(), std::string("Male"));
        QTest::keyClick(editor->NameEditor(), Qt::Key_Escape);
        QVERIFY(!editor->close());
        QVERIFY(editor->isVisible());
        Retype(editor->NameEditor(), "Gender");
        QCOMPARE(editor->CategoryEditor(0)->text(), QString("M"));
        QTest::mouseClick(editor->OKButton, Qt::LeftButton);
        QVERIFY(!editor->isVisible());
        QCOMPARE(ts.VariableNames[2].str(), std::string("Gender"));
        QCOMPARE(ts.CategoryNames[2][1].str(), std::string("M"));
    }

    // Refused names leave the table set untouched and the editor open with
    // everything typed.
    void editorRefusesNamesTheFileCannotHold_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("category");
        QTest::addColumn<QString>("warning");
        QTest::newRow("star") << "Sex*Age" << "Male" << "A variable name cannot contain \"*\"";
        QTest::newRow("another's name") << "Class" << "Male" << "Variable 3 is already named Class";
        QTest::newRow("same after the cut") << "Class" << "Male" << "Variable 3 is already named Class";
        QTest::newRow("name outside Latin-1") << QString::fromUtf8("Se\u0161") << "Male" << "A name cannot hold the character U+0161";
        QTest::newRow("category outside Latin-1") << "Sex" << QString::fromUtf8("M\u00e4nnlich \U0001F600") << "A name cannot hold the character U+1F600";
    }
    void editorRefusesNamesTheFileCannotHold() {
        QFETCH(QString, name);
        QFETCH(QString, category);
        QFETCH(QString, warning);
        TableSet tables = ThreeVariables();
        if (QString(QTest::currentDataTag()) == "same after the cut") {
            tables.VariableNames[3] = "Passenger cl";
            name = "Passenger class";
            warning = "Variable 3 is already named Passenger cl";
        }
        OpenEditor(tables, 2);
        const std::string before = test::DataEntryFields(ts);
        Retype(editor->NameEditor(), name);
        Retype(editor->CategoryEditor(0), category);
        QTest::mouseClick(editor->OKButton, Qt::LeftButton);
        QVERIFY(editor->isVisible());
        QCOMPARE(warnings.warnings.size(), std::size_t{1});
        QCOMPARE(QString::fromStdString(warnings.warnings[0]), warning);
        QCOMPARE(test::DataEntryFields(ts), before);
        QCOMPARE(editor->NameEditor()->text(), name);
        QCOMPARE(editor->CategoryEditor(0)->text(), category);
        editor->hide();
    }

    // A pasted text may bring a line end or a tab along: refused like any
    // character a name cannot hold.
    void editorRefusesPastedControlCharacters_data() {
        QTest::addColumn<bool>("inName");
        QTest::addColumn<QString>("pasted");
        QTest::addColumn<QString>("warning");
        QTest::newRow("line end in the name") << true << "Sex\nAge" << "A name cannot hold a line end";
        QTest::newRow("tab in a category") << false << "Male\tFemale" << "A name cannot hold a tab";
    }
    void editorRefusesPastedControlCharacters() {
        QFETCH(bool, inName);
        QFETCH(QString, pasted);
        QFETCH(QString, warning);
        OpenEditor(ThreeVariables(), 2);
        const std::string before = test::DataEntryFields(ts);
        QLineEdit* field = inName ? editor->NameEditor() : editor->CategoryEditor(0);
        Retype(field, "");
        QApplication::clipboard()->setText(pasted);
        QTest::keyClick(field, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(field->text(), pasted);
        QTest::mouseClick(editor->OKButton, Qt::LeftButton);
        QVERIFY(editor->isVisible());
        QCOMPARE(warnings.warnings, std::vector<std::string>{warning.toStdString()});
        QCOMPARE(test::DataEntryFields(ts), before);
        editor->hide();
    }

    void categoriesMayRepeatAndHoldAnyLatin1Character() {
        OpenEditor(ThreeVariables(), 3);
        Retype(editor->CategoryEditor(0), QString::fromUtf8("\u00e9l\u00e8ve*"));
        Retype(editor->CategoryEditor(1), "Sex");
        Retype(editor->CategoryEditor(2), "Sex");
        QTest::mouseClick(editor->OKButton, Qt::LeftButton);
        QVERIFY(!editor->isVisible());
        QCOMPARE(ts.CategoryNames[3][1].str(), std::string("\xE9l\xE8ve*"));
        QCOMPARE(ts.CategoryNames[3][3].str(), std::string("Sex"));
    }

    void chooserListsAndRefreshesOnReturn() {
        ts = ThreeVariables();
        TEditVariables chooser(ts, warnings);
        TEditVariable variableEditor(ts, warnings);
        int shown = 0;
        chooser.seams.showEditVariable = [&](int v) {
            ++shown;
            variableEditor.EditedVariable = v;
            QVERIFY(test::ShowActive(&variableEditor));
            Retype(variableEditor.NameEditor(), "Ticket class");
            QTest::mouseClick(variableEditor.OKButton, Qt::LeftButton);
            QVERIFY(!variableEditor.isVisible());
        };
        QVERIFY(test::ShowActive(&chooser));
        QCOMPARE(chooser.windowTitle(), QString("Select variable"));
        QCOMPARE(chooser.Tab->rowCount(), 3);
        QCOMPARE(chooser.Tab->item(2, 0)->text(), QString("Class"));
        QTest::mouseClick(chooser.Tab->viewport(), Qt::LeftButton, {}, chooser.Tab->visualItemRect(chooser.Tab->item(2, 0)).center());
        QTest::mouseClick(chooser.SelectButton, Qt::LeftButton);
        QCOMPARE(shown, 1);
        QCOMPARE(variableEditor.EditedVariable, 3);
        QCOMPARE(chooser.Tab->item(2, 0)->text(), QString("Ticket class"));
        QTest::mouseClick(chooser.CancelButton, Qt::LeftButton);
        QVERIFY(!chooser.isVisible());
    }

    void chooserWithoutVariablesHasOneEmptyRowAndEditDoesNothing() {
        ts = ThreeVariables();
        TEditVariables chooser(ts, warnings);
        int showings = 0;
        chooser.seams.showEditVariable = [&](int) { ++showings; };
        QVERIFY(test::ShowActive(&chooser));
        chooser.hide();
        ts.VariableCount = 0;
        QVERIFY(test::ShowActive(&chooser));
        QCOMPARE(chooser.Tab->rowCount(), 1);
        QCOMPARE(chooser.Tab->item(0, 0)->text(), QString());
        QTest::keyClick(&chooser, Qt::Key_E, Qt::AltModifier);
        QTest::qWait(200);
        QTest::mouseClick(chooser.SelectButton, Qt::LeftButton);
        QCOMPARE(showings, 0);
    }

    // An Edit is one step with every name it changed; undoing and redoing
    // it reach the list and the recovery journal.
    void chooserUndoesAndRedoesAnEdit() {
        ts = ThreeVariables();
        TEditVariables chooser(ts, warnings);
        TEditVariable variableEditor(ts, warnings);
        int journal = 0;
        chooser.seams.changed = [&] { ++journal; };
        chooser.seams.showEditVariable = [&](int v) {
            variableEditor.EditedVariable = v;
            QVERIFY(test::ShowActive(&variableEditor));
            Retype(variableEditor.NameEditor(), "Ticket");
            Retype(variableEditor.CategoryEditor(0), "First");
            QTest::mouseClick(variableEditor.OKButton, Qt::LeftButton);
        };
        QVERIFY(test::ShowActive(&chooser));
        QTest::mouseClick(chooser.Tab->viewport(), Qt::LeftButton, {}, chooser.Tab->visualItemRect(chooser.Tab->item(2, 0)).center());
        QTest::mouseClick(chooser.SelectButton, Qt::LeftButton);
        QVERIFY(test::ShowActive(&chooser));
        QCOMPARE(ts.VariableNames[3].str(), std::string("Ticket"));
        QTest::keyClick(chooser.Tab, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(ts.VariableNames[3].str(), std::string("Class"));
        QCOMPARE(ts.CategoryNames[3][1].str(), std::string("1st"));
        QCOMPARE(chooser.Tab->item(2, 0)->text(), QString("Class"));
        QCOMPARE(journal, 1);
        QTest::keyClick(chooser.Tab, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(ts.VariableNames[3].str(), std::string("Ticket"));
        QCOMPARE(ts.CategoryNames[3][1].str(), std::string("First"));
        QCOMPARE(chooser.Tab->item(2, 0)->text(), QString("Ticket"));
        QCOMPARE(journal, 2);
    }
};

QTEST_MAIN(EditVariablesTest)
#include "edit_variables_test.moc"
