#include "recovery_journal.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <condition_variable>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

#include "io_error.h"
#include "table_set.h"
#include "table_set_edit.h"
#include "table_set_file.h"
#include "text_file.h"
#include "warnings.h"

namespace kelvo {

namespace {

constexpr std::string_view Signature = "KELVO recovery journal 1\n";
constexpr std::string_view Extension = ".journal";
constexpr const char* DamagedText = "Damaged recovery file";

// The path as one line of printable ASCII: every other byte, and "%" itself,
// as %XX. A path may hold any byte but NUL, a line end included.
std::string EncodePath(std::string_view path) {
    static constexpr char Hex[] = "0123456789ABCDEF";
    std::string out;
    for (const char c : path) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte > 0x20 && byte < 0x7F && byte != '%') {
            out.push_back(c);
        } else {
            out.push_back('%');
            out.push_back(Hex[byte >> 4]);
            out.push_back(Hex[byte & 15]);
        }
    }
    return out;
}

std::optional<std::string> DecodePath(std::string_view text) {
    const auto digit = [](char c) -> int {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        return -1;
    };
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            out.push_back(text[i]);
            continue;
        }
        if (i + 2 >= text.size()) return std::nullopt;
        const int high = digit(text[i + 1]);
        const int low = digit(text[i + 2]);
        if (high < 0 || low < 0) return std::nullopt;
        out.push_back(static_cast<char>(high * 16 + low));
        i += 2;
    }
    return out;
}

// Takes "KEY VALUE\n" off the front of `text` and returns VALUE.
std::optional<std::string_view> TakeField(std::string_view& text, std::string_view key) {
    const std::size_t end = text.find('\n');
    if (end == std::string_view::npos) return std::nullopt;
    const std::string_view line = text.substr(0, end);
    if (line.size() <= key.size() || line.substr(0, key.size()) != key || line[key.size()] != ' ')
        return std::nullopt;
    text.remove_prefix(end + 1);
    return line.substr(key.size() + 1);
}

template <typename Number>
std::optional<Number> ParseNumber(std::string_view text) {
    Number value{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

// The table set a journal holds, read as a file would be read; a warning
// means the text is not what KELVO wrote.
std::unique_ptr<TableSet> ReadJournalTableSet(const Journal& journal) {
    auto ts = std::make_unique<TableSet>();
    CollectingWarningSink warnings;
    try {
        ReadTableSetFromText(*ts, journal.tableSetText, warnings);
    } catch (const IoError&) {
        throw IoError(DamagedText);
    }
    if (!warnings.warnings.empty()) throw IoError(DamagedText);
    return ts;
}

// 64-bit FNV-1a: only to tell the journals of files of the same name apart;
// the journal itself names its file in full.
std::uint64_t PathHash(std::string_view text) {
    std::uint64_t hash = 14695981039346656037ull;
    for (const char c : text) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 1099511628211ull;
    }
    return hash;
}

}  // namespace

std::filesystem::path RecoveryFolderFor(const char* stateHome, const char* home) {
    std::filesystem::path base;
    if (stateHome != nullptr && stateHome[0] == '/') {
        base = stateHome;
    } else if (home != nullptr && home[0] == '/') {
        base = std::filesystem::path(home) / ".local" / "state";
    } else {
        return {};
    }
    return base / "kelvo" / "recovery";
}

std::filesystem::path RecoveryFolder() {
    return RecoveryFolderFor(std::getenv("XDG_STATE_HOME"), std::getenv("HOME"));
}

std::filesystem::path JournalPath(const std::filesystem::path& folder, const std::string& tableSetPath) {
    const std::string whole = std::filesystem::absolute(tableSetPath).lexically_normal().string();
    // The file name, in characters that every file system takes, and the
    // hash of the whole path.
    std::string name = std::filesystem::path(whole).filename().string();
    for (char& c : name) {
        const bool plain = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '-' ||
                           c == '_' || c == '.';
        if (!plain) c = '_';
    }
    if (name.size() > 64) name.resize(64);
    if (name.empty() || name.front() == '.') name.insert(name.begin(), '_');
    char hash[17];
    const auto end = std::to_chars(hash, hash + 16, PathHash(whole), 16).ptr;
    std::string hex(hash, end);
    hex.insert(hex.begin(), 16 - hex.size(), '0');
    return folder / (name + "-" + hex + std::string(Extension));
}

namespace {
// Everything of a journal before its table set.
std::string JournalHeader(const std::string& tableSetPath, std::int64_t time, std::size_t size) {
    std::string out(Signature);
    out += "path " + EncodePath(tableSetPath) + "\n";
    out += "time " + std::to_string(time) + "\n";
    out += "size " + std::to_string(size) + "\n";
    return out;
}
}  // namespace

std::string JournalText(const Journal& journal) {
    return JournalHeader(journal.tableSetPath, journal.time, journal.tableSetText.size()) + journal.tableSetText;
}

Journal ParseJournal(std::string_view text) {
    if (text.substr(0, Signature.size()) != Signature) throw IoError(DamagedText);
    text.remove_prefix(Signature.size());
    Journal journal;
    const auto path = TakeField(text, "path");
    const auto decoded = path ? DecodePath(*path) : std::nullopt;
    const auto time = TakeField(text, "time");
    const auto timeValue = time ? ParseNumber<std::int64_t>(*time) : std::nullopt;
    const auto size = TakeField(text, "size");
    const auto sizeValue = size ? ParseNumber<std::size_t>(*size) : std::nullopt;
    // A journal cut short, or with bytes after its end, is not the one
    // KELVO wrote.
    if (!decoded || decoded->empty() || !timeValue || !sizeValue || *sizeValue != text.size())
        throw IoError(DamagedText);
    journal.tableSetPath = *decoded;
    journal.time = *timeValue;
    journal.tableSetText = std::string(text);
    ReadJournalTableSet(journal);
    return journal;
}

void WriteJournal(const std::filesystem::path& file, const Journal& journal) {
    WriteJournal(file, journal.tableSetPath, journal.time, journal.tableSetText);
}

void WriteJournal(const std::filesystem::path& file, const std::string& tableSetPath, std::int64_t time,
                  std::string_view tableSetText) {
    const std::filesystem::path folder = file.parent_path();
    std::error_code error;
    if (std::filesystem::create_directories(folder, error))
        std::filesystem::permissions(folder, std::filesystem::perms::owner_all, error);
    // A folder that could not be made shows in the write below, with the
    // reason of the system.
    AtomicOutputFile out(file);
    out.Write(JournalHeader(tableSetPath, time, tableSetText.size()));
    out.Write(tableSetText);
    out.Commit();
}

Journal ReadJournal(const std::filesystem::path& file) { return ParseJournal(ReadWholeFile(file)); }

void RemoveJournal(const std::filesystem::path& file) {
    if (::unlink(file.c_str()) != 0 && errno != ENOENT) ThrowIoError(errno, IoOperation::Write);
}

std::vector<FoundJournal> FindJournals(const std::filesystem::path& folder) {
    std::vector<FoundJournal> found;
    std::error_code error;
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        const std::string name = it->path().filename().string();
        // Hidden names are the temporary files of writes in progress.
        if (name.front() == '.' || name.size() <= Extension.size() ||
            name.compare(name.size() - Extension.size(), Extension.size(), Extension) != 0)
            continue;
        FoundJournal entry;
        entry.file = it->path();
        try {
            entry.journal = ReadJournal(entry.file);
        } catch (const IoError& failure) {
            entry.error = failure.what();
        }
        found.push_back(std::move(entry));
    }
    std::stable_sort(found.begin(), found.end(), [](const FoundJournal& a, const FoundJournal& b) {
        if (a.journal.has_value() != b.journal.has_value()) return a.journal.has_value();
        if (a.journal && a.journal->time != b.journal->time) return a.journal->time > b.journal->time;
        return a.file < b.file;
    });
    return found;
}

void RecoverTableSet(TableSet& ts, const Journal& journal) {
    std::unique_ptr<TableSet> read = ReadJournalTableSet(journal);
    // The journal's table set replaces the input side only: the report
    // settings of the session stay as they are.
    static_cast<InputSide&>(ts) = static_cast<const InputSide&>(*read);
    ts.VariableRoles.fill(0);
    MarkOpened(ts, journal.tableSetPath, true);
}

struct JournalWriter::State {
    // A journal to write, with the table set to make its text from.
    struct Job {
        std::filesystem::path file;
        std::string tableSetPath;
        std::int64_t time = 0;
        std::unique_ptr<const InputSide> snapshot;
    };
    std::function<void(const std::string&)> failed;
    std::function<void()> written;
    mutable std::mutex mutex;
    std::condition_variable wake;
    std::condition_variable idle;
    std::optional<Job> waiting;
    // What the last successful write put in which file (writer thread only,
    // cleared by Remove under the lock).
    std::filesystem::path lastFile;
    std::string lastText;
    // The text of the journal being written, its room used again each time:
    // fresh memory of this size costs more in page faults than the text.
    std::string text;
    bool busy = false;
    bool stopping = false;
    int writes = 0;
    std::thread thread;
};

JournalWriter::JournalWriter(std::function<void(const std::string&)> failed, std::function<void()> written)
    : m_state(std::make_unique<State>()) {
    m_state->failed = std::move(failed);
    m_state->written = std::move(written);
    m_state->thread = std::thread([this] { Run(); });
}

JournalWriter::~JournalWriter() {
    {
        const std::lock_guard lock(m_state->mutex);
        m_state->stopping = true;
    }
    m_state->wake.notify_all();
    m_state->thread.join();
}

void JournalWriter::Submit(const std::filesystem::path& file, std::string tableSetPath, std::int64_t time,
                           std::unique_ptr<const InputSide> snapshot) {
    {
        const std::lock_guard lock(m_state->mutex);
        m_state->waiting = State::Job{file, std::move(tableSetPath), time, std::move(snapshot)};
    }
    m_state->wake.notify_all();
}

void JournalWriter::Remove(const std::filesystem::path& file) {
    std::unique_lock lock(m_state->mutex);
    if (m_state->waiting && m_state->waiting->file == file) m_state->waiting.reset();
    m_state->idle.wait(lock, [this] { return !m_state->busy; });
    if (m_state->lastFile == file) {
        m_state->lastFile.clear();
        m_state->lastText.clear();
    }
    // Still under the lock, so that no write of this file can start before
    // it is gone.
    RemoveJournal(file);
}

void JournalWriter::Flush() {
    std::unique_lock lock(m_state->mutex);
    m_state->idle.wait(lock, [this] { return !m_state->busy && !m_state->waiting; });
}

int JournalWriter::Writes() const {
    const std::lock_guard lock(m_state->mutex);
    return m_state->writes;
}

void JournalWriter::Run() {
    std::unique_lock lock(m_state->mutex);
    for (;;) {
        m_state->wake.wait(lock, [this] { return m_state->stopping || m_state->waiting; });
        // What is waiting at the end is still written: it holds the newest
        // changes.
        if (!m_state->waiting) return;
        State::Job job = std::move(*m_state->waiting);
        m_state->waiting.reset();
        m_state->busy = true;
        lock.unlock();
        std::string& text = m_state->text;
        text.clear();
        AppendTableSetText(*job.snapshot, text);
        job.snapshot.reset();
        // The same table set in the same file: the journal on the disk
        // already holds it (only its time would change).
        if (job.file == m_state->lastFile && text == m_state->lastText) {
            lock.lock();
            m_state->busy = false;
            m_state->idle.notify_all();
            continue;
        }
        std::string failure;
        try {
            WriteJournal(job.file, job.tableSetPath, job.time, text);
            m_state->lastFile = job.file;
            std::swap(m_state->lastText, text);
        } catch (const IoError& error) {
            failure = error.what();
        } catch (const std::exception& error) {
            failure = error.what();
        }
        if (!failure.empty()) {
            if (m_state->failed) m_state->failed(failure);
        } else if (m_state->written) {
            m_state->written();
        }
        lock.lock();
        if (failure.empty()) ++m_state->writes;
        m_state->busy = false;
        m_state->idle.notify_all();
    }
}

}  // namespace kelvo
