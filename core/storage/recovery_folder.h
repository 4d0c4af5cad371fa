// Where recovery journals are kept and how they are found. Every journal
// lives in one folder of the user's own, the recovery folder under the
// freedesktop state folder ($XDG_STATE_HOME/kelvo/recovery, by default
// ~/.local/state/kelvo/recovery), never beside the table-set file:
// the start-up must find the journals of every file without knowing which
// files were open; the folder is private to the user (mode 0700) while a
// table set's folder may be shared, synchronised or read-only; and a journal
// never appears among the user's own files or travels with them.
//
// A journal is named after the table-set path it belongs to: the file name
// and a hash of the whole path. A run that finds the name taken (by a journal
// that an earlier run left and the user has not yet recovered or discarded)
// numbers its own ("-2", "-3", ...), so that no journal is ever written over
// by another run. A journal that cannot be read is set aside under a name of
// its own that no later journal takes. The lock file that tells which KELVO
// has a table-set file open lies beside the journals.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "recovery_journal.h"

namespace kelvo {

// The recovery folder for these values of XDG_STATE_HOME and HOME (either
// may be null or empty; a relative XDG_STATE_HOME is ignored, as the
// freedesktop rules say). Empty when neither gives an absolute folder.
std::filesystem::path RecoveryFolderFor(const char* stateHome, const char* home);
// The recovery folder of this process's environment.
std::filesystem::path RecoveryFolder();

// The journal of the table-set file `tableSetPath` in `folder`, the first of
// the names that its journals take.
std::filesystem::path JournalPath(const std::filesystem::path& folder, const std::string& tableSetPath);
// The first of those names that no file in `folder` has: JournalPath, then
// the same name numbered 2, 3, ...
std::filesystem::path FreeJournalPath(const std::filesystem::path& folder, const std::string& tableSetPath);
// Whether `file` has one of the names of the journals of `tableSetPath`
// (the journal itself says whose it is; this is for one that cannot be read).
bool IsJournalNameOf(const std::filesystem::path& file, const std::string& tableSetPath);

// The lock file of the table-set file `tableSetPath` in `folder`, named after
// the file that the path leads to (symbolic links followed), so that two
// paths to one file share it.
std::filesystem::path LockPath(const std::filesystem::path& folder, const std::string& tableSetPath);

// Makes the recovery folder (and the folders above it) if it is not there;
// a folder it makes is private to the user. Throws IoError when there is
// no folder afterwards.
void MakeRecoveryFolder(const std::filesystem::path& folder);

// Writes a journal atomically (creating the folder, private to the user)
// and reads one back; both throw IoError.
void WriteJournal(const std::filesystem::path& file, const Journal& journal);
void WriteJournal(const std::filesystem::path& file, const std::string& tableSetPath, std::int64_t time,
                  std::string_view tableSetText);
Journal ReadJournal(const std::filesystem::path& file);

// Removes a journal; one that is not there is no error.
void RemoveJournal(const std::filesystem::path& file);

// Moves a journal that cannot be read out of the way, within its folder, to
// "STEM.damaged-YYYYMMDD-HHMMSS" (STEM its name without ".journal", the
// local time of `time`, seconds since 1970), numbered "-2", "-3", ... when
// that name is taken. Nothing is written over; no journal is ever given such
// a name, and FindJournals does not list it. Returns the new path; throws
// IoError, leaving the journal where it was.
std::filesystem::path SetAsideDamagedJournal(const std::filesystem::path& file, std::int64_t time);

// Every journal in the folder, newest first (by the time of its changes,
// then by when its file was written), with those that cannot be read after
// them (`error` says why).
struct FoundJournal {
    std::filesystem::path file;
    std::optional<Journal> journal;
    std::string error;
    std::int64_t modified = 0;  // when its file was last written, nanoseconds since 1970
};
std::vector<FoundJournal> FindJournals(const std::filesystem::path& folder);

}  // namespace kelvo
