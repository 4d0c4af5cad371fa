#include "recovery_folder.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
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

// The absolute path, without "." and "..".
std::string WholePath(const std::string& tableSetPath) {
    return std::filesystem::absolute(tableSetPath).lexically_normal().string();
}

// The file name of `whole` in characters that every file system takes, and
// the hash of the whole path.
std::string NameStem(const std::string& whole) {
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
    return name + "-" + hex;
}

// Names are numbered from 2 on; the first has no number. Far more than any
// folder will hold, only to bound the search.
constexpr int MaxNumber = 100000;
std::string Numbered(const std::string& name, int number) {
    return number == 1 ? name : name + "-" + std::to_string(number);
}

// Whether anything has this name, a link that leads nowhere included. A
// name that cannot be looked at (no folder) is free: the write to it says
// why it fails.
bool Taken(const std::filesystem::path& file) {
    struct stat info {};
    return ::lstat(file.c_str(), &info) == 0;
}

// Renames `from` to `to` unless `to` exists (false then); throws IoError
// for any other failure.
bool MoveWithoutReplacing(const std::filesystem::path& from, const std::filesystem::path& to) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return true;
    if (errno == EEXIST) return false;
    if (errno != EINVAL && errno != ENOSYS) ThrowIoError(errno, IoOperation::Write);
    // A file system that cannot rename without replacing: a second link,
    // which is never made over an existing name, then the old one goes.
    if (::link(from.c_str(), to.c_str()) != 0) {
        if (errno == EEXIST) return false;
        ThrowIoError(errno, IoOperation::Write);
    }
    if (::unlink(from.c_str()) != 0) {
        const int error = errno;
        ::unlink(to.c_str());
        ThrowIoError(error, IoOperation::Write);
    }
    return true;
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
    return folder / (NameStem(WholePath(tableSetPath)) + std::string(Extension));
}

std::filesystem::path FreeJournalPath(const std::filesystem::path& folder, const std::string& tableSetPath) {
    const std::string stem = NameStem(WholePath(tableSetPath));
    for (int number = 1; number < MaxNumber; ++number) {
        std::filesystem::path file = folder / (Numbered(stem, number) + std::string(Extension));
        if (!Taken(file)) return file;
    }
    ThrowIoError(EEXIST, IoOperation::Write);
}

bool IsJournalNameOf(const std::filesystem::path& file, const std::string& tableSetPath) {
    const std::string name = file.filename().string();
    const std::string stem = NameStem(WholePath(tableSetPath));
    if (name.size() < stem.size() + Extension.size() || name.compare(0, stem.size(), stem) != 0 ||
        name.compare(name.size() - Extension.size(), Extension.size(), Extension) != 0)
        return false;
    // Between the two: nothing, or "-" and the number of the name.
    const std::string_view middle =
        std::string_view(name).substr(stem.size(), name.size() - stem.size() - Extension.size());
    if (middle.empty()) return true;
    return middle.size() >= 2 && middle.front() == '-' &&
           middle.find_first_not_of("0123456789", 1) == std::string_view::npos;
}

std::filesystem::path LockPath(const std::filesystem::path& folder, const std::string& tableSetPath) {
    std::error_code error;
    const std::filesystem::path real = std::filesystem::weakly_canonical(std::filesystem::absolute(tableSetPath), error);
    return folder / (NameStem(error ? WholePath(tableSetPath) : real.string()) + ".lock");
}

void MakeRecoveryFolder(const std::filesystem::path& folder) {
    std::error_code error;
    if (std::filesystem::create_directories(folder, error))
        std::filesystem::permissions(folder, std::filesystem::perms::owner_all, error);
    std::error_code probe;
    if (!std::filesystem::is_directory(folder, probe)) ThrowIoError(error ? error.value() : ENOTDIR, IoOperation::Write);
}

void WriteJournal(const std::filesystem::path& file, const Journal& journal) {
    WriteJournal(file, journal.tableSetPath, journal.time, journal.tableSetText);
}

void WriteJournal(const std::filesystem::path& file, const std::string& tableSetPath, std::int64_t time,
                  std::string_view tableSetText) {
    // A folder that could not be made shows in the write below, with the
    // reason of the system.
    try {
        MakeRecoveryFolder(file.parent_path());
    } catch (const IoError&) {
    }
    AtomicOutputFile out(file);
    out.Write(JournalHeader(tableSetPath, time, tableSetText.size()));
    out.Write(tableSetText);
    out.Commit();
}

Journal ReadJournal(const std::filesystem::path& file) { return ParseJournal(ReadWholeFile(file)); }

void RemoveJournal(const std::filesystem::path& file) {
    if (::unlink(file.c_str()) != 0 && errno != ENOENT) ThrowIoError(errno, IoOperation::Write);
}

std::filesystem::path SetAsideDamagedJournal(const std::filesystem::path& file, std::int64_t time) {
    std::string stem = file.filename().string();
    if (stem.size() > Extension.size() && stem.compare(stem.size() - Extension.size(), Extension.size(), Extension) == 0)
        stem.resize(stem.size() - Extension.size());
    const std::time_t when = static_cast<std::time_t>(time);
    std::tm local{};
    char stamp[32] = "0";
    if (::localtime_r(&when, &local) != nullptr) std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
    const std::string base = stem + ".damaged-" + stamp;
    for (int number = 1; number < MaxNumber; ++number) {
        std::filesystem::path target = file.parent_path() / Numbered(base, number);
        if (MoveWithoutReplacing(file, target)) return target;
    }
    ThrowIoError(EEXIST, IoOperation::Write);
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
        struct stat info {};
        if (::stat(entry.file.c_str(), &info) == 0)
            entry.modified = static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1'000'000'000 + info.st_mtim.tv_nsec;
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
        if (a.modified != b.modified) return a.modified > b.modified;
        return a.file < b.file;
    });
    return found;
}

}  // namespace kelvo
