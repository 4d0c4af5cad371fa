// Unsaved work kept safe: the recovery journal of the open table set,
// written in the background soon after every change, removed when the table
// set is saved, and offered back after a crash (at start-up, and when the
// file it belongs to is read).
#pragma once

#include <QObject>
#include <QString>
#include <QTimer>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

class QMessageBox;
class QWidget;

namespace kelvo {
struct TableSet;
class WarningSink;
class JournalWriter;
}  // namespace kelvo

namespace kelvo::ui {

class Recovery : public QObject {
    Q_OBJECT
public:
    enum class Answer {
        Recover,  // load the journal's table set
        Discard,  // remove the journal
        Later,    // neither: the journal stays and is offered again
    };
    struct Seams {
        // Asks the question ("Recover unsaved changes to NAME from TIME?").
        std::function<Answer(const QString& question)> ask;
        // Reports a journal that cannot be read (it is kept).
        std::function<void(const QString& text)> showError;
    };

    // The longest a change waits for its journal, in milliseconds: every
    // change within it is written by one journal.
    static constexpr int Interval = 1000;

    // Journals are kept in `folder` (RecoveryFolder() in the program); an
    // empty folder keeps none.
    Recovery(kelvo::TableSet& ts, kelvo::WarningSink& warnings, std::filesystem::path folder,
             QObject* parent = nullptr);
    ~Recovery() override;

    Seams seams;

    // The open table set has changed: its journal is written within Interval.
    void Changed();
    // The table set has been written to its file: its journal goes, and a
    // journal still waiting is never written.
    void Saved();
    // Start-up: offers the journals of the folder, newest first, until one
    // is recovered (true) or none is left.
    bool OfferAll();
    // After the table set at `path` was read: offers its journal when the
    // journal is newer than the file. True when it was recovered.
    bool OfferFor(const std::string& path);

    // For tests and the benchmark: writes a waiting change now and waits
    // until every journal is on the disk.
    void WriteWaiting();
    int Writes() const;
    std::filesystem::path JournalOf(const std::string& path) const;

private:
    void WriteNow();
    // Offers one journal; true when recovered.
    Answer Offer(const std::filesystem::path& file, const std::string& tableSetPath, std::int64_t time);
    void ReportDamaged(const std::filesystem::path& file, const std::string& reason);
    void WriteFailed(const QString& text);

    kelvo::TableSet& m_ts;
    kelvo::WarningSink& m_warnings;
    std::filesystem::path m_folder;
    QTimer m_timer;
    std::unique_ptr<kelvo::JournalWriter> m_writer;
    // One notice for a run of failed writes, not one per change.
    bool m_failureShown = false;
};

// The question as a message box over `parent`, with Recover (the default)
// and Discard; Escape or the close box answers Later.
Recovery::Answer AskRecovery(QWidget* parent, const QString& question);
// That message box, not yet shown.
std::unique_ptr<QMessageBox> RecoveryBox(QWidget* parent, const QString& question);

// The question asked for a journal of the table-set file `path` from `time`
// (seconds since 1970).
QString RecoveryQuestion(const std::string& path, std::int64_t time);

}  // namespace kelvo::ui
