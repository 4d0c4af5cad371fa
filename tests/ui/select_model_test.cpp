// The model selection dialog driven with the mouse and the keyboard: moving
// variables between the lists, what the arrow buttons do after entering each
// list, Compute with its warnings, the estimation and its follow-up windows,
// a singular model and a log that cannot be written.
#include "select_model.h"

#include <QAccessible>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QToolTip>
#include <QtTest>
#include <filesystem>
#include <memory>

#include "data_entry_test_support.h"
#include "estimation_support.h"
#include "model_test_support.h"
#include "table_set.h"
#include "test_support.h"
#include "window_test_support.h"

using namespace kelvo;
using namespace kelvo::ui;
using kelvo::test::RecordingWarnings;

namespace {

// Seven variables V1..V7 of two categories, every table zero (a model of
// them is singular).
std::unique_ptr<TableSet> SevenVariables() {
    auto ts = std::make_unique<TableSet>(test::MakeTableSet({{"V1", {"a", "b"}},
                                                             {"V2", {"a", "b"}},
                                                             {"V3", {"a", "b"}},
                                                             {"V4", {"a", "b"}},
                                                             {"V5", {"a", "b"}},
                                                             {"V6", {"a", "b"}},
                                                             {"V7", {"a", "b"}}}));
    ts->TableSetOpen = true;
    return ts;
}

QStringList Items(const QListWidget* list) {
    QStringList texts;
    for (int row = 0; row < list->count(); ++row) texts << list->item(row)->text();
    return texts;
}

// Clicks the item of that text, which also gives the list the focus.
void ClickItem(QListWidget* list, const QString& text) {
    const QList<QListWidgetItem*> found = list->findItems(text, Qt::MatchExactly);
    QVERIFY2(!found.isEmpty(), qPrintable(text));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(found.first()).center());
    QCOMPARE(list->currentItem(), found.first());
}

// True when `button` shows `glyph` with its silver background left out.
bool ShowsGlyph(const QPushButton* button, const QLabel* glyph) {
    const QImage shown = button->icon().pixmap(16, 16).toImage().convertToFormat(QImage::Format_ARGB32);
    const QImage expected = glyph->pixmap().toImage();
    if (shown.size() != expected.size()) return false;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            const QColor pixel = expected.pixelColor(x, y);
            const QColor on = shown.pixelColor(x, y);
            if (pixel == QColor(192, 192, 192) ? on.alpha() != 0 : on != pixel) return false;
        }
    return true;
}

}  // namespace

class SelectModelTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_folder;
    RecordingWarnings warnings;
    std::unique_ptr<TableSet> ts;
    std::unique_ptr<TSelectModel> dialog;
    QStringList shown;  // follow-up windows and error boxes, in order

    // The estimation log, in a state folder that Compute makes.
    QString LogPath() const { return m_folder.filePath("state/kelvo/log"); }

    void Open(std::unique_ptr<TableSet> tableSet) {
        ts = std::move(tableSet);
        warnings.warnings.clear();
        shown.clear();
        dialog = std::make_unique<TSelectModel>(*ts, warnings);
        dialog->LogPath = LogPath().toStdString();
        dialog->seams.showCheckResults = [this] { shown << "check"; };
        dialog->seams.showDisplayResults = [this] { shown << "display"; };
        dialog->seams.showError = [this](const QString& text) { shown << "error: " + text; };
        QVERIFY(test::ShowActive(dialog.get()));
    }

private slots:
    void initTestCase() {
        // Nothing is written to the current directory.
        QVERIFY(m_folder.isValid());
        QVERIFY(QDir::setCurrent(m_folder.path()));
    }

    void cleanup() {
        dialog.reset();
        QDir(m_folder.path()).removeRecursively();
        QDir().mkpath(m_folder.path());
        QDir::setCurrent(m_folder.path());
    }

    // A whole model chosen with the keyboard alone: Alt+Left and Alt+Right
    // act on the list that has the focus, Enter moves as the list's arrow
    // does, and the original tab order stays.
    void theModelCanBeChosenWithTheKeyboard() {
        Open(SevenVariables());
        QWidget* focus = QApplication::focusWidget();
        QCOMPARE(focus, dialog->Varlist);
        QTest::keyClick(focus, Qt::Key_Down);                  // V2
        QTest::keyClick(focus, Qt::Key_Left, Qt::AltModifier);  // V2 to Dependent
        QTest::keyClick(focus, Qt::Key_Right, Qt::AltModifier);  // V1 to Predictors
        QTest::keyClick(focus, Qt::Key_Return);                 // V3 to Predictors
        QTest::keyClick(focus, Qt::Key_Left, Qt::AltModifier);  // a second dependent: nothing
        QCOMPARE(QApplication::focusWidget(), dialog->Varlist);
        QCOMPARE(Items(dialog->DepList), QStringList{"V2"});
        QCOMPARE(Items(dialog->Predlist), (QStringList{"V1", "V3"}));
        QTest::keyClick(dialog->Varlist, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), dialog->Predlist);
        QTest::keyClick(dialog->Predlist, Qt::Key_Right, Qt::AltModifier);  // nothing to the right
        QTest::keyClick(dialog->Predlist, Qt::Key_Left, Qt::AltModifier);   // V1 back
        QCOMPARE(Items(dialog->Predlist), QStringList{"V3"});
        // From Predictors the tab goes on to its arrow (the other one is
        // disabled there), and back again.
        QTest::keyClick(dialog->Predlist, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), dialog->PredButton);
        QTest::keyClick(dialog->PredButton, Qt::Key_Backtab);
        QCOMPARE(QApplication::focusWidget(), dialog->Predlist);
        QTest::keyClick(dialog->Predlist, Qt::Key_Backtab);
        QTest::keyClick(dialog->Varlist, Qt::Key_Backtab);
        QCOMPARE(QApplication::focusWidget(), dialog->DepList);
        QTest::keyClick(dialog->DepList, Qt::Key_Return);  // V2 back to Variables
        QCOMPARE(Items(dialog->DepList), QStringList{});
        // A double click moves as Enter does.
        const QPoint first = dialog->Varlist->visualItemRect(dialog->Varlist->item(0)).center();
        QTest::mousePress(dialog->Varlist->viewport(), Qt::LeftButton, {}, first);
        QTest::mouseRelease(dialog->Varlist->viewport(), Qt::LeftButton, {}, first);
        QTest::mouseDClick(dialog->Varlist->viewport(), Qt::LeftButton, {}, first);
        QCOMPARE(Items(dialog->Predlist), (QStringList{"V1", "V3"}));
        QCOMPARE(ts->VariableRoles[1], 2);
        QCOMPARE(ts->VariableRoles[2], 0);
    }

    void showingBuildsTheListsFromTheRoles() {
        auto tableSet = SevenVariables();
        tableSet->VariableRoles[6] = 1;
        tableSet->VariableRoles[3] = 2;
        tableSet->VariableRoles[1] = 2;
        Open(std::move(tableSet));
        QCOMPARE(dialog->windowTitle(), QStringLiteral(" Select model"));
        QCOMPARE(Items(dialog->DepList), QStringList{"V6"});
        QCOMPARE(Items(dialog->Varlist), (QStringList{"V2", "V4", "V5", "V7"}));
        QCOMPARE(Items(dialog->Predlist), (QStringList{"V1", "V3"}));
        for (QListWidget* list : {dialog->DepList, dialog->Varlist, dialog->Predlist}) QCOMPARE(list->currentRow(), 0);
        QCOMPARE(dialog->ActiveList, 2);
        QCOMPARE(QApplication::focusWidget(), dialog->Varlist);
        QVERIFY(ShowsGlyph(dialog->DepButton, dialog->ImLeftBlue));
        QVERIFY(ShowsGlyph(dialog->PredButton, dialog->ImRightBlue));
    }

    void predictorsAreListedInVariableOrder() {
        Open(SevenVariables());
        for (const char* name : {"V5", "V2", "V7"}) {
            ClickItem(dialog->Varlist, name);
            QTest::mouseClick(dialog->PredButton, Qt::LeftButton);
            // The first remaining variable is selected for the next move.
            QCOMPARE(dialog->Varlist->currentRow(), 0);
        }
        QCOMPARE(Items(dialog->Predlist), (QStringList{"V2", "V5", "V7"}));
        QCOMPARE(Items(dialog->Varlist), (QStringList{"V1", "V3", "V4", "V6"}));
        ClickItem(dialog->Varlist, "V4");
        QTest::mouseClick(dialog->DepButton, Qt::LeftButton);
        QTest::mouseClick(dialog->OKButton, Qt::LeftButton);
        QCOMPARE(ts->DependentVariable, 4);
        QCOMPARE(ts->PredictorCount, 3);
        QCOMPARE(ts->PredictorList[1], 2);
        QCOMPARE(ts->PredictorList[2], 5);
        QCOMPARE(ts->PredictorList[3], 7);
    }

    void aDependentMovedBackReturnsToItsPlace() {
        Open(SevenVariables());
        ClickItem(dialog->Varlist, "V4");
        QTest::mouseClick(dialog->DepButton, Qt::LeftButton);
        QCOMPARE(Items(dialog->DepList), QStringList{"V4"});
        QCOMPARE(Items(dialog->Varlist), (QStringList{"V1", "V2", "V3", "V5", "V6", "V7"}));
        QCOMPARE(ts->VariableRoles[4], 1);

        ClickItem(dialog->DepList, "V4");
        QCOMPARE(dialog->ActiveList, 1);
        QTest::mouseClick(dialog->DepButton, Qt::LeftButton);
        QVERIFY(Items(dialog->DepList).isEmpty());
        QCOMPARE(Items(dialog->Varlist), (QStringList{"V1", "V2", "V3", "V4", "V5", "V6", "V7"}));
        QCOMPARE(ts->VariableRoles[4], 0);
    }

    void aPredictorMovedBackReturnsToItsPlace() {
        Open(SevenVariables());
        for (const char* name : {"V6", "V3"}) {
            ClickItem(dialog->Varlist, name);
            QTest::mouseClick(dialog->PredButton, Qt::LeftButton);
        }
        ClickItem(dialog->Predlist, "V6");
        QTest::mouseClick(dialog->PredButton, Qt::LeftButton);
        QCOMPARE(Items(dialog->Predlist), QStringList{"V3"});
        QCOMPARE(Items(dialog->Varlist), (QStringList{"V1", "V2", "V4", "V5", "V6", "V7"}));
        QCOMPARE(ts->VariableRoles[6], 0);
        QCOMPARE(ts->VariableRoles[3], 2);
    }

    void aSecondDependentCannotBeAdded() {
        Open(SevenVariables());
        ClickItem(dialog->Varlist, "V2");
        QTest::mouseClick(dialog->DepButton, Qt::LeftButton);
        ClickItem(dialog->Varlist, "V5");
        QTest::mouseClick(dialog->DepButton, Qt::LeftButton);
        QCOMPARE(Items(dialog->DepList), QStringList{"V2"});
        QCOMPARE(Items(dialog->Varlist).size(), 6);
        QCOMPARE(ts->VariableRoles[5], 0);
    }

    // Which list was entered last decides the buttons; entering by Tab and
    // by a click works alike.
    void enteringAListSetsTheButtons_data() {
        QTest::addColumn<int>("tabs");  // from Varlist: 0 stay, 1 Tab, -1 Shift+Tab
        QTest::addColumn<int>("activeList");
        QTest::addColumn<bool>("depEnabled");
        QTest::addColumn<QString>("depGlyph");
        QTest::addColumn<bool>("predEnabled");
        QTest::addColumn<QString>("predGlyph");
        QTest::newRow("Varlist") << 0 << 2 << true << "ImLeftBlue" << true << "ImRightBlue";
        QTest::newRow("Predlist by Tab") << 1 << 3 << false << "" << true << "ImLeftRed";
        QTest::newRow("DepList by Shift+Tab") << -1 << 1 << true << "ImRightRed" << false << "";
    }

    void enteringAListSetsTheButtons() {
        QFETCH(int, tabs);
        QFETCH(int, activeList);
        QFETCH(bool, depEnabled);
        QFETCH(QString, depGlyph);
        QFETCH(bool, predEnabled);
        QFETCH(QString, predGlyph);
        auto tableSet = SevenVariables();
        tableSet->VariableRoles[1] = 1;
        tableSet->VariableRoles[2] = 2;
        Open(std::move(tableSet));
        QCOMPARE(QApplication::focusWidget(), dialog->Varlist);
        if (tabs > 0) QTest::keyClick(dialog->Varlist, Qt::Key_Tab);
        if (tabs < 0) QTest::keyClick(dialog->Varlist, Qt::Key_Backtab);
        QCOMPARE(dialog->ActiveList, activeList);
        QCOMPARE(dialog->DepButton->isEnabled(), depEnabled);
        QCOMPARE(dialog->PredButton->isEnabled(), predEnabled);
        if (!depGlyph.isEmpty()) QVERIFY(ShowsGlyph(dialog->DepButton, dialog->findChild<QLabel*>(depGlyph)));
        if (!predGlyph.isEmpty()) QVERIFY(ShowsGlyph(dialog->PredButton, dialog->findChild<QLabel*>(predGlyph)));
    }

    void glyphsAreArrowHeadsOnSilver_data() {
        QTest::addColumn<QString>("image");
        QTest::addColumn<bool>("pointsRight");
        QTest::addColumn<QColor>("colour");
        QTest::newRow("ImLeftBlue") << "ImLeftBlue" << false << QColor(0, 64, 128);
        QTest::newRow("ImRightBlue") << "ImRightBlue" << true << QColor(0, 64, 128);
        QTest::newRow("ImLeftRed") << "ImLeftRed" << false << QColor(255, 0, 0);
        QTest::newRow("ImRightRed") << "ImRightRed" << true << QColor(255, 0, 0);
    }

    void glyphsAreArrowHeadsOnSilver() {
        QFETCH(QString, image);
        QFETCH(bool, pointsRight);
        QFETCH(QColor, colour);
        Open(SevenVariables());
        const auto* label = dialog->findChild<QLabel*>(image);
        QVERIFY(label != nullptr);
        QVERIFY(!label->isVisible());
        const QImage glyph = label->pixmap().toImage();
        QCOMPARE(glyph.size(), QSize(16, 16));
        const QColor silver(192, 192, 192);
        QCOMPARE(glyph.pixelColor(0, 0), silver);
        QCOMPARE(glyph.pixelColor(15, 15), silver);
        // The base of the arrow head is tall, its point short, on the side
        // it points to.
        const int base = pointsRight ? 5 : 10;
        const int point = pointsRight ? 10 : 5;
        QCOMPARE(glyph.pixelColor(base, 2), colour);
        QCOMPARE(glyph.pixelColor(base, 13), colour);
        QCOMPARE(glyph.pixelColor(point, 7), colour);
        QCOMPARE(glyph.pixelColor(point, 2), silver);
    }

    void tabOrder() {
        Open(SevenVariables());
        QList<QWidget*> order;
        QWidget* widget = dialog->DepList;
        do {
            if ((widget->focusPolicy() & Qt::TabFocus) && widget->isVisibleTo(dialog.get())) order << widget;
            widget = widget->nextInFocusChain();
        } while (widget != dialog->DepList);
        QCOMPARE(order, (QList<QWidget*>{dialog->DepList, dialog->Varlist, dialog->Predlist, dialog->DepButton,
                                         dialog->PredButton, dialog->OKButton, dialog->CancelButton}));
    }

    void incompleteSelectionsWarnAndStayOpen_data() {
        QTest::addColumn<int>("dependent");
        QTest::addColumn<int>("predictor");
        QTest::addColumn<QString>("warning");
        QTest::newRow("both lists empty") << 0 << 0 << "No dependent variable specified";
        QTest::newRow("no dependent") << 0 << 2 << "No dependent variable specified";
        QTest::newRow("no predictor") << 1 << 0 << "No predictor variables specified";
    }

    void incompleteSelectionsWarnAndStayOpen() {
        QFETCH(int, dependent);
        QFETCH(int, predictor);
        QFETCH(QString, warning);
        auto tableSet = test::ReadExample("titanic.tbl");
        if (dependent != 0) tableSet->VariableRoles[dependent] = 1;
        if (predictor != 0) tableSet->VariableRoles[predictor] = 2;
        tableSet->ResultsAvailable = true;
        tableSet->DependentVariable = 4;
        Open(std::move(tableSet));
        // Entering DepList made it the active list; the dialog's activation
        // after the warning makes Varlist the active list again.
        dialog->DepList->setFocus();
        QCOMPARE(dialog->ActiveList, 1);
        QTest::mouseClick(dialog->OKButton, Qt::LeftButton);
        QCOMPARE(warnings.warnings, std::vector<std::string>{warning.toStdString()});
        QCOMPARE(dialog->ActiveList, 2);
        QCOMPARE(QApplication::focusWidget(), dialog->Varlist);
        QVERIFY(!ts->ResultsAvailable);
        QCOMPARE(ts->DependentVariable, 4);
        QVERIFY(dialog->isVisible());
        QVERIFY(shown.isEmpty());
        QVERIFY(!QFile::exists(LogPath()));
    }

    void computeShowsTheCheckAndTheResultsThenCloses() {
        auto tableSet = test::ReadExample("titanic.tbl");
        Open(std::move(tableSet));
        ClickItem(dialog->Varlist, "Survived");
        QTest::mouseClick(dialog->DepButton, Qt::LeftButton);
        for (const char* name : {"Sex", "Class"}) {
            ClickItem(dialog->Varlist, name);
            QTest::mouseClick(dialog->PredButton, Qt::LeftButton);
        }
        // The follow-up windows see the results of this estimation.
        double averageSeen = 0;
        dialog->seams.showCheckResults = [&] {
            shown << "check";
            averageSeen = ts->Coefficients[1][2];
            QVERIFY(ts->ResultsAvailable);
        };
        QTest::mouseClick(dialog->OKButton, Qt::LeftButton);
        QCOMPARE(shown, (QStringList{"check", "display"}));
        QVERIFY(!dialog->isVisible());
        QCOMPARE(dialog->result(), int(QDialog::Accepted));
        QVERIFY(warnings.warnings.empty());
        QVERIFY(ts->ResultsAvailable);
        QCOMPARE(dialog->DependentListCount, 1);

        // The same numbers as the estimation run directly, and the log in its
        // folder, made private to the user; nothing in the current directory.
        auto expected = test::ReadExample("titanic.tbl");
        RecordingWarnings quiet;
        QVERIFY(test::Estimate(*expected, 4, {1, 2}, quiet, m_folder.filePath("expected.log").toStdString()));
        QCOMPARE(ts->PredictorCount, 2);
        QCOMPARE(ts->PredictorList[1], 1);
        QCOMPARE(ts->PredictorList[2], 2);
        QCOMPARE(averageSeen, expected->Coefficients[1][2]);
        for (int p = 1; p <= expected->ParameterCount; ++p)
            for (int d = 1; d <= 2; ++d) {
                QCOMPARE(ts->Coefficients[p][d], expected->Coefficients[p][d]);
                QCOMPARE(ts->StandardErrors[p][d], expected->StandardErrors[p][d]);
            }
        QCOMPARE(test::ReadFile(LogPath().toStdString()), test::ReadFile(m_folder.filePath("expected.log").toStdString()));
        for (const char* folder : {"state", "state/kelvo"})
            QVERIFY(std::filesystem::status(m_folder.filePath(folder).toStdString()).permissions() ==
                    std::filesystem::perms::owner_all);
        QVERIFY(!QFile::exists("log"));
    }

    void aSingularModelWarnsClosesAndKeepsThePreviousResults() {
        auto tableSet = SevenVariables();
        tableSet->VariableRoles[1] = 1;
        tableSet->VariableRoles[2] = 2;
        tableSet->Coefficients[1][1] = 0.25;  // from an earlier estimation
        tableSet->MinimumPrediction[1] = 12.5;
        Open(std::move(tableSet));
        QTest::mouseClick(dialog->OKButton, Qt::LeftButton);
        QCOMPARE(warnings.warnings, std::vector<std::string>{"Error: Matrix is singular !"});
        QVERIFY(!dialog->isVisible());
        QVERIFY(shown.isEmpty());
        QVERIFY(ts->ResultsAvailable);
        QCOMPARE(ts->Coefficients[1][1], 0.25);
        QCOMPARE(ts->MinimumPrediction[1], 12.5);
    }

    void aLogThatCannotBeWrittenIsReportedAndTheDialogStays() {
        QVERIFY(QDir().mkpath(LogPath()));  // a folder where the log file should go
        auto tableSet = test::ReadExample("titanic.tbl");
        tableSet->VariableRoles[4] = 1;
        tableSet->VariableRoles[2] = 2;
        Open(std::move(tableSet));
        QTest::mouseClick(dialog->OKButton, Qt::LeftButton);
        QCOMPARE(shown.size(), 1);
        QVERIFY2(shown.first().startsWith("error: "), qPrintable(shown.first()));
        QCOMPARE(shown.first(), "error: Not a regular file: " + LogPath());
        QVERIFY(dialog->isVisible());
        QVERIFY(ts->ResultsAvailable);
        // A second try after the folder has gone works.
        QVERIFY(QDir().rmdir(LogPath()));
        shown.clear();
        QTest::mouseClick(dialog->OKButton, Qt::LeftButton);
        QCOMPARE(shown, (QStringList{"check", "display"}));
        QVERIFY(!dialog->isVisible());
    }

    void cancelKeepsTheMovedRoles() {
        auto tableSet = SevenVariables();
        tableSet->DependentVariable = 1;
        tableSet->PredictorCount = 1;
        tableSet->PredictorList[1] = 2;
        tableSet->ResultsAvailable = true;
        Open(std::move(tableSet));
        ClickItem(dialog->Varlist, "V3");
        QTest::mouseClick(dialog->DepButton, Qt::LeftButton);
        ClickItem(dialog->Varlist, "V5");
        QTest::mouseClick(dialog->PredButton, Qt::LeftButton);
        QTest::mouseClick(dialog->CancelButton, Qt::LeftButton);
        QVERIFY(!dialog->isVisible());
        QCOMPARE(ts->VariableRoles[3], 1);
        QCOMPARE(ts->VariableRoles[5], 2);
        QCOMPARE(ts->DependentVariable, 1);
        QCOMPARE(ts->PredictorCount, 1);
        QCOMPARE(ts->PredictorList[1], 2);
        QVERIFY(ts->ResultsAvailable);
        // The next showing has the variables where they were moved to.
        QVERIFY(test::ShowActive(dialog.get()));
        QCOMPARE(Items(dialog->DepList), QStringList{"V3"});
        QCOMPARE(Items(dialog->Predlist), QStringList{"V5"});
        QCOMPARE(dialog->ActiveList, 2);
    }

    // Two variables of the same name: the item moved is the one clicked.
    void itemsOfTheSameNameStayApart() {
        auto tableSet = SevenVariables();
        tableSet->VariableNames[3] = "V1";
        Open(std::move(tableSet));
        dialog->Varlist->setFocus();
        dialog->Varlist->setCurrentRow(0);  // variable 1
        QTest::mouseClick(dialog->PredButton, Qt::LeftButton);
        QCOMPARE(ts->VariableRoles[1], 2);
        QCOMPARE(ts->VariableRoles[3], 0);
        QCOMPARE(Items(dialog->Varlist), (QStringList{"V2", "V1", "V4", "V5", "V6", "V7"}));
    }

    // Twelve wide letters do not fit the lists: two names that differ only in
    // their last letter still look different, and the tooltip and a screen
    // reader have the whole name.
    void longNamesKeepTheirEnds() {
        auto tableSet = SevenVariables();
        tableSet->VariableNames[2] = "WWWWWWWWWWW1";
        tableSet->VariableNames[3] = "WWWWWWWWWWW2";
        Open(std::move(tableSet));
        QListWidget* list = dialog->Varlist;
        QCOMPARE(list->width(), 120);
        const QRect first = list->visualItemRect(list->item(1));
        const QRect second = list->visualItemRect(list->item(2));
        QVERIFY(list->fontMetrics().horizontalAdvance(list->item(1)->text()) > first.width());
        const QImage shown = list->viewport()->grab().toImage();
        QVERIFY(shown.copy(first) != shown.copy(second));

        QHelpEvent hover(QEvent::ToolTip, second.center(), list->viewport()->mapToGlobal(second.center()));
        QApplication::sendEvent(list->viewport(), &hover);
        QTRY_COMPARE(QToolTip::text(), QString("WWWWWWWWWWW2"));
        QAccessibleInterface* items = QAccessible::queryAccessibleInterface(list);
        QVERIFY(items != nullptr && items->childCount() >= 3);
        QCOMPARE(items->child(2)->text(QAccessible::Name), QString("WWWWWWWWWWW2"));
    }
};

QTEST_MAIN(SelectModelTest)
#include "select_model_test.moc"
