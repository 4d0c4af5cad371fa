// Save and the recovery journal in the desktop program: what typing writes
// and when, what Save, Exit and Read do with it, what the start-up and Read
// offer, and what a journal that cannot be written or read does.
#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>
#include <filesystem>
#include <memory>
#include <fcntl.h>
#include <sys/stat.h>

#include "app_windows.h"
#include "data_entry_test_support.h"
#include "edit_table.h"
#include "edit_variable.h"
#include "journal_writer.h"
#include "main_window.h"
#include "recovery.h"
#include "recovery_folder.h"
#include "recovery_journal.h"
#include "table_set.h"
#include "table_set_file.h"
#include "test_support.h"
#include "window_test_support.h"

namespace fs = std::filesystem;
using kelvo::TableSet;
using kelvo::test::ReadFile;
using kelvo::test::TempDir;
using kelvo::test::WhenModalShown;
using kelvo::ui::AppWindows;
using kelvo::ui::Recovery;

namespace {

// The program's windows over a copy of titanic.tbl, with journals kept in a
// folder of the test's own; the questions, errors and notices recorded.
struct Session {
    explicit Session(const TempDir& dir)
        : folder(dir / "state" / "recovery"),
          file(dir / "titanic.tbl"),
          ts(std::make_unique<TableSet>()),
          windows(std::make_unique<AppWindows>(*ts, folder)) {
        if (!fs::exists(file)) fs::copy_file(kelvo::test::SourcePath("examples/titanic.tbl"), file);
        Recovery& recovery = windows->RecoveryJournal();
        recovery.seams.ask = [this](const QString& question) {
            questions << question;
            return answers.isEmpty() ? answer : answers.takeFirst();
        };
        recovery.seams.showError = [this](const QString& text) { errors << text; };
        windows->Main().seams.showError = recovery.seams.showError;
    }
    Recovery& recovery() { return windows->RecoveryJournal(); }
    kelvo::ui::TMain& main() { return windows->Main(); }
    fs::path journal() const { return kelvo::JournalPath(folder, file.string()); }
    // Reads the file as Read KELVO file does and changes one cell, as the
    // table editor would.
    void ReadAndChange(std::int32_t value) {
        main().ReadKELVOFile(QString::fromStdString(file.string()));
        ts->PairTables[1][1][1] = value;
        ts->TableSetModified = true;
        main().seams.tableSetChanged();
    }

    fs::path folder;
    fs::path file;
    std::unique_ptr<TableSet> ts;
    std::unique_ptr<AppWindows> windows;
    QStringList questions;
    QStringList errors;
    // The answers to the questions in turn; then `answer` to every other.
    QList<Recovery::Answer> answers;
    Recovery::Answer answer = Recovery::Answer::Recover;
};

std::unique_ptr<TableSet> Parsed(const std::string& tableSetText) {
    auto ts = std::make_unique<TableSet>();
    kelvo::CollectingWarningSink warnings;
    kelvo::ReadInputSide(*ts, tableSetText, warnings);
    return ts;
}

std::int32_t FirstCellOf(const std::string& tableSetText) { return Parsed(tableSetText)->PairTables[1][1][1]; }

QString Q(const fs::path& path) { return QString::fromStdString(path.string()); }

// Waits until `window` has the keyboard (its own window, not only exposed).
bool Active(QWidget* window) {
    return QTest::qWaitFor([window] { return QApplication::activeWindow() == window; }, 5000);
}

// Makes the table-set file older than anything written afterwards.
void Age(const fs::path& file) {
    const timespec old[2] = {{::time(nullptr) - 600, 0}, {::time(nullptr) - 600, 0}};
    QCOMPARE(::utimensat(AT_FDCWD, file.c_str(), old, 0), 0);
}

}  // namespace

class RecoveryTest : public QObject {
    Q_OBJECT
private slots:
    // Typing in the real table editor: about 100 keystrokes write the
    // journal within the interval, once per interval at most, and the
    // table-set file is not touched.
    void typingWritesTheJournalSoonAndSeldom() {
        TempDir dir;
        Session s(dir);
        const std::string before = ReadFile(s.file);
        s.main().ReadKELVOFile(QString::fromStdString(s.file.string()));
        qint64 typing = 0;
        bool written = false;
        WhenModalShown([&](QWidget* modal) {
            auto* editor = qobject_cast<kelvo::ui::TEditTable*>(modal);
            QVERIFY(editor != nullptr);
            QVERIFY(QTest::qWaitForWindowActive(editor));
            editor->SetCurrentCell(1, 1);
            editor->Tab->setFocus();
            QVERIFY(QApplication::focusWidget() != nullptr);
            QElapsedTimer clock;
            clock.start();
            // Spread over most of a second, as a fast typist would.
            for (int i = 0; i < 50; ++i) {
                kelvo::test::TypeIntoFocus(QStringLiteral("7"));
                QTest::qWait(8);
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backspace);
                QTest::qWait(8);
            }
            kelvo::test::TypeIntoFocus(QStringLiteral("4"));
            typing = clock.elapsed();
            // Within one interval and a little for the disk; then every
            // write of the burst has been made.
            written = QTest::qWaitFor([&] { return fs::exists(s.journal()); }, Recovery::Interval + 1000);
            QTest::qWait(Recovery::Interval + 200);
            editor->OKButton->click();
        });
        s.main().Edittables1->trigger();
        QVERIFY2(written, "no journal within the interval");
        s.recovery().WriteWaiting();
        const kelvo::Journal journal = kelvo::ReadJournal(s.journal());
        QCOMPARE(FirstCellOf(journal.tableSetText), 4);
        QCOMPARE(journal.tableSetPath, s.file.string());
        // One journal per interval begun: 100 keystrokes in a second make
        // at most two.
        const int bound = 1 + static_cast<int>((typing + Recovery::Interval - 1) / Recovery::Interval);
        qInfo("%d journal writes for 101 keystrokes in %lld ms", s.recovery().Writes(), static_cast<long long>(typing));
        QVERIFY2(s.recovery().Writes() <= bound,
                 qPrintable(QStringLiteral("%1 writes for %2 ms of typing").arg(s.recovery().Writes()).arg(typing)));
        QCOMPARE(ReadFile(s.file), before);
    }

    // An undone number reaches the journal as a typed one does: the journal
    // holds the table set as the undo left it.
    void undoInTheTableEditorWritesTheJournal() {
        TempDir dir;
        Session s(dir);
        const std::int32_t original = FirstCellOf(ReadFile(s.file));
        s.main().ReadKELVOFile(QString::fromStdString(s.file.string()));
        WhenModalShown([&](QWidget* modal) {
            auto* editor = qobject_cast<kelvo::ui::TEditTable*>(modal);
            QVERIFY(editor != nullptr);
            QVERIFY(QTest::qWaitForWindowActive(editor));
            editor->SetCurrentCell(1, 1);
            editor->Tab->setFocus();
            kelvo::test::TypeIntoFocus(QStringLiteral("4"));
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            s.recovery().WriteWaiting();
            QCOMPARE(FirstCellOf(kelvo::ReadJournal(s.journal()).tableSetText), 4);
            QTest::keyClick(editor->Tab, Qt::Key_Z, Qt::ControlModifier);
            QCOMPARE(s.ts->PairTables[1][1][1], original);
            s.recovery().WriteWaiting();
            QCOMPARE(FirstCellOf(kelvo::ReadJournal(s.journal()).tableSetText), original);
            editor->OKButton->click();
        });
        s.main().Edittables1->trigger();
    }

    // Save writes the file, clears the flag and removes the journal, and a
    // change still waiting is never written after it; without a table set it
    // does nothing.
    void saveTakesTheJournalsPlace() {
        TempDir dir;
        Session s(dir);
        s.main().Save1->trigger();
        QVERIFY(!fs::exists(s.folder));
        QVERIFY(s.errors.isEmpty());

        s.main().show();
        QVERIFY(QTest::qWaitForWindowActive(&s.main()));
        s.ReadAndChange(9876);
        s.recovery().WriteWaiting();
        QVERIFY(fs::exists(s.journal()));
        s.ts->PairTables[1][1][1] = 5432;
        s.main().seams.tableSetChanged();  // waiting when Save comes
        QTest::keyClick(&s.main(), Qt::Key_S, Qt::ControlModifier);
        QVERIFY(!s.ts->TableSetModified);
        QCOMPARE(FirstCellOf(ReadFile(s.file)), 5432);
        QTest::qWait(Recovery::Interval + 200);
        s.recovery().WriteWaiting();
        QVERIFY(!fs::exists(s.journal()));
        QVERIFY(s.errors.isEmpty());
    }

    // Exit and Read write a modified table set and remove its journal.
    void exitAndReadRemoveTheJournal_data() {
        QTest::addColumn<bool>("exit");
        QTest::newRow("Exit") << true;
        QTest::newRow("Read") << false;
    }
    void exitAndReadRemoveTheJournal() {
        QFETCH(bool, exit);
        TempDir dir;
        Session s(dir);
        s.main().show();
        QVERIFY(QTest::qWaitForWindowExposed(&s.main()));
        s.ReadAndChange(1111);
        s.recovery().WriteWaiting();
        QVERIFY(fs::exists(s.journal()));
        if (exit) {
            s.main().Exit1->trigger();
        } else {
            s.main().seams.chooseOpenFile = [] { return QString(); };  // cancelled after the write
            s.main().ReadKELVOFile2->trigger();
        }
        QCOMPARE(FirstCellOf(ReadFile(s.file)), 1111);
        QVERIFY(!fs::exists(s.journal()));
    }

    // At start-up each journal is offered: Recover loads it, modified, with
    // its file's name; Discard removes it; Later keeps it.
    void startUpOffersTheJournals_data() {
        QTest::addColumn<int>("answer");
        QTest::newRow("Recover") << int(Recovery::Answer::Recover);
        QTest::newRow("Discard") << int(Recovery::Answer::Discard);
        QTest::newRow("Later") << int(Recovery::Answer::Later);
    }
    void startUpOffersTheJournals() {
        QFETCH(int, answer);
        TempDir dir;
        {
            Session crashed(dir);
            crashed.ReadAndChange(2222);
            crashed.recovery().WriteWaiting();
            // The program ends here without saving, as after a crash: no
            // command of the window runs.
        }
        Session s(dir);
        s.answer = Recovery::Answer(answer);
        s.main().OfferRecovery();
        QCOMPARE(s.questions.size(), 1);
        QVERIFY(s.questions[0].startsWith(
            QStringLiteral("Recover unsaved changes to %1 from ").arg(QString::fromStdString(s.file.string()))));
        QVERIFY(s.errors.isEmpty());
        QCOMPARE(s.ts->TableSetOpen, answer == int(Recovery::Answer::Recover));
        QCOMPARE(fs::exists(s.journal()), answer != int(Recovery::Answer::Discard));
        if (answer == int(Recovery::Answer::Recover)) {
            QVERIFY(s.ts->TableSetModified);
            QCOMPARE(s.ts->PairTables[1][1][1], 2222);
            QCOMPARE(s.main().Label3->text(), QString::fromStdString(s.file.string()));
            QCOMPARE(s.main().Label5->text(), QStringLiteral("4"));
            // Until the file holds them, the main window says so; the file
            // is written by Exit as any modified table set is.
            s.main().show();
            QVERIFY(QTest::qWaitForWindowExposed(&s.main()));
            QVERIFY(s.main().RecoveredLine->isVisible());
            s.main().Exit1->trigger();
            QCOMPARE(FirstCellOf(ReadFile(s.file)), 2222);
            QVERIFY(!fs::exists(s.journal()));
            QVERIFY(!s.main().RecoveredLine->isVisibleTo(&s.main()));
        }
    }

    // Read offers a journal only when it is newer than the file.
    void readOffersANewerJournal() {
        TempDir dir;
        {
            Session crashed(dir);
            crashed.ReadAndChange(3333);
            crashed.recovery().WriteWaiting();
        }
        Session s(dir);
        // The file was written after the journal (elsewhere): not offered.
        const timespec later[2] = {{::time(nullptr) + 60, 0}, {::time(nullptr) + 60, 0}};
        QCOMPARE(::utimensat(AT_FDCWD, s.file.c_str(), later, 0), 0);
        s.main().ReadKELVOFile(QString::fromStdString(s.file.string()));
        QVERIFY(s.questions.isEmpty());
        QVERIFY(!s.ts->TableSetModified);

        Age(s.file);
        s.main().ReadKELVOFile(QString::fromStdString(s.file.string()));
        QCOMPARE(s.questions.size(), 1);
        QVERIFY(s.ts->TableSetModified);
        QCOMPARE(s.ts->PairTables[1][1][1], 3333);
    }

    // A journal that cannot be read is set aside before anything else is
    // written for its file, at start-up and at Read, and the box says where
    // it is; nothing is loaded from it, and it is never written over.
    void damagedJournalIsSetAsideAndKept() {
        TempDir dir;
        Session s(dir);
        fs::create_directories(s.folder);
        const std::string damaged = "KELVO recovery journal 1\npath " + s.file.string() + "\ntime 1\nsize 99\n4\r\n";
        std::vector<fs::path> aside;
        for (const bool atStartUp : {true, false}) {
            kelvo::test::WriteFile(s.journal(), damaged + (atStartUp ? "1" : "2"));
            if (atStartUp) {
                s.main().OfferRecovery();
                QVERIFY(!s.ts->TableSetOpen);
            } else {
                Age(s.file);
                s.ReadAndChange(77);
            }
            QCOMPARE(s.errors.size(), int(aside.size()) + 1);
            const QStringList lines = s.errors.back().split(QLatin1Char('\n'));
            QCOMPARE(lines.value(0), QStringLiteral("Damaged recovery file: it is kept"));
            aside.push_back(lines.value(1).toStdString());
            QVERIFY2(aside.back().filename().string().find(".damaged-") != std::string::npos, qPrintable(lines.value(1)));
            QCOMPARE(ReadFile(aside.back()), damaged + (atStartUp ? "1" : "2"));
        }
        QVERIFY(s.questions.isEmpty());
        QVERIFY(s.ts->TableSetOpen);
        // The change typed after the Read has its journal, beside both.
        s.recovery().WriteWaiting();
        QCOMPARE(FirstCellOf(kelvo::ReadJournal(s.recovery().CurrentJournal()).tableSetText), 77);
        QCOMPARE(ReadFile(aside[0]), damaged + "1");
        QCOMPARE(ReadFile(aside[1]), damaged + "2");
    }

    // Later keeps a journal as it is: the run goes on with a journal of its
    // own, and the next start offers both, newest first (or, after a Save,
    // the old one as older than the file).
    void laterKeepsTheJournal_data() {
        QTest::addColumn<bool>("save");
        QTest::newRow("then a crash") << false;
        QTest::newRow("then Save") << true;
    }
    void laterKeepsTheJournal() {
        QFETCH(bool, save);
        TempDir dir;
        {
            Session crashed(dir);
            crashed.ReadAndChange(2222);
            crashed.recovery().WriteWaiting();
        }
        const fs::path first = kelvo::JournalPath(dir / "state" / "recovery", (dir / "titanic.tbl").string());
        const std::string kept = ReadFile(first);
        Age(dir / "titanic.tbl");
        {
            Session s(dir);
            s.answer = Recovery::Answer::Later;
            s.ReadAndChange(3333);
            QCOMPARE(s.questions.size(), 1);
            QVERIFY(s.questions[0].contains(QStringLiteral("\nThey are newer than the file (saved ")));
            s.recovery().WriteWaiting();
            QVERIFY(s.recovery().CurrentJournal() != first);
            QCOMPARE(FirstCellOf(kelvo::ReadJournal(s.recovery().CurrentJournal()).tableSetText), 3333);
            QCOMPARE(ReadFile(first), kept);
            if (save) {
                s.main().Save1->trigger();
                QVERIFY(!fs::exists(s.recovery().CurrentJournal()));
            }
        }
        QCOMPARE(ReadFile(first), kept);
        // The newest first: Later for the second run's, Recover for the
        // first run's.
        Session next(dir);
        next.answers = {Recovery::Answer::Later, Recovery::Answer::Recover};
        if (save) next.answers.pop_front();
        next.main().OfferRecovery();
        QCOMPARE(next.questions.size(), save ? 1 : 2);
        QVERIFY(next.ts->TableSetOpen);
        QCOMPARE(next.ts->PairTables[1][1][1], 2222);
        QVERIFY(next.questions.back().contains(save ? QStringLiteral("\nThey are older than the file (saved ")
                                                    : QStringLiteral("\nThey are newer than the file (saved ")));
        QCOMPARE(FirstCellOf(ReadFile(next.file)), save ? 3333 : 180);
    }

    // One file, one KELVO: a second one that would open the file says who
    // has it and opens nothing; at start-up it neither offers nor discards
    // the owner's journal. Once the owner has gone, the journal is offered.
    void anotherKelvoHasTheFile_data() {
        QTest::addColumn<QString>("command");
        QTest::newRow("Read") << "Read";
        QTest::newRow("Create") << "Create";
        QTest::newRow("start-up") << "start-up";
    }
    void anotherKelvoHasTheFile() {
        QFETCH(QString, command);
        TempDir dir;
        auto owner = std::make_unique<Session>(dir);
        owner->ReadAndChange(4444);
        owner->recovery().WriteWaiting();
        const std::string journal = ReadFile(owner->journal());

        Session second(dir);
        second.answer = Recovery::Answer::Discard;
        second.main().seams.chooseCreateFile = [&] { return Q(second.file); };
        bool created = false;
        second.main().seams.showCreateVariables = [&] { created = true; };
        if (command == QLatin1String("Read")) second.main().ReadKELVOFile(Q(second.file));
        else if (command == QLatin1String("Create")) second.main().CreateKELVOFile1->trigger();
        else second.main().OfferRecovery();
        const QStringList expected = {
            QStringLiteral("%1 is open in another KELVO window (process %2)")
                .arg(Q(second.file))
                .arg(QCoreApplication::applicationPid())};
        QCOMPARE(second.errors, command == QLatin1String("start-up") ? QStringList() : expected);
        QVERIFY(second.questions.isEmpty());
        QVERIFY(!second.ts->TableSetOpen);
        QVERIFY(!created);
        QCOMPARE(second.main().Label3->text(), QStringLiteral("-"));
        QCOMPARE(ReadFile(second.journal()), journal);

        owner.reset();  // gone without saving
        second.answer = Recovery::Answer::Recover;
        second.main().OfferRecovery();
        QCOMPARE(second.questions.size(), 1);
        QCOMPARE(second.ts->PairTables[1][1][1], 4444);
    }

    // Ctrl+S saves from inside the editors, with what they show.
    void saveFromTheEditors_data() {
        QTest::addColumn<bool>("tableEditor");
        QTest::newRow("table editor") << true;
        QTest::newRow("variable editor") << false;
    }
    void saveFromTheEditors() {
        QFETCH(bool, tableEditor);
        TempDir dir;
        Session s(dir);
        s.main().show();
        QVERIFY(Active(&s.main()));
        s.main().ReadKELVOFile(Q(s.file));
        std::unique_ptr<TableSet> saved;
        const auto typeAndSave = [&](QWidget* window, const QString& text) {
            QVERIFY(Active(window));
            kelvo::test::TypeIntoFocus(text);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_S, Qt::ControlModifier);
            saved = Parsed(ReadFile(s.file));
        };
        if (tableEditor) {
            WhenModalShown([&](QWidget* modal) {
                auto* editor = qobject_cast<kelvo::ui::TEditTable*>(modal);
                QVERIFY(editor != nullptr);
                editor->SetCurrentCell(1, 1);
                editor->Tab->setFocus();
                typeAndSave(editor, QStringLiteral("5"));
                editor->OKButton->click();
            });
            s.main().Edittables1->trigger();
            QVERIFY(saved != nullptr);
            QCOMPARE(saved->PairTables[1][1][1], 5);
        } else {
            WhenModalShown([&](QWidget* chooser) {
                QVERIFY(chooser != nullptr);
                WhenModalShown([&](QWidget* modal) {
                    auto* editor = qobject_cast<kelvo::ui::TEditVariable*>(modal);
                    QVERIFY(editor != nullptr);
                    editor->NameEditor()->selectAll();
                    typeAndSave(editor, QStringLiteral("Klasse"));
                    editor->OKButton->click();
                });
                chooser->findChild<QPushButton*>(QStringLiteral("SelectButton"))->click();
                chooser->findChild<QPushButton*>(QStringLiteral("CancelButton"))->click();
            });
            s.main().Editvariables1->trigger();
            QVERIFY(saved != nullptr);
            QCOMPARE(saved->VariableNames[1], std::string("Klasse"));
        }
        QVERIFY(s.errors.isEmpty());
        QVERIFY(!fs::exists(s.journal()));
    }

    // A journal that cannot be written (no folder can be made, the disk is
    // full) is said in a line of the table editor and of the main window,
    // never in a box: every key typed after it lands. The line goes with the
    // next journal written; the table-set file is never touched by it.
    void failedJournalTakesNoKey_data() {
        QTest::addColumn<bool>("full");
        QTest::newRow("folder cannot be made") << false;
        QTest::newRow("disk full") << true;
    }
    void failedJournalTakesNoKey() {
        QFETCH(bool, full);
        TempDir dir;
        if (!full) kelvo::test::WriteFile(dir / "state", "a file where the folder should be");
        Session s(dir);
        s.main().show();
        QVERIFY(Active(&s.main()));
        s.main().ReadKELVOFile(Q(s.file));
        const std::string before = ReadFile(s.file);
        struct stat was {};
        QCOMPARE(::stat(s.file.c_str(), &was), 0);
        // Any other window that takes the keyboard is noted (and closed).
        QStringList taken;
        QTimer watch;
        QObject::connect(&watch, &QTimer::timeout, [&taken] {
            QWidget* modal = QApplication::activeModalWidget();
            if (modal != nullptr && qobject_cast<kelvo::ui::TEditTable*>(modal) == nullptr) {
                taken << modal->objectName();
                modal->close();
            }
        });
        watch.start(5);
        auto limit = full ? std::make_unique<kelvo::test::FileSizeLimit>(100) : nullptr;
        bool shown = false;
        bool gone = false;
        QString problem;
        QString mainProblem;
        WhenModalShown([&](QWidget* modal) {
            auto* editor = qobject_cast<kelvo::ui::TEditTable*>(modal);
            QVERIFY(editor != nullptr);
            QVERIFY(Active(editor));
            editor->SetCurrentCell(1, 1);
            editor->Tab->setFocus();
            kelvo::test::TypeIntoFocus(QStringLiteral("11111"));
            shown = QTest::qWaitFor([&] { return editor->StatusLine->isVisible(); }, Recovery::Interval + 2000);
            kelvo::test::TypeIntoFocus(QStringLiteral("22222"));
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            kelvo::test::TypeIntoFocus(QStringLiteral("12121"));
            QTest::qWait(Recovery::Interval + 100);  // another failed write
            kelvo::test::TypeIntoFocus(QStringLiteral("21212"));
            problem = editor->StatusLine->text();
            mainProblem = s.main().JournalLine->isVisibleTo(&s.main()) ? s.main().JournalLine->text() : QString();
            QCOMPARE(ReadFile(s.file), before);
            // The journals can be written again: the next one clears the lines.
            limit.reset();
            if (!full) fs::remove(dir / "state");
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backspace);
            kelvo::test::TypeIntoFocus(QStringLiteral("2"));
            gone = QTest::qWaitFor([&] { return !editor->StatusLine->isVisible(); }, Recovery::Interval + 2000);
            editor->OKButton->click();
        });
        s.main().Edittables1->trigger();
        QVERIFY(shown);
        QVERIFY2(taken.isEmpty(), qPrintable(taken.join(u',')));
        QCOMPARE(problem, full ? QStringLiteral("Recovery file not written: Disk full")
                               : QStringLiteral("Recovery file not written: Path not found"));
        QCOMPARE(mainProblem, problem);
        QVERIFY(gone);
        QVERIFY(!s.main().JournalLine->isVisibleTo(&s.main()));
        QCOMPARE(s.ts->PairTables[1][1][1], 1111122222);
        QCOMPARE(s.ts->PairTables[1][1][2], 1212121212);
        struct stat now {};
        QCOMPARE(::stat(s.file.c_str(), &now), 0);
        QCOMPARE(now.st_mtim.tv_sec, was.st_mtim.tv_sec);
        QCOMPARE(now.st_mtim.tv_nsec, was.st_mtim.tv_nsec);
        s.main().Save1->trigger();
        QVERIFY(s.errors.isEmpty());
        QCOMPARE(Parsed(ReadFile(s.file))->PairTables[1][1][2], 1212121212);
    }
};

QTEST_MAIN(RecoveryTest)
#include "recovery_test.moc"
