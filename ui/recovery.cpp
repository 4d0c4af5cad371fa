#include "recovery.h"

#include <QDateTime>
#include <QDir>
#include <QMessageBox>
#include <QPushButton>
#include <ctime>
#include <sys/stat.h>

#include "io_error.h"
#include "journal_writer.h"
#include "names_and_paths.h"
#include "recovery_folder.h"
#include "recovery_journal.h"
#include "table_set.h"
#include "table_set_file.h"
#include "warnings.h"

namespace kelvo::ui {

namespace {

// Modification time in nanoseconds, or -1 when the file is not there.
std::int64_t ModifiedAt(const std::filesystem::path& file) {
    struct stat info {};
    if (::stat(file.c_str(), &info) != 0) return -1;
    return static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1'000'000'000 + info.st_mtim.tv_nsec;
}

bool SamePath(const std::string& a, const std::string& b) {
    return std::filesystem::absolute(a).lexically_normal() == std::filesystem::absolute(b).lexically_normal();
}

}  // namespace

QString RecoveryQuestion(const std::string& path, std::int64_t time) {
    const QString when = QDateTime::fromSecsSinceEpoch(time).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    return QStringLiteral("Recover unsaved changes to %1 from %2?").arg(QDir::toNativeSeparators(FromPath(path)), when);
}

std::unique_ptr<QMessageBox> RecoveryBox(QWidget* parent, const QString& question) {
    auto box = std::make_unique<QMessageBox>(QMessageBox::Question, QStringLiteral("KELVO"), question,
                                             QMessageBox::NoButton, parent);
    box->setObjectName(QStringLiteral("RecoveryQuestion"));
    QPushButton* recover = box->addButton(QStringLiteral("&Recover"), QMessageBox::AcceptRole);
    QPushButton* discard = box->addButton(QStringLiteral("&Discard"), QMessageBox::DestructiveRole);
    recover->setObjectName(QStringLiteral("RecoverButton"));
    discard->setObjectName(QStringLiteral("DiscardButton"));
    box->setDefaultButton(recover);
    // No escape button: Escape and the close box leave the journal for later.
    box->setEscapeButton(static_cast<QAbstractButton*>(nullptr));
    return box;
}

Recovery::Answer AskRecovery(QWidget* parent, const QString& question) {
    const std::unique_ptr<QMessageBox> box = RecoveryBox(parent, question);
    box->exec();
    const QAbstractButton* clicked = box->clickedButton();
    if (clicked == nullptr) return Recovery::Answer::Later;
    if (clicked->objectName() == QLatin1String("RecoverButton")) return Recovery::Answer::Recover;
    if (clicked->objectName() == QLatin1String("DiscardButton")) return Recovery::Answer::Discard;
    return Recovery::Answer::Later;
}

Recovery::Recovery(kelvo::TableSet& ts, kelvo::WarningSink& warnings, std::filesystem::path folder, QObject* parent)
    : QObject(parent), m_ts(ts), m_warnings(warnings), m_folder(std::move(folder)) {
    m_timer.setSingleShot(true);
    m_timer.setInterval(Interval);
    connect(&m_timer, &QTimer::timeout, this, &Recovery::WriteNow);
    // The writer reports from its own thread; the notice is shown on the
    // window's thread. The writer's thread ends before this object does
    // (m_writer goes first), and a report still queued goes with the object.
    m_writer = std::make_unique<kelvo::JournalWriter>(
        [this](const std::string& text) {
            QMetaObject::invokeMethod(
                this, [this, text] { WriteFailed(QString::fromLatin1(text)); }, Qt::QueuedConnection);
        },
        [this] { QMetaObject::invokeMethod(this, [this] { m_failureShown = false; }, Qt::QueuedConnection); });
}

Recovery::~Recovery() = default;

std::filesystem::path Recovery::JournalOf(const std::string& path) const {
    return kelvo::JournalPath(m_folder, path);
}

void Recovery::Changed() {
    if (m_folder.empty() || !m_ts.TableSetOpen || m_ts.FileName.empty()) return;
    // Not restarted by later changes: a burst of typing is written once per
    // interval, never later than one interval after its first change.
    if (!m_timer.isActive()) m_timer.start();
}

void Recovery::WriteNow() {
    if (!m_ts.TableSetOpen || m_ts.FileName.empty()) return;
    // The copy is taken here, on the window's thread, where the table set
    // is changed (a plain copy of the input side, some 140 KB at most); the
    // writer makes the text from it and writes it on its own thread.
    m_writer->Submit(JournalOf(m_ts.FileName), m_ts.FileName, static_cast<std::int64_t>(std::time(nullptr)),
                     std::make_unique<const kelvo::InputSide>(m_ts));
}

void Recovery::Saved() {
    m_timer.stop();
    if (m_folder.empty() || m_ts.FileName.empty()) return;
    try {
        m_writer->Remove(JournalOf(m_ts.FileName));
    } catch (const kelvo::IoError&) {
        // The file is saved; a journal that could not be removed is offered
        // at the next start, where the user can discard it.
    }
}

void Recovery::WriteWaiting() {
    if (m_timer.isActive()) {
        m_timer.stop();
        WriteNow();
    }
    m_writer->Flush();
}

int Recovery::Writes() const { return m_writer->Writes(); }

void Recovery::WriteFailed(const QString& text) {
    // The next change tries again; the notice is not repeated until a write
    // has worked.
    if (m_failureShown) return;
    m_failureShown = true;
    m_warnings.ShowWarning("Recovery file not written: " + text.toStdString());
}

void Recovery::ReportDamaged(const std::filesystem::path& file, const std::string& reason) {
    if (!seams.showError) return;
    seams.showError(QStringLiteral("%1: it is kept\n%2")
                        .arg(QString::fromLatin1(reason), QDir::toNativeSeparators(FromPath(file.string()))));
}

Recovery::Answer Recovery::Offer(const std::filesystem::path& file, const std::string& tableSetPath,
                                 std::int64_t time) {
    const Answer answer = seams.ask ? seams.ask(RecoveryQuestion(tableSetPath, time)) : Answer::Later;
    if (answer == Answer::Discard) {
        try {
            m_writer->Remove(file);
        } catch (const kelvo::IoError& error) {
            if (seams.showError) seams.showError(QString::fromLatin1(error.what()));
        }
    }
    return answer;
}

bool Recovery::OfferAll() {
    if (m_folder.empty()) return false;
    for (const kelvo::FoundJournal& found : kelvo::FindJournals(m_folder)) {
        if (!found.journal) {
            ReportDamaged(found.file, found.error);
            continue;
        }
        if (Offer(found.file, found.journal->tableSetPath, found.journal->time) != Answer::Recover) continue;
        try {
            kelvo::RecoverTableSet(m_ts, *found.journal);
        } catch (const kelvo::IoError& error) {
            ReportDamaged(found.file, error.what());
            continue;
        }
        return true;
    }
    return false;
}

bool Recovery::OfferFor(const std::string& path) {
    if (m_folder.empty()) return false;
    const std::filesystem::path file = JournalOf(path);
    const std::int64_t journalTime = ModifiedAt(file);
    if (journalTime < 0) return false;
    kelvo::Journal journal;
    try {
        journal = kelvo::ReadJournal(file);
    } catch (const kelvo::IoError& error) {
        ReportDamaged(file, error.what());
        return false;
    }
    // Another file of the same name hash, or changes older than the file:
    // not this file's unsaved work.
    if (SamePath(journal.tableSetPath, path) == false || journalTime <= ModifiedAt(path)) return false;
    if (Offer(file, path, journal.time) != Answer::Recover) return false;
    try {
        kelvo::RecoverTableSet(m_ts, journal);
    } catch (const kelvo::IoError& error) {
        ReportDamaged(file, error.what());
        return false;
    }
    return true;
}

}  // namespace kelvo::ui
