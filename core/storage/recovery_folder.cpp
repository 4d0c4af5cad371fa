#include "recovery_folder.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <unistd.h>

#include "atomic_file.h"
#include "io_error.h"

namespace kelvo {

namespace {

constexpr std::string_view Extension = ".journal";

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

}  // namespace kelvo
