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
#include "journal_writer.h"
#include "main_window.h"
#include "recovery.h"
#include "recovery_folder.h"
#include "recovery_journal.h"
#include "table_set.h"
#include "table_set_file.h"
#include "test_support.h"
#include "warning_message.h"
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
            return answer;
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
    Recovery::Answer answer = Recovery::Answer::Recover;
};

std::int32_t FirstCellOf(const std::string& tableSetText) {
    auto ts = std::make_unique<TableSet>();
    kelvo::CollectingWarningSink warnings;
    kelvo::ReadInputSide(*ts, tableSetText, warnings);
    return ts->PairTables[1][1][1];
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
            // The file is written by Exit as any modified table set is.
            s.main().show();
            QVERIFY(QTest::qWaitForWindowExposed(&s.main()));
            s.main().Exit1->trigger();
            QCOMPARE(FirstCellOf(ReadFile(s.file)), 2222);
            QVERIFY(!fs::exists(s.journal()));
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

    // A journal that cannot be read is reported, at start-up and at Read,
    // and stays where it is; nothing is loaded from it.
    void damagedJournalIsReportedAndKept() {
        TempDir dir;
        Session s(dir);
        fs::create_directories(s.folder);
        const std::string damaged = "KELVO recovery journal 1\npath " + s.file.string() + "\ntime 1\nsize 99\n4\r\n";
        kelvo::test::WriteFile(s.journal(), damaged);
        s.main().OfferRecovery();
        QCOMPARE(s.errors.size(), 1);
        QVERIFY(s.errors[0].startsWith(QStringLiteral("Damaged recovery file: it is kept\n")));
        QVERIFY(s.errors[0].endsWith(QString::fromStdString(s.journal().string())));
        QVERIFY(s.questions.isEmpty());
        QVERIFY(!s.ts->TableSetOpen);

        Age(s.file);
        s.main().ReadKELVOFile(QString::fromStdString(s.file.string()));
        QCOMPARE(s.errors.size(), 2);
        QVERIFY(s.ts->TableSetOpen);
        QVERIFY(!s.ts->TableSetModified);
        QCOMPARE(ReadFile(s.journal()), damaged);
    }

    // A journal that cannot be written (no folder can be made, the disk is
    // full) shows one notice for many changes; the table-set file is never
    // touched by it, and the window goes on working.
    void failedJournalShowsOneNotice_data() {
        QTest::addColumn<bool>("full");
        QTest::newRow("folder cannot be made") << false;
        QTest::newRow("disk full") << true;
    }
    void failedJournalShowsOneNotice() {
        QFETCH(bool, full);
        TempDir dir;
        if (!full) kelvo::test::WriteFile(dir / "state", "a file where the folder should be");
        Session s(dir);
        QStringList notices;
        // Every notice is answered, however many come and whenever they come.
        QTimer answer;
        QObject::connect(&answer, &QTimer::timeout, [&notices] {
            if (auto* notice = qobject_cast<kelvo::ui::TWarningMessage*>(QApplication::activeModalWidget())) {
                notices << notice->Edit1->text();
                notice->OKButton->click();
            }
        });
        answer.start(5);
        s.main().ReadKELVOFile(QString::fromStdString(s.file.string()));
        const std::string before = ReadFile(s.file);
        struct stat was {};
        QCOMPARE(::stat(s.file.c_str(), &was), 0);
        {
            std::unique_ptr<kelvo::test::FileSizeLimit> limit;
            if (full) limit = std::make_unique<kelvo::test::FileSizeLimit>(100);
            for (int change = 0; change < 3; ++change) {
                s.ts->PairTables[1][1][1] = 100 + change;
                s.main().seams.tableSetChanged();
                s.recovery().WriteWaiting();
                QTest::qWait(20);  // the failure reaches the window
            }
        }
        QCOMPARE(notices.size(), 1);
        QCOMPARE(notices[0], full ? QStringLiteral("Recovery file not written: Disk full")
                                  : QStringLiteral("Recovery file not written: Path not found"));
        QVERIFY(notices[0].size() <= 45);
        QCOMPARE(ReadFile(s.file), before);
        struct stat now {};
        QCOMPARE(::stat(s.file.c_str(), &now), 0);
        QCOMPARE(now.st_mtim.tv_sec, was.st_mtim.tv_sec);
        QCOMPARE(now.st_mtim.tv_nsec, was.st_mtim.tv_nsec);
        // Save still works, and the notice is shown again only after a
        // journal has been written in between.
        s.ts->TableSetModified = true;
        s.main().Save1->trigger();
        QVERIFY(s.errors.isEmpty());
        QCOMPARE(FirstCellOf(ReadFile(s.file)), 102);
    }
};

QTEST_MAIN(RecoveryTest)
#include "recovery_test.moc"
