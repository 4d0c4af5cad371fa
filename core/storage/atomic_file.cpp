#include "atomic_file.h"

#include <cerrno>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "io_error.h"
#include "posix_io.h"

namespace kelvo {

using detail::RetryOpen;

namespace {

bool IsTemporaryNameOf(std::string_view entry, std::string_view target) {
    // "." + the target's name + "." + the six letters or digits that
    // mkostemp puts in place of "XXXXXX".
    constexpr std::size_t Random = 6;
    if (entry.size() != target.size() + 2 + Random || entry.front() != '.') return false;
    if (entry.substr(1, target.size()) != target || entry[target.size() + 1] != '.') return false;
    for (const char c : entry.substr(target.size() + 2)) {
        const bool alphanumeric = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        if (!alphanumeric) return false;
    }
    return true;
}
}  // namespace

int RemoveStaleTemporaryFiles(const std::filesystem::path& target, std::int64_t minimumAge) {
    if (!target.has_filename()) return 0;
    const std::string name = target.filename().string();
    const std::filesystem::path folder = target.parent_path().empty() ? "." : target.parent_path();
    const int dirfd = RetryOpen(folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (dirfd < 0) return 0;
    DIR* dir = ::fdopendir(dirfd);
    if (dir == nullptr) {
        ::close(dirfd);
        return 0;
    }
    const std::time_t now = std::time(nullptr);
    int removed = 0;
    while (const dirent* entry = ::readdir(dir)) {
        if (!IsTemporaryNameOf(entry->d_name, name)) continue;
        // Only a plain file of this user that nothing has written to for the
        // minimum age: a write in progress (ours or another KELVO's) renews
        // its file's time with every buffer, and a file of someone else in a
        // shared folder is not ours to remove.
        struct stat info {};
        if (::fstatat(dirfd, entry->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0) continue;
        if (!S_ISREG(info.st_mode) || info.st_uid != ::geteuid()) continue;
        if (now - info.st_mtime < minimumAge) continue;
        if (::unlinkat(dirfd, entry->d_name, 0) == 0) ++removed;
    }
    ::closedir(dir);
    return removed;
}

AtomicOutputFile::AtomicOutputFile(const std::filesystem::path& target) : m_target(target) {
    if (target.empty() || !target.has_filename()) throw IoError("Invalid filename");
    // A write that was killed part-way left its temporary file behind; the
    // next write of the same target clears them away.
    RemoveStaleTemporaryFiles(target);
    // The temporary file lives beside the target so that the final rename
    // stays on one file system and is atomic.
    std::string name = ".";
    name += target.filename().string();
    name += ".XXXXXX";
    std::string pattern = (target.parent_path() / name).string();
    const int fd = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (fd < 0) ThrowIoError(errno, IoOperation::Write);
    m_temporary = pattern;
    Adopt(fd);
    // Give the new file the permissions the target has, or those a newly
    // created file would get (mkostemp creates it private to the owner).
    struct stat existing {};
    mode_t mode;
    if (::stat(target.c_str(), &existing) == 0 && S_ISREG(existing.st_mode)) {
        mode = existing.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    if (::fchmod(fd, mode) != 0) {
        const int error = errno;
        Discard();
        ThrowIoError(error, IoOperation::Write);
    }
}

AtomicOutputFile::~AtomicOutputFile() { Discard(); }

void AtomicOutputFile::Discard() {
    Abandon();
    if (!m_temporary.empty()) ::unlink(m_temporary.c_str());
    m_temporary.clear();
}

void AtomicOutputFile::Commit() {
    try {
        Flush(/*sync=*/true);
        Close();
    } catch (...) {
        Discard();
        throw;
    }
    if (::rename(m_temporary.c_str(), m_target.c_str()) != 0) {
        const int error = errno;
        Discard();
        ThrowIoError(error, IoOperation::Write);
    }
    m_temporary.clear();
    // Make the rename itself durable; a failure here loses nothing.
    const auto dir = m_target.parent_path().empty() ? std::filesystem::path(".") : m_target.parent_path();
    const int dirfd = RetryOpen(dir.c_str(), O_RDONLY | O_DIRECTORY);
    if (dirfd >= 0) {
        ::fsync(dirfd);
        ::close(dirfd);
    }
}

}  // namespace kelvo
