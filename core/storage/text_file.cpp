#include "text_file.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "io_error.h"
#include "posix_io.h"

namespace kelvo {

namespace {
constexpr std::size_t BufferSize = 64 * 1024;
}  // namespace

std::string ReadWholeFile(const std::filesystem::path& path) {
    if (path.empty()) throw IoError("File not found");
    const int fd = detail::RetryOpen(path.c_str(), O_RDONLY);
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
    if (existing == Existing::WriteOver) {
        m_fd = OpenRegularFile(path);
    } else {
        m_fd = detail::RetryOpen(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
        if (m_fd < 0) ThrowIoError(errno, IoOperation::Write);
    }
    m_written = 0;
    struct stat info {};
    m_mayHoldMore = ::fstat(m_fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0;
    m_buffer.reserve(BufferSize);
}

int OutputFile::OpenRegularFile(const std::filesystem::path& path) {
    const std::string refused = "Not a regular file: " + path.string();
    // Not through a symbolic link at the path itself, and without waiting
    // for a reader should the path be a named pipe.
    const int fd = detail::RetryOpen(path.c_str(), O_WRONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK, 0666);
    if (fd < 0) {
        const int error = errno;
        struct stat link {};
        if (error == ELOOP && ::lstat(path.c_str(), &link) == 0 && S_ISLNK(link.st_mode))
            throw IoError(refused + " (a symbolic link, which is not followed)");
        if (error == ENXIO || error == EISDIR) throw IoError(refused);  // a pipe without a reader, a folder
        ThrowIoError(error, IoOperation::Write);
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        throw IoError(refused);
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
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

}  // namespace kelvo
