#include "table_set_lock.h"

#include <QDir>
#include <QFile>
#include <QSysInfo>

#include "io_error.h"
#include "recovery_folder.h"

namespace kelvo::ui {

TableSetLock::TableSetLock(const std::filesystem::path& file)
    : m_file(file), m_lock(QFile::decodeName(file.c_str())) {
    // The lock is held as long as the file is open, hours perhaps: only a
    // process that is gone makes it stale.
    m_lock.setStaleLockTime(0);
}

TableSetLock::~TableSetLock() = default;

TableSetLock::Result TableSetLock::Acquire() {
    if (m_lock.isLocked()) return Result::Locked;
    try {
        kelvo::MakeRecoveryFolder(m_file.parent_path());
    } catch (const kelvo::IoError&) {
        return Result::Failed;
    }
    if (m_lock.tryLock(0)) return Result::Locked;
    if (m_lock.error() != QLockFile::LockFailedError) return Result::Failed;
    m_owner = Owner{};
    if (!m_lock.getLockInfo(&m_owner.pid, &m_owner.host, nullptr)) {
        // Gone between the two looks: its owner has just let it go.
        if (m_lock.tryLock(0)) return Result::Locked;
        return m_lock.error() == QLockFile::LockFailedError ? Result::Held : Result::Failed;
    }
    m_owner.otherHost = !m_owner.host.isEmpty() && m_owner.host != QSysInfo::machineHostName();
    return Result::Held;
}

QString OpenElsewhereText(const QString& tableSetPath, const TableSetLock::Owner& owner) {
    const QString process = owner.otherHost ? QStringLiteral("process %1 on %2").arg(owner.pid).arg(owner.host)
                                            : QStringLiteral("process %1").arg(owner.pid);
    return QStringLiteral("%1 is open in another KELVO window (%2)").arg(QDir::toNativeSeparators(tableSetPath), process);
}

}  // namespace kelvo::ui
