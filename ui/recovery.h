// Unsaved work kept safe: the recovery journal of the open table set,
// written in the background soon after every change, removed when the table
// set is saved, and offered back after a crash (at start-up, and when the
// file it belongs to is read); and the lock that keeps one table-set file in
// one KELVO at a time.
//
// A journal is only ever written by the run that made it. A run whose
// table-set file still has a journal of an earlier run (kept with Later)
// writes its own under another name; a journal that cannot be read is set
// aside under a name that says so before anything else is written; a
// journal of a file that another running KELVO holds is neither offered nor
// discarded.
#pragma once

#include <QObject>
#include <QString>
#include <QTimer>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>

class QMessageBox;
class QWidget;

namespace kelvo {
struct TableSet;
struct FoundJournal;
class JournalWriter;
}  // namespace kelvo

namespace kelvo::ui {

class TableSetLock;

class Recovery : public QObject {
    Q_OBJECT
public:
    enum class Answer {
        Recover,  // load the journal's table set
        Discard,  // remove the journal
        Later,    // neither: the journal stays as it is and is offered again
    };
    struct Seams {
        // Asks the question (RecoveryQuestion).
        std::function<Answer(const QString& question)> ask;
        // Reports a journal that cannot be read (where it is kept now), a
        // file that another KELVO has open, a journal that cannot be removed.
        std::function<void(const QString& text)> showError;
        // Whether journals are being written: the latest failure
        // ("Recovery file not written: REASON"), or an empty text once a
        // journal has been written again or the table set has been saved.
        // It comes while the user types: it belongs in a line of the
        // windows, never in a box.
        std::function<void(const QString& problem)> showProblem;
    };

    // The longest a change waits for its journal, in milliseconds: every
    // change within it is written by one journal.
    static constexpr int Interval = 1000;

    // Journals and locks are kept in `folder` (RecoveryFolder() in the
    // program); an empty folder keeps none.
    Recovery(kelvo::TableSet& ts, std::filesystem::path folder, QObject* parent = nullptr);
    ~Recovery() override;

    Seams seams;

    // Before the table-set file at `path` may become the open table set
    // (Create, Read, the import): takes its lock. False when another
    // running KELVO has the file open; that has been shown, and the command
    // must open nothing. Where no lock file can be made, the file is opened
    // without one.
    bool Claim(const std::string& path);
    // The command that claimed a file has ended. When the table set open now
    // is that file, its lock is kept, the lock of the file open before goes,
    // and the journal of the run starts afresh; otherwise the claim goes.
    void Settle();

    // The open table set has changed: its journal is written within Interval.
    void Changed();
    // The table set has been written to its file: its journal goes, and a
    // journal still waiting is never written.
    void Saved();
    // Start-up: offers the journals of the folder, newest first, until one
    // is recovered (true) or none is left. Journals that cannot be read are
    // set aside and reported first.
    bool OfferAll();
    // After the table set at `path` was read: offers its journals that are
    // newer than the file, newest first. True when one was recovered.
    bool OfferFor(const std::string& path);

    // For tests and the benchmark: writes a waiting change now and waits
    // until every journal is on the disk.
    void WriteWaiting();
    int Writes() const;
    // The journal that this run writes for the open table set; empty until
    // its first write.
    const std::filesystem::path& CurrentJournal() const { return m_journal; }

private:
    void WriteNow();
    // Asks about one journal of the file at `tableSetPath`; Discard removes it.
    Answer Offer(const kelvo::FoundJournal& found, const std::string& tableSetPath);
    // Claims quietly: false when another KELVO has the file open.
    bool ClaimFor(const std::string& path, bool report);
    // Recovers the journal of `found` into the table set; false when it
    // cannot be read after all (then reported).
    bool Recover(const kelvo::FoundJournal& found);
    void SetAside(const kelvo::FoundJournal& found);
    void ReportDamaged(const std::filesystem::path& file, const std::string& reason);
    void WriteFailed(const QString& text);
    void WriteWorked();

    kelvo::TableSet& m_ts;
    std::filesystem::path m_folder;
    QTimer m_timer;
    std::unique_ptr<kelvo::JournalWriter> m_writer;
    // The journal this run writes, chosen at its first write.
    std::filesystem::path m_journal;
    // The lock of the open table set, and that of a file being opened.
    std::unique_ptr<TableSetLock> m_lock;
    std::unique_ptr<TableSetLock> m_claim;
    std::optional<std::string> m_claimedPath;
    // The failure on show, empty when none.
    QString m_problem;
};

// The question as a message box over `parent`: Recover (the default),
// Discard, and Later, which Escape and the close box answer.
Recovery::Answer AskRecovery(QWidget* parent, const QString& question);
// That message box, not yet shown.
std::unique_ptr<QMessageBox> RecoveryBox(QWidget* parent, const QString& question);

// How a journal's changes stand to the table-set file they belong to.
enum class JournalAge {
    Newer,   // the file was last written before them
    Older,   // the file was written after them
    NoFile,  // there is no file (never saved, or removed)
};
// The question asked for a journal of the table-set file `path` from `time`,
// and how it stands to the file, which was last written at `fileTime`
// (seconds since 1970; both in local time).
QString RecoveryQuestion(const std::string& path, std::int64_t time, JournalAge age, std::int64_t fileTime = 0);

}  // namespace kelvo::ui
