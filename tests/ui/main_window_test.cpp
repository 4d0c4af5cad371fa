// The main window: start-up, menu, command preconditions, the flag
// transitions and the file commands with their failures.
#include <QAction>
#include <QCloseEvent>
#include <QFileDialog>
#include <QMenu>
#include <QMenuBar>
#include <QWindow>
#include <QAbstractItemView>
#include <QCompleter>
#include <QMenu>
#include <QFileDialog>
#include <QLineEdit>
#include <QtTest>
#include <filesystem>
#include <memory>

#include "io_error.h"
#include "main_window.h"
#include "names_and_paths.h"
#include "table_set.h"
#include "table_set_file.h"
#include "test_support.h"
#include "window_test_support.h"

using kelvo::TableSet;
using kelvo::test::ReadFile;
using kelvo::test::TempDir;
using kelvo::ui::TMain;

namespace {

QString Q(const std::filesystem::path& path) { return QString::fromStdString(path.string()); }

QString Plain(QString caption) { return caption.remove(QLatin1Char('&')); }

// A table set of two variables, as a file and in memory.
const char* const TwoVariables =
    "2\r\nSex\r\n2\r\nMale\r\nFemale\r\nAge\r\n3\r\nYoung\r\nMiddle\r\nOld\r\n"
    "Age*Sex\r\n        10         12 \r\n         3          4 \r\n         5          6 \r\n";

// The main window with every seam replaced by a recorder.
struct Fixture {
    Fixture() : ts(std::make_unique<TableSet>()), window(*ts, warnings) {
        TMain::Seams& s = window.seams;
        s.chooseCreateFile = [this] {
            calls.push_back("chooseCreateFile");
            return createPath;
        };
        s.chooseOpenFile = [this] {
            calls.push_back("chooseOpenFile");
            if (onOpenDialog) onOpenDialog();
            return openPath;
        };
        s.showCreateVariables = [this] { Record("showCreateVariables"); };
        s.showEditVariables = [this] { Record("showEditVariables"); };
        s.showEditTable = [this] { Record("showEditTable"); };
        s.showSelectModel = [this] { Record("showSelectModel"); };
        s.showDisplayResults = [this] { Record("showDisplayResults"); };
        s.showModelSummary = [this] { Record("showModelSummary"); };
        s.showOddsRatios = [this] { Record("showOddsRatios"); };
        s.showSpecifyOutput = [this] {
            Record("showSpecifyOutput");
            return outputAccepted;
        };
        s.writeReport = [this](const TableSet& written) {
            calls.push_back("writeReport");
            QCOMPARE(&written, ts.get());
            if (!reportError.empty()) throw kelvo::IoError(reportError);
        };
        s.showAbout = [this] { Record("showAbout"); };
        s.showHelp = [this] { Record("showHelp"); };
        s.showError = [this](const QString& text) { errors.push_back(text); };
        // As after a successful estimation, unless a test says otherwise.
        ts->ResultsCurrent = true;
    }

    void Record(const char* name) {
        calls.push_back(name);
        if (onDialog) onDialog();
    }

    // A table set that is open and modified, to be written to `path`.
    void OpenModified(const std::filesystem::path& path) {
        ts->FileName = path.string();
        ts->FileBaseName = kelvo::BaseNameOf(ts->FileName);
        ts->TableSetOpen = true;
        ts->TableSetModified = true;
    }

    std::unique_ptr<TableSet> ts;
    kelvo::test::RecordingWarnings warnings;
    TMain window;
    std::vector<std::string> calls;
    QStringList errors;
    QString createPath;
    QString openPath;
    bool outputAccepted = true;
    std::string reportError;
    std::function<void()> onOpenDialog;
    std::function<void()> onDialog;
};

#define COMPARE_FLAGS(ts, m, o, r)                  \
    do {                                            \
        QCOMPARE((ts).TableSetModified, bool(m));   \
        QCOMPARE((ts).TableSetOpen, bool(o));       \
        QCOMPARE((ts).ResultsAvailable, bool(r));   \
    } while (false)

void Close(TMain& window, const QString& how) {
    if (how == QLatin1String("exit")) window.Exit1->trigger();
    else window.windowHandle()->close();  // the frame's close button or the window menu
}

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT
private slots:
    void startUp() {
        auto ts = std::make_unique<TableSet>();
        ts->TableSetModified = ts->TableSetOpen = ts->ResultsAvailable = true;
        kelvo::test::RecordingWarnings warnings;
        TMain window(*ts, warnings);
        // The title is final before the window is ever shown.
        QCOMPARE(window.windowTitle(), QStringLiteral("KELVO - Quendar - Version 7.0"));
        COMPARE_FLAGS(*ts, 0, 0, 0);
        QCOMPARE(window.Label1->text(), QStringLiteral("Current KELVO file"));
        QCOMPARE(window.Label2->text(), QStringLiteral("Name:"));
        QCOMPARE(window.Label3->text(), QStringLiteral("-"));
        QCOMPARE(window.Label4->text(), QStringLiteral("Variables: "));
        QCOMPARE(window.Label5->text(), QStringLiteral("-"));
        QCOMPARE(window.centralWidget()->size(), QSize(592, 354));
        QCOMPARE(window.minimumSize(), window.maximumSize());
        QCOMPARE(window.Panel1->size(), QSize(300, 41));
        QCOMPARE(window.Label3->parentWidget(), window.Panel1);
        QCOMPARE(window.Label5->parentWidget(), window.Panel1);
        QCOMPARE(window.palette().color(QPalette::Window), QColor(197, 215, 238));
        QCOMPARE(window.Panel1->palette().color(QPalette::Window), QColor(247, 251, 255));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(window.windowHandle()->title(), QStringLiteral("KELVO - Quendar - Version 7.0"));
    }

    void menuCaptionsAndOrder() {
        Fixture f;
        const QList<QAction*> menus = f.window.menuBar()->actions();
        QStringList captions;
        for (QAction* menu : menus) {
            captions << Plain(menu->text()) + QLatin1Char(':');
            for (QAction* item : menu->menu()->actions())
                captions << (item->isSeparator() ? QStringLiteral("-") : Plain(item->text()));
        }
        QCOMPARE(captions, (QStringList{"File:", "Create KELVO file", "Read KELVO file", "Save", "Import records...", "-", "Exit", "Edit:",
                                        "Edit variables", "Edit tables", "Model:", "Specify model",
                                        "Display results", "Model summary", "Odds ratios", "Output:", "Specify output",
                                        "Export report...", "Help:", "Kelvo help", "About KELVO"}));
        // Every item can always be chosen.
        for (QAction* menu : menus)
            for (QAction* item : menu->menu()->actions()) QVERIFY(item->isEnabled() && item->isVisible());
        // The components carry their names.
        QCOMPARE(f.window.findChild<QAction*>(QStringLiteral("Specifyoutput1")), f.window.Specifyoutput1);
        QCOMPARE(f.window.findChild<QMenu*>(QStringLiteral("ReadKELVOfile1")), f.window.ReadKELVOfile1);
    }

    // The real Read dialog, typed into: a name typed without ".tbl" that
    // exists as typed is read as it is; a name that exists only with ".tbl"
    // gets it; and the name completion's list closes with the dialog.
    void readDialogTakesTheNameAsTyped_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("read");
        QTest::newRow("exists as typed") << "notes" << "notes";
        QTest::newRow("gets .tbl") << "census" << "census.tbl";
        QTest::newRow("completed") << "surv" << "surv.tbl";
    }
    void readDialogTakesTheNameAsTyped() {
        QFETCH(QString, typed);
        QFETCH(QString, read);
        TempDir dir;
        for (const char* name : {"notes", "census.tbl", "surv.tbl", "survival.tbl"})
            kelvo::test::WriteFile(dir / name, TwoVariables);
        auto ts = std::make_unique<TableSet>();
        kelvo::test::RecordingWarnings warnings;
        TMain window(*ts, warnings);
        QStringList errors;
        window.seams.showError = [&](const QString& text) { errors << text; };
        window.OpenDialog1()->setDirectory(Q(dir.path()));
        window.OpenDialog1()->setOption(QFileDialog::DontUseNativeDialog);
        bool popupSeen = false;
        kelvo::test::WhenModalShown([&](QWidget* modal) {
            auto* dialog = qobject_cast<QFileDialog*>(modal);
            auto* name = dialog != nullptr ? dialog->findChild<QLineEdit*>("fileNameEdit") : nullptr;
            if (name == nullptr) {
                if (dialog != nullptr) dialog->reject();
                return;
            }
            name->setFocus();
            // Each key where the program delivers it: to the completion
            // list while it is open, else to the field.
            for (const QChar c : typed) {
                QWidget* popup = QApplication::activePopupWidget();
                QTest::keyClick(popup != nullptr ? popup : name, c.toLatin1());
                QTest::qWait(20);
            }
            QTest::qWait(300);  // the completion list opens after the typing
            for (QCompleter* completer : dialog->findChildren<QCompleter*>())
                popupSeen |= completer->popup() != nullptr && completer->popup()->isVisible();
            // Enter as a user presses it: into the list while it is open,
            // then into the field if the dialog is still there.
            QWidget* popup = QApplication::activePopupWidget();
            QTest::keyClick(popup != nullptr ? popup : name, Qt::Key_Return);
            QTest::qWait(50);
            if (dialog->isVisible()) QTest::keyClick(name, Qt::Key_Return);
        });
        window.ReadKELVOFile2Click();
        QVERIFY2(errors.isEmpty(), qPrintable(errors.join("; ")));
        QCOMPARE(QString::fromStdString(ts->FileName), Q(dir / read.toStdString()));
        QVERIFY(ts->TableSetOpen);
        for (QCompleter* completer : window.OpenDialog1()->findChildren<QCompleter*>())
            QVERIFY(completer->popup() == nullptr || !completer->popup()->isVisible());
        QVERIFY(QApplication::activePopupWidget() == nullptr);
        Q_UNUSED(popupSeen);
        // The next key reaches the main window, not a list left over.
        QTest::keyClick(&window, Qt::Key_F, Qt::AltModifier);
        QVERIFY(QApplication::activePopupWidget() == nullptr || qobject_cast<QMenu*>(QApplication::activePopupWidget()));
    }

    void fileDialogs() {
        Fixture f;
        QFileDialog* open = f.window.OpenDialog1();
        QCOMPARE(open->windowTitle(), QStringLiteral("Read KELVO file"));
        QCOMPARE(open->nameFilters(), QStringList{QStringLiteral("KELVO file (*.tbl)")});
        QCOMPARE(open->defaultSuffix(), QStringLiteral("tbl"));
        QCOMPARE(open->acceptMode(), QFileDialog::AcceptOpen);
        QCOMPARE(f.window.OpenDialog1(), open);  // one dialog, reused

        QFileDialog* create = f.window.CreateDialog();
        QCOMPARE(create->windowTitle(), QStringLiteral("Create Kelvo file"));
        QCOMPARE(create->nameFilters(), QStringList{QStringLiteral("Kelvo files (*.tbl)")});
        QCOMPARE(create->defaultSuffix(), QStringLiteral("tbl"));
        QCOMPARE(create->acceptMode(), QFileDialog::AcceptSave);
        QVERIFY(!create->testOption(QFileDialog::DontConfirmOverwrite));
        QCOMPARE(f.window.CreateDialog(), create);
    }

    void commandNeedsItsPrecondition_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<bool>("open");
        QTest::addColumn<bool>("results");
        QTest::addColumn<QString>("seam");  // empty: nothing may happen
        QTest::addColumn<bool>("marksModified");
        const QString none;
        for (const bool open : {false, true}) {
            for (const bool results : {false, true}) {
                const QByteArray state = QByteArray(open ? "open" : "closed") + (results ? "+results" : "");
                const auto row = [&](const char* command, const char* seam, bool needsResults, bool marks) {
                    const bool runs = open && (!needsResults || results);
                    QTest::newRow(QByteArray(command) + " " + state)
                        << QString::fromLatin1(command) << open << results
                        << (runs ? QString::fromLatin1(seam) : none) << (runs && marks);
                };
                row("Editvariables1", "showEditVariables", false, true);
                row("Edittables1", "showEditTable", false, true);
                row("Specifymodel1", "showSelectModel", false, false);
                row("Displayresults1", "showDisplayResults", true, false);
                row("Modelsummary1", "showModelSummary", true, false);
                row("Oddsratios1", "showOddsRatios", true, false);
                row("Specifyoutput1", "showSpecifyOutput", true, false);
            }
        }
    }
    void commandNeedsItsPrecondition() {
        QFETCH(QString, command);
        QFETCH(bool, open);
        QFETCH(bool, results);
        QFETCH(QString, seam);
        QFETCH(bool, marksModified);
        Fixture f;
        f.outputAccepted = false;
        f.ts->TableSetOpen = open;
        f.ts->ResultsAvailable = results;
        f.window.findChild<QAction*>(command)->trigger();
        std::vector<std::string> expected;
        if (!seam.isEmpty()) expected.push_back(seam.toStdString());
        QCOMPARE(f.calls, expected);
        QVERIFY(f.errors.isEmpty());
        COMPARE_FLAGS(*f.ts, marksModified, open, results);
    }

    void helpAndAboutNeedNoTableSet_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("seam");
        QTest::newRow("about") << "AboutKELVO1" << "showAbout";
        QTest::newRow("help") << "Kelvohelp1" << "showHelp";
    }
    void helpAndAboutNeedNoTableSet() {
        QFETCH(QString, command);
        QFETCH(QString, seam);
        Fixture f;
        f.window.findChild<QAction*>(command)->trigger();
        QCOMPARE(f.calls, std::vector<std::string>{seam.toStdString()});
    }

    // The flag table: each event from a few starting states.
    void flagTransitions_data() {
        QTest::addColumn<QString>("event");
        QTest::addColumn<int>("before");  // bits: 1 modified, 2 open, 4 results
        QTest::addColumn<int>("after");
        QTest::newRow("create from nothing") << "create" << 0 << 3;
        QTest::newRow("create over results") << "create" << 6 << 3;
        QTest::newRow("read from nothing") << "read" << 0 << 2;
        QTest::newRow("read over modified results") << "read" << 7 << 2;
        QTest::newRow("edit variables") << "editvariables" << 2 << 3;
        QTest::newRow("edit variables keeps results") << "editvariables" << 6 << 7;
        QTest::newRow("edit tables") << "edittables" << 2 << 3;
        QTest::newRow("edit tables keeps results") << "edittables" << 6 << 7;
        QTest::newRow("specify model changes none") << "specifymodel" << 6 << 6;
    }
    void flagTransitions() {
        QFETCH(QString, event);
        QFETCH(int, before);
        QFETCH(int, after);
        TempDir dir;
        Fixture f;
        f.ts->FileName = (dir / "old.tbl").string();
        f.ts->TableSetModified = before & 1;
        f.ts->TableSetOpen = before & 2;
        f.ts->ResultsAvailable = before & 4;
        kelvo::test::WriteFile(dir / "in.tbl", TwoVariables);
        f.createPath = Q(dir / "new.tbl");
        f.openPath = Q(dir / "in.tbl");
        if (event == QLatin1String("create")) f.window.CreateKELVOFile1Click();
        if (event == QLatin1String("read")) f.window.ReadKELVOFile2Click();
        if (event == QLatin1String("editvariables")) f.window.Editvariables1Click();
        if (event == QLatin1String("edittables")) f.window.Edittables1Click();
        if (event == QLatin1String("specifymodel")) f.window.Specifymodel1Click();
        QVERIFY(f.errors.isEmpty());
        COMPARE_FLAGS(*f.ts, after & 1, after & 2, after & 4);
    }

    void createCancelledChangesNothing() {
        Fixture f;
        f.ts->CategoryNames[1][1] = "Male";
        f.createPath.clear();
        f.window.CreateKELVOFile1Click();
        QCOMPARE(f.calls, std::vector<std::string>{"chooseCreateFile"});
        COMPARE_FLAGS(*f.ts, 0, 0, 0);
        QCOMPARE(f.ts->CategoryNames[1][1].str(), std::string("Male"));
        QCOMPARE(f.window.Label3->text(), QStringLiteral("-"));
        QVERIFY(f.ts->FileName.empty());
    }

    // A new table set starts empty: the cells of the table set read before
    // do not reach it, nor, by Exit, its file.
    void createAfterReadHasZeroCells() {
        TempDir dir;
        Fixture f;
        f.openPath = Q(kelvo::test::SourcePath("examples/titanic.tbl"));
        f.window.ReadKELVOFile2Click();
        QVERIFY(f.ts->PairTables[1][1][1] != 0);
        f.createPath = Q(dir / "new.tbl");
        f.onDialog = [&f] {
            f.ts->VariableCount = 2;
            f.ts->CategoryCounts[1] = f.ts->CategoryCounts[2] = 2;
        };
        f.window.CreateKELVOFile1Click();
        for (const kelvo::PairTable& table : f.ts->PairTables)
            for (const auto& row : table)
                for (const std::int32_t cell : row) QCOMPARE(cell, 0);
        f.window.Exit1Click();
        QCOMPARE(QString::fromStdString(ReadFile(dir / "new.tbl")).count(QStringLiteral("         0 ")), 4);
    }

    // After an estimation that stopped, the results of an earlier model must
    // not be shown or written under this model's names.
    void noResultsAfterAStoppedEstimation_data() {
        QTest::addColumn<QString>("command");
        QTest::newRow("display") << "Displayresults1";
        QTest::newRow("summary") << "Modelsummary1";
        QTest::newRow("output") << "Specifyoutput1";
    }
    void noResultsAfterAStoppedEstimation() {
        QFETCH(QString, command);
        Fixture f;
        f.ts->TableSetOpen = f.ts->ResultsAvailable = true;
        f.ts->ResultsCurrent = false;
        f.outputAccepted = true;
        f.window.findChild<QAction*>(command)->trigger();
        QVERIFY(f.calls.empty());
        QCOMPARE(f.warnings.warnings, std::vector<std::string>{"No results: the last model was not estimated"});
        QVERIFY(f.ts->ResultsAvailable);
    }

    void createStartsNewTableSet() {
        TempDir dir;
        Fixture f;
        f.ts->VariableCount = 3;
        f.ts->CategoryNames[4][16] = "Old";
        f.ts->VariableNames[1] = "Kept";
        f.createPath = Q(dir / "survey.2006.tbl");
        f.onDialog = [&f] {
            // The variable list editor opens on the new, empty table set.
            COMPARE_FLAGS(*f.ts, 1, 1, 0);
            QCOMPARE(f.ts->VariableCount, 0);
            f.ts->VariableCount = 2;  // the user defines two variables
        };
        f.window.CreateKELVOFile1Click();
        QCOMPARE(f.calls, (std::vector<std::string>{"chooseCreateFile", "showCreateVariables"}));
        QCOMPARE(f.ts->FileName, (dir / "survey.2006.tbl").string());
        QCOMPARE(f.ts->FileBaseName, std::string("survey"));
        for (int v = 1; v <= kelvo::MaxVariables; ++v)
            for (int n = 1; n <= kelvo::MaxCategories; ++n)
                QCOMPARE(f.ts->CategoryNames[v][n].str(), "C" + std::to_string(n));
        QCOMPARE(f.ts->VariableNames[1].str(), std::string("Kept"));
        QCOMPARE(f.window.Label3->text(), Q(dir / "survey.2006.tbl"));
        // The labels change only in Create and Read.
        QCOMPARE(f.window.Label5->text(), QStringLiteral("0"));
        QVERIFY(!std::filesystem::exists(dir / "survey.2006.tbl"));  // written by the next Exit or Read
    }

    void baseNameOfChosenFile_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("baseName");
        QTest::newRow("two dots") << "survey.2006.tbl" << "survey";
        QTest::newRow("plain") << "titanic.tbl" << "titanic";
        QTest::newRow("no dot") << "survey" << "";
        QTest::newRow("dotted folder") << "dir.v2/data.tbl" << "data";
        QTest::newRow("latin-1 name") << QString::fromUtf8("\u00e9t\u00e9.tbl") << QString::fromUtf8("\u00e9t\u00e9");
    }
    void baseNameOfChosenFile() {
        QFETCH(QString, name);
        QFETCH(QString, baseName);
        TempDir dir;
        Fixture f;
        f.createPath = Q(dir.path()) + QLatin1Char('/') + name;
        f.window.CreateKELVOFile1Click();
        QCOMPARE(kelvo::ui::FromPath(f.ts->FileBaseName), baseName);
        QCOMPARE(f.window.Label3->text(), f.createPath);
    }

    void readShowsFileAndCount() {
        TempDir dir;
        const std::filesystem::path folder = dir / "d\xc3\xa9j\xc3\xa0";  // a non-ASCII folder
        std::filesystem::create_directory(folder);
        kelvo::test::WriteFile(folder / "two.tbl", TwoVariables);
        Fixture f;
        f.openPath = Q(folder / "two.tbl");
        f.ts->ResultsAvailable = true;
        f.window.ReadKELVOFile2Click();
        QVERIFY2(f.errors.isEmpty(), qPrintable(f.errors.join(QLatin1Char('\n'))));
        QCOMPARE(f.ts->VariableCount, 2);
        QCOMPARE(f.ts->PairTables[1][1][2], 12);
        QCOMPARE(f.ts->FileBaseName, std::string("two"));
        QCOMPARE(f.window.Label3->text(), f.openPath);
        QCOMPARE(f.window.Label5->text(), QStringLiteral("2"));
        COMPARE_FLAGS(*f.ts, 0, 1, 0);
    }

    void readWithWarningStillOpensTheFile() {
        TempDir dir;
        kelvo::test::WriteFile(dir / "bad.tbl", std::string(TwoVariables) + "Age-Sex\r\n");
        Fixture f;
        f.openPath = Q(dir / "bad.tbl");
        f.window.ReadKELVOFile2Click();
        QCOMPARE(f.warnings.warnings, std::vector<std::string>{"Incorrect table specification: Age-Sex"});
        QVERIFY(f.errors.isEmpty());
        COMPARE_FLAGS(*f.ts, 0, 1, 0);
        QCOMPARE(f.window.Label5->text(), QStringLiteral("2"));
    }

    // Read writes a modified table set before the open dialog appears, also
    // when the dialog is then cancelled.
    void readWritesModifiedTableSetFirst_data() {
        QTest::addColumn<bool>("cancel");
        QTest::newRow("file chosen") << false;
        QTest::newRow("dialog cancelled") << true;
    }
    void readWritesModifiedTableSetFirst() {
        QFETCH(bool, cancel);
        TempDir dir;
        kelvo::test::WriteFile(dir / "next.tbl", TwoVariables);
        Fixture f;
        f.OpenModified(dir / "current.tbl");
        f.ts->VariableCount = 1;
        f.ts->VariableNames[1] = "Only";
        f.ts->CategoryCounts[1] = 2;
        const std::string expected = kelvo::TableSetText(*f.ts);
        bool writtenBeforeDialog = false;
        f.onOpenDialog = [&] { writtenBeforeDialog = std::filesystem::exists(dir / "current.tbl"); };
        f.openPath = cancel ? QString() : Q(dir / "next.tbl");
        f.window.ReadKELVOFile2Click();
        QVERIFY(writtenBeforeDialog);
        QCOMPARE(ReadFile(dir / "current.tbl"), expected);
        if (cancel) {
            COMPARE_FLAGS(*f.ts, 1, 1, 0);  // the flag keeps its value
            QCOMPARE(f.ts->FileName, (dir / "current.tbl").string());
        } else {
            COMPARE_FLAGS(*f.ts, 0, 1, 0);
            QCOMPARE(f.ts->VariableCount, 2);
        }
    }

    void failedWriteEndsReadBeforeTheDialog() {
        TempDir dir;
        Fixture f;
        f.OpenModified(dir / "missing-folder" / "current.tbl");
        f.openPath = Q(dir / "other.tbl");
        f.window.ReadKELVOFile2Click();
        QCOMPARE(f.errors, QStringList{QStringLiteral("Path not found")});
        QVERIFY(f.calls.empty());  // no open dialog
        COMPARE_FLAGS(*f.ts, 1, 1, 0);
    }

    // A failed read leaves everything as it was before the command.
    void failedReadChangesNothing_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("contents");  // empty: the file does not exist
        QTest::addColumn<QString>("error");
        QTest::newRow("missing file") << "missing.tbl" << QByteArray() << "File not found";
        QTest::newRow("bad number in a table")
            << "bad.tbl" << QByteArray(TwoVariables).replace("        10", "        1O") << "Invalid numeric input";
        QTest::newRow("too many variables") << "big.tbl" << QByteArray("17\r\n") << "Too many variables in file: 17 (at most 16)";
    }
    void failedReadChangesNothing() {
        QFETCH(QString, file);
        QFETCH(QByteArray, contents);
        QFETCH(QString, error);
        TempDir dir;
        if (!contents.isEmpty()) kelvo::test::WriteFile(dir / file.toStdString(), contents.toStdString());
        kelvo::test::WriteFile(dir / "first.tbl", TwoVariables);
        Fixture f;
        f.openPath = Q(dir / "first.tbl");
        f.window.ReadKELVOFile2Click();
        f.ts->VariableRoles[1] = 2;
        f.ts->ResultsAvailable = true;
        f.ts->PairTables[1][1][1] = 99;
        f.ts->TableSetModified = true;
        const std::string before = kelvo::TableSetText(*f.ts);
        const TableSet saved = *f.ts;

        f.openPath = Q(dir / file.toStdString());
        f.window.ReadKELVOFile2Click();
        // The reason, and the file it tried on a second line.
        QCOMPARE(f.errors, QStringList{error + "\n" + f.openPath});
        QCOMPARE(kelvo::TableSetText(*f.ts), before);
        QCOMPARE(f.ts->VariableRoles, saved.VariableRoles);
        QCOMPARE(f.ts->FileName, saved.FileName);
        QCOMPARE(f.ts->FileBaseName, std::string("first"));
        COMPARE_FLAGS(*f.ts, 1, 1, 1);
        QCOMPARE(f.window.Label3->text(), Q(dir / "first.tbl"));
        // The next write goes to the file that was open, not the chosen one.
        f.openPath.clear();
        f.window.ReadKELVOFile2Click();
        QCOMPARE(ReadFile(dir / "first.tbl"), before);
        if (contents.isEmpty()) QVERIFY(!std::filesystem::exists(dir / file.toStdString()));
        else QCOMPARE(ReadFile(dir / file.toStdString()), contents.toStdString());
    }

    // Exit and the frame's close button both write a modified table set.
    void closingWritesModifiedTableSet_data() {
        QTest::addColumn<QString>("how");
        QTest::newRow("Exit") << "exit";
        QTest::newRow("close box") << "closebox";
    }
    void closingWritesModifiedTableSet() {
        QFETCH(QString, how);
        TempDir dir;
        Fixture f;
        f.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f.window));
        f.OpenModified(dir / "current.tbl");
        f.ts->VariableCount = 1;
        f.ts->VariableNames[1] = "Only";
        f.ts->CategoryCounts[1] = 2;
        Close(f.window, how);
        QVERIFY(f.errors.isEmpty());
        QVERIFY(!f.window.isVisible());
        QCOMPARE(ReadFile(dir / "current.tbl"), kelvo::TableSetText(*f.ts));
    }

    void closingUnmodifiedWritesNothing_data() { closingWritesModifiedTableSet_data(); }
    void closingUnmodifiedWritesNothing() {
        QFETCH(QString, how);
        TempDir dir;
        Fixture f;
        f.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f.window));
        f.OpenModified(dir / "current.tbl");
        f.ts->TableSetModified = false;
        Close(f.window, how);
        QVERIFY(!f.window.isVisible());
        QVERIFY(!std::filesystem::exists(dir / "current.tbl"));
    }

    // A failed write keeps the window open and the table set modified.
    void failedWriteKeepsWindowOpen_data() { closingWritesModifiedTableSet_data(); }
    void failedWriteKeepsWindowOpen() {
        QFETCH(QString, how);
        TempDir dir;
        Fixture f;
        f.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f.window));
        f.OpenModified(dir / "no-such-folder" / "current.tbl");
        Close(f.window, how);
        QCOMPARE(f.errors, QStringList{QStringLiteral("Path not found")});
        QVERIFY(f.window.isVisible());
        QVERIFY(f.ts->TableSetModified);
        // The window stays usable: after fixing the name, Exit works.
        f.ts->FileName = (dir / "current.tbl").string();
        f.window.Exit1->trigger();
        QVERIFY(!f.window.isVisible());
        QVERIFY(std::filesystem::exists(dir / "current.tbl"));
    }

    void createThenExitWritesCountLineOnly() {
        TempDir dir;
        Fixture f;
        f.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f.window));
        f.createPath = Q(dir / "new.tbl");
        f.window.CreateKELVOFile1->trigger();
        f.window.Exit1->trigger();
        QVERIFY(!f.window.isVisible());
        QCOMPARE(ReadFile(dir / "new.tbl"), std::string("0\r\n"));
    }

    // Create writes a modified table set first instead of dropping it.
    void createWritesModifiedTableSetFirst_data() { readWritesModifiedTableSetFirst_data(); }
    void createWritesModifiedTableSetFirst() {
        QFETCH(bool, cancel);
        TempDir dir;
        Fixture f;
        f.OpenModified(dir / "typed.tbl");
        f.ts->VariableCount = 1;
        f.ts->VariableNames[1] = "Typed";
        f.ts->CategoryCounts[1] = 3;
        const std::string typed = kelvo::TableSetText(*f.ts);
        f.createPath = cancel ? QString() : Q(dir / "new.tbl");
        f.window.CreateKELVOFile1Click();
        QCOMPARE(ReadFile(dir / "typed.tbl"), typed);
        QCOMPARE(f.ts->FileName, (dir / (cancel ? "typed.tbl" : "new.tbl")).string());
    }

    void failedWriteEndsCreateBeforeTheDialog() {
        TempDir dir;
        Fixture f;
        f.OpenModified(dir / "missing-folder" / "typed.tbl");
        f.createPath = Q(dir / "new.tbl");
        f.window.CreateKELVOFile1Click();
        QCOMPARE(f.errors, QStringList{QStringLiteral("Path not found")});
        QVERIFY(f.calls.empty());
        QCOMPARE(f.ts->FileName, (dir / "missing-folder" / "typed.tbl").string());
    }

    void specifyOutputWritesReportWhenAccepted_data() {
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<QString>("failure");
        QTest::newRow("accepted") << true << "";
        QTest::newRow("cancelled") << false << "";
        QTest::newRow("write fails") << true << "Disk full";
    }
    void specifyOutputWritesReportWhenAccepted() {
        QFETCH(bool, accepted);
        QFETCH(QString, failure);
        Fixture f;
        f.ts->TableSetOpen = f.ts->ResultsAvailable = true;
        f.outputAccepted = accepted;
        f.reportError = failure.toStdString();
        f.window.Specifyoutput1->trigger();
        std::vector<std::string> expected{"showSpecifyOutput"};
        if (accepted) expected.push_back("writeReport");
        QCOMPARE(f.calls, expected);
        QCOMPARE(f.errors, failure.isEmpty() ? QStringList() : QStringList{failure});
        // The main window carries on after the error.
        f.calls.clear();
        f.window.Displayresults1->trigger();
        QCOMPARE(f.calls, std::vector<std::string>{"showDisplayResults"});
    }

    // A file failure inside any opened window ends the command with the
    // error box; it never escapes into the event loop.
    void ioErrorInsideADialogIsShown_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<bool>("marksModified");
        QTest::newRow("Specify model") << "Specifymodel1" << false;
        QTest::newRow("Edit tables") << "Edittables1" << true;
    }
    void ioErrorInsideADialogIsShown() {
        QFETCH(QString, command);
        QFETCH(bool, marksModified);
        Fixture f;
        f.ts->TableSetOpen = true;
        f.onDialog = [] { throw kelvo::IoError("File access denied"); };
        f.window.findChild<QAction*>(command)->trigger();
        QCOMPARE(f.errors, QStringList{QStringLiteral("File access denied")});
        QCOMPARE(f.ts->TableSetModified, marksModified);
    }

    void emptySeamsDoNothing() {
        auto ts = std::make_unique<TableSet>();
        kelvo::test::RecordingWarnings warnings;
        TMain window(*ts, warnings);
        window.seams = TMain::Seams{};
        ts->TableSetOpen = ts->ResultsAvailable = true;
        for (QAction* menu : window.menuBar()->actions())
            for (QAction* item : menu->menu()->actions())
                if (!item->isSeparator() && item != window.Exit1) item->trigger();
        COMPARE_FLAGS(*ts, 1, 1, 1);
    }

    void longPathIsShortenedOnScreenOnly() {
        Fixture f;
        const QString path = QStringLiteral("/a/very/long/folder/name/that/does/not/fit/into/the/panel/of/the/"
                                            "main/window/at/all/survey.tbl");
        f.createPath = path;
        f.window.CreateKELVOFile1Click();
        QCOMPARE(f.window.Label3->text(), path);
        QCOMPARE(f.window.Label3->toolTip(), path);
    }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
