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
#include "table_set_lock.h"

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

QString TimeText(std::int64_t time) {
    return QDateTime::fromSecsSinceEpoch(time).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

}  // namespace

QString RecoveryQuestion(const std::string& path, std::int64_t time, JournalAge age, std::int64_t fileTime) {
    QString text = QStringLiteral("Recover unsaved changes to %1 from %2?")
                       .arg(QDir::toNativeSeparators(FromPath(path)), TimeText(time));
    switch (age) {
    case JournalAge::Newer:
        text += QStringLiteral("\nThey are newer than the file (saved %1).").arg(TimeText(fileTime));
        break;
    case JournalAge::Older:
        text += QStringLiteral("\nThey are older than the file (saved %1).").arg(TimeText(fileTime));
        break;
    case JournalAge::NoFile:
        text += QStringLiteral("\nThe file is not there: never saved, or removed.");
        break;
    }
    return text;
}

std::unique_ptr<QMessageBox> RecoveryBox(QWidget* parent, const QString& question) {
    auto box = std::make_unique<QMessageBox>(QMessageBox::Question, QStringLiteral("KELVO"), question,
                                             QMessageBox::NoButton, parent);
    box->setObjectName(QStringLiteral("RecoveryQuestion"));
    QPushButton* recover = box->addButton(QStringLiteral("&Recover"), QMessageBox::AcceptRole);
    QPushButton* discard = box->addButton(QStringLiteral("&Discard"), QMessageBox::DestructiveRole);
    QPushButton* later = box->addButton(QStringLiteral("&Later"), QMessageBox::RejectRole);
    recover->setObjectName(QStringLiteral("RecoverButton"));
    discard->setObjectName(QStringLiteral("DiscardButton"));
    later->setObjectName(QStringLiteral("LaterButton"));
    box->setDefaultButton(recover);
    // Escape and the close box decide nothing: the journal stays.
    box->setEscapeButton(later);
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

Recovery::Recovery(kelvo::TableSet& ts, std::filesystem::path folder, QObject* parent)
    : QObject(parent), m_ts(ts), m_folder(std::move(folder)) {
    m_timer.setSingleShot(true);
    m_timer.setInterval(Interval);
    connect(&m_timer, &QTimer::timeout, this, &Recovery::WriteNow);
    // The writer reports from its own thread; the windows hear of it on
    // theirs. The writer's thread ends before this object does (m_writer
    // goes first), and a report still queued goes with the object.
    m_writer = std::make_unique<kelvo::JournalWriter>(
        [this](const std::string& text) {
            QMetaObject::invokeMethod(
                this, [this, text] { WriteFailed(QString::fromLatin1(text)); }, Qt::QueuedConnection);
        },
        [this] { QMetaObject::invokeMethod(this, [this] { WriteWorked(); }, Qt::QueuedConnection); });
}

Recovery::~Recovery() {
    // The writer first: a journal being written finishes before the lock of
    // its file goes.
    m_writer.reset();
}

bool Recovery::Claim(const std::string& path) { return ClaimFor(path, true); }

bool Recovery::ClaimFor(const std::string& path, bool report) {
    const std::filesystem::path file = m_folder.empty() ? std::filesystem::path() : kelvo::LockPath(m_folder, path);
    // Claimed already (the import claims the file it writes, then reads it).
    const bool claimed = m_claim && m_claim->file() == file;
    if (!claimed) m_claim.reset();
    m_claimedPath = path;
    // The file open now: its lock is held already.
    if (m_folder.empty() || claimed || (m_lock && m_lock->file() == file)) return true;
    auto lock = std::make_unique<TableSetLock>(file);
    switch (lock->Acquire()) {
    case TableSetLock::Result::Locked:
        m_claim = std::move(lock);
        return true;
    case TableSetLock::Result::Failed:
        // Nothing can be kept here (the journals will say so); the file
        // opens without a lock.
        return true;
    case TableSetLock::Result::Held:
        break;
    }
    m_claimedPath.reset();
    if (report && seams.showError) seams.showError(OpenElsewhereText(FromPath(path), lock->owner()));
    return false;
}

void Recovery::Settle() {
    if (!m_claimedPath) return;
    if (m_ts.TableSetOpen && SamePath(m_ts.FileName, *m_claimedPath)) {
        // Another table set, or the same one read again: its journal is a
        // new one. A claim that is the lock already held leaves it.
        m_timer.stop();
        m_journal.clear();
        if (m_claim || !m_lock || m_lock->file() != kelvo::LockPath(m_folder, m_ts.FileName))
            m_lock = std::move(m_claim);
    }
    m_claim.reset();
    m_claimedPath.reset();
}

void Recovery::Changed() {
    if (m_folder.empty() || !m_ts.TableSetOpen || m_ts.FileName.empty()) return;
    // Not restarted by later changes: a burst of typing is written once per
    // interval, never later than one interval after its first change.
    if (!m_timer.isActive()) m_timer.start();
}

void Recovery::WriteNow() {
    if (!m_ts.TableSetOpen || m_ts.FileName.empty()) return;
    // The first journal of the run takes a name that no journal has: one
    // left by an earlier run stays as it is until the user decides.
    if (m_journal.empty()) {
        try {
            m_journal = kelvo::FreeJournalPath(m_folder, m_ts.FileName);
        } catch (const kelvo::IoError& error) {
            WriteFailed(QString::fromLatin1(error.what()));
            return;
        }
    }
    // The copy is taken here, on the window's thread, where the table set
    // is changed (a plain copy of the input side, some 140 KB at most); the
    // writer makes the text from it and writes it on its own thread.
    m_writer->Submit(m_journal, m_ts.FileName, static_cast<std::int64_t>(std::time(nullptr)),
                     std::make_unique<const kelvo::InputSide>(m_ts));
}

void Recovery::Saved() {
    m_timer.stop();
    if (m_folder.empty()) return;
    if (!m_journal.empty()) {
        try {
            m_writer->Remove(m_journal);
        } catch (const kelvo::IoError&) {
            // The file is saved; a journal that could not be removed is
            // offered at the next start as older than the file.
        }
    }
    // Everything typed is in the file now.
    WriteWorked();
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
    // The next change tries again; the line stays until a write has worked.
    m_problem = QStringLiteral("Recovery file not written: ") + text;
    if (seams.showProblem) seams.showProblem(m_problem);
}

void Recovery::WriteWorked() {
    if (m_problem.isEmpty()) return;
    m_problem.clear();
    if (seams.showProblem) seams.showProblem(QString());
}

void Recovery::ReportDamaged(const std::filesystem::path& file, const std::string& reason) {
    if (!seams.showError) return;
    seams.showError(QStringLiteral("%1: it is kept\n%2")
                        .arg(QString::fromLatin1(reason), QDir::toNativeSeparators(FromPath(file.string()))));
}

void Recovery::SetAside(const kelvo::FoundJournal& found) {
    std::filesystem::path kept = found.file;
    try {
        kept = kelvo::SetAsideDamagedJournal(found.file, static_cast<std::int64_t>(std::time(nullptr)));
    } catch (const kelvo::IoError&) {
        // It stays under its name, which no later journal takes.
    }
    ReportDamaged(kept, found.error);
}

Recovery::Answer Recovery::Offer(const kelvo::FoundJournal& found, const std::string& tableSetPath) {
    const std::filesystem::path& file = found.file;
    const kelvo::Journal& journal = *found.journal;
    const std::int64_t modified = found.modified;
    const std::int64_t fileTime = ModifiedAt(tableSetPath);
    JournalAge age = JournalAge::NoFile;
    if (fileTime >= 0) age = modified > fileTime ? JournalAge::Newer : JournalAge::Older;
    const QString question = RecoveryQuestion(tableSetPath, journal.time, age, fileTime / 1'000'000'000);
    const Answer answer = seams.ask ? seams.ask(question) : Answer::Later;
    if (answer == Answer::Discard) {
        try {
            m_writer->Remove(file);
        } catch (const kelvo::IoError& error) {
            if (seams.showError) seams.showError(QString::fromLatin1(error.what()));
        }
    }
    return answer;
}

bool Recovery::Recover(const kelvo::FoundJournal& found) {
    try {
        kelvo::RecoverTableSet(m_ts, *found.journal);
    } catch (const kelvo::IoError& error) {
        ReportDamaged(found.file, error.what());
        return false;
    }
    return true;
}

bool Recovery::OfferAll() {
    if (m_folder.empty()) return false;
    const std::vector<kelvo::FoundJournal> journals = kelvo::FindJournals(m_folder);
    for (const kelvo::FoundJournal& found : journals)
        if (!found.journal) SetAside(found);
    for (const kelvo::FoundJournal& found : journals) {
        if (!found.journal) continue;
        const std::string& path = found.journal->tableSetPath;
        // Another KELVO has the file open: the journal is its own.
        if (!ClaimFor(path, false)) continue;
        const bool recovered = Offer(found, path) == Answer::Recover && Recover(found);
        Settle();
        if (!recovered) continue;
        // The recovered journal is the run's own now: later changes go into
        // it, and Save removes it.
        m_journal = found.file;
        return true;
    }
    return false;
}

bool Recovery::OfferFor(const std::string& path) {
    if (m_folder.empty()) return false;
    const std::vector<kelvo::FoundJournal> journals = kelvo::FindJournals(m_folder);
    for (const kelvo::FoundJournal& found : journals)
        if (!found.journal && kelvo::IsJournalNameOf(found.file, path)) SetAside(found);
    const std::int64_t fileTime = ModifiedAt(path);
    for (const kelvo::FoundJournal& found : journals) {
        // Journals of other files (a name hash shared by chance included),
        // this run's own, and changes older than the file wait for a start
        // without a file.
        if (!found.journal || !SamePath(found.journal->tableSetPath, path) || found.file == m_journal) continue;
        if (found.modified <= fileTime) continue;
        if (Offer(found, path) != Answer::Recover || !Recover(found)) continue;
        m_journal = found.file;
        return true;
    }
    return false;
}

}  // namespace kelvo::ui
