// Files as KELVO reads and writes them: whole-file reading, and buffered
// writing with CR LF line ends where every failure becomes an IoError. A file
// that must be replaced as a whole is an AtomicOutputFile (atomic_file.h).
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "line_sink.h"

namespace kelvo {

// The whole contents of a file. Throws IoError ("File not found", ...).
std::string ReadWholeFile(const std::filesystem::path& path);

// A file written from start to end through a buffer. Every failed system call
// throws IoError; the file is closed by Close() or by the destructor.
class OutputFile : public LineSink {
public:
    OutputFile() = default;
    ~OutputFile() override;
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // What Create does with a file that exists.
    enum class Existing {
        // Emptied at once: a write cut off leaves a beginning of the new
        // text and nothing of the old.
        Empty,
        // Written over from its start and cut to what was written when it
        // is closed (also after a failure). For a file rewritten often,
        // such as the estimation log: on ext4 a file emptied and written
        // again is flushed to the disk when it is closed, which makes every
        // rewrite wait for the disk. A write killed part-way leaves the old
        // text's tail after the new text. Only a regular file is written
        // over: a symbolic link (which is not followed) or any other kind
        // of file at the path is refused with an IoError, so that a file
        // the program keeps for itself never destroys another one.
        WriteOver,
    };
    // Creates the file, or opens an existing one, for writing.
    void Create(const std::filesystem::path& path, Existing existing = Existing::Empty);
    bool IsOpen() const { return m_fd >= 0; }

    void Write(std::string_view text);
    // Writes the text and a CR LF line end.
    void WriteLine(std::string_view text = {});
    void Line(std::string_view text) override { WriteLine(text); }
    // Writes the buffer out; with sync also forces it to the disk.
    void Flush(bool sync = false);
    // Flushes and closes. A failure still leaves the file closed.
    void Close();

protected:
    void Adopt(int fd) {
        m_fd = fd;
        m_written = 0;
        m_mayHoldMore = false;
    }
    // Closes without flushing; errors are ignored (used on the failure path).
    void Abandon();

private:
    // Opens (or creates) the regular file at `path` for writing over, as
    // Existing::WriteOver says. Throws IoError.
    static int OpenRegularFile(const std::filesystem::path& path);
    void WriteOut(const char* data, std::size_t size);
    // Cuts the file to what was written; false when that failed.
    bool CutToWritten();
    int m_fd = -1;
    std::string m_buffer;
    // Bytes written to the file so far, and whether it may hold more (an
    // existing regular file that was longer).
    std::uint64_t m_written = 0;
    bool m_mayHoldMore = false;
};

}  // namespace kelvo
