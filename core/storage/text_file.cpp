#include "text_file.h"

#include <cerrno>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "io_error.h"

namespace kelvo {

namespace {
constexpr std::size_t BufferSize = 64 * 1024;

int RetryOpen(const char* path, int flags, mode_t mode = 0) {
    int fd;
    do {
        fd = ::open(path, flags | O_CLOEXEC, mode);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

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

std::string ReadWholeFile(const std::filesystem::path& path) {
    if (path.empty()) throw IoError("File not found");
    const int fd = RetryOpen(path.c_str(), O_RDONLY);
    if (fd < 0) ThrowIoError(errno, IoOperation::Read);
    std::string contents;
    char chunk[BufferSize];
    for (;;) {
        const ssize_t got = ::read(fd, chunk, sizeof chunk);
        if (got < 0) {
            if (errno == EINTR) continue;
            const int error = errno;
            ::close(fd);
            ThrowIoError(error, IoOperation::Read);
        }
        if (got == 0) break;
        contents.append(chunk, static_cast<std::size_t>(got));
    }
    ::close(fd);
    return contents;
}

OutputFile::~OutputFile() { Abandon(); }

void OutputFile::Create(const std::filesystem::path& path, Existing existing) {
    Abandon();
    if (path.empty()) throw IoError("Invalid filename");
    const int flags = O_WRONLY | O_CREAT | (existing == Existing::Empty ? O_TRUNC : 0);
    const int fd = RetryOpen(path.c_str(), flags, 0666);
    if (fd < 0) ThrowIoError(errno, IoOperation::Write);
    m_fd = fd;
    m_written = 0;
    struct stat info {};
    m_mayHoldMore = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0;
    m_buffer.reserve(BufferSize);
}

void OutputFile::Write(std::string_view text) {
    if (m_buffer.size() + text.size() > BufferSize) Flush();
    if (text.size() > BufferSize) {
        WriteOut(text.data(), text.size());
        return;
    }
    m_buffer.append(text);
}

void OutputFile::WriteLine(std::string_view text) {
    if (m_buffer.size() + text.size() + 2 > BufferSize) {
        Write(text);
        Write("\r\n");
        return;
    }
    m_buffer.append(text);
    m_buffer.append("\r\n", 2);
}

void OutputFile::WriteOut(const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t done = ::write(m_fd, data, size);
        if (done < 0) {
            if (errno == EINTR) continue;
            ThrowIoError(errno, IoOperation::Write);
        }
        data += done;
        size -= static_cast<std::size_t>(done);
        m_written += static_cast<std::uint64_t>(done);
    }
}

void OutputFile::Flush(bool sync) {
    if (m_fd < 0) return;
    // The buffer is emptied also when the write fails, so that nothing is
    // written twice; it keeps its capacity for the next round.
    try {
        WriteOut(m_buffer.data(), m_buffer.size());
    } catch (...) {
        m_buffer.clear();
        throw;
    }
    m_buffer.clear();
    if (sync && ::fsync(m_fd) != 0) ThrowIoError(errno, IoOperation::Write);
}

void OutputFile::Close() {
    if (m_fd < 0) return;
    try {
        Flush();
    } catch (...) {
        Abandon();
        throw;
    }
    if (!CutToWritten()) {
        const int error = errno;
        Abandon();
        ThrowIoError(error, IoOperation::Write);
    }
    const int fd = m_fd;
    m_fd = -1;
    if (::close(fd) != 0 && errno != EINTR) ThrowIoError(errno, IoOperation::Write);
}

bool OutputFile::CutToWritten() {
    if (!m_mayHoldMore) return true;
    int result;
    do {
        result = ::ftruncate(m_fd, static_cast<off_t>(m_written));
    } while (result != 0 && errno == EINTR);
    if (result == 0) m_mayHoldMore = false;
    return result == 0;
}

void OutputFile::Abandon() {
    m_buffer.clear();
    if (m_fd >= 0) {
        // What was written stays, and nothing of the file's earlier
        // contents after it.
        CutToWritten();
        ::close(m_fd);
    }
    m_fd = -1;
    m_mayHoldMore = false;
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
