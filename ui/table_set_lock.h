// One table set, one KELVO: while a table-set file is open, its KELVO holds
// a lock file beside the file's recovery journals (LockPath), with its
// process id and host. A second KELVO that would open the same file finds
// the lock, names its owner and opens nothing, so that two windows never
// type into one file and neither offers or discards the other's journal.
// The lock of a KELVO that no longer runs (killed, crashed, or from before
// the machine was restarted) is taken over.
#pragma once

#include <QLockFile>
#include <QString>
#include <filesystem>

namespace kelvo::ui {

class TableSetLock {
public:
    enum class Result {
        Locked,  // this object holds the lock
        Held,    // a running KELVO holds it: see owner()
        Failed,  // no lock file can be made here (no folder, no room)
    };
    // Who holds a lock that could not be taken.
    struct Owner {
        qint64 pid = 0;
        QString host;            // as the owner wrote it
        bool otherHost = false;  // not this machine: whether it still runs cannot be told from here
    };

    explicit TableSetLock(const std::filesystem::path& file);
    // Releases the lock (the lock file goes) if it is held.
    ~TableSetLock();
    TableSetLock(const TableSetLock&) = delete;
    TableSetLock& operator=(const TableSetLock&) = delete;

    // Takes the lock, making the folder if need be. A lock whose process
    // no longer runs on this machine is taken over; a lock never grows
    // stale with age alone, however long its KELVO keeps the file open.
    Result Acquire();
    const Owner& owner() const { return m_owner; }
    const std::filesystem::path& file() const { return m_file; }

private:
    std::filesystem::path m_file;
    QLockFile m_lock;
    Owner m_owner;
};

// "FILE is open in another KELVO window (process N)", with the host when it
// is another machine.
QString OpenElsewhereText(const QString& tableSetPath, const TableSetLock::Owner& owner);

}  // namespace kelvo::ui
