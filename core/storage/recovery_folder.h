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
// and a hash of the whole path.
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

// The journal of the table-set file `tableSetPath` in `folder`.
std::filesystem::path JournalPath(const std::filesystem::path& folder, const std::string& tableSetPath);

// Writes a journal atomically (creating the folder, private to the user)
// and reads one back; both throw IoError.
void WriteJournal(const std::filesystem::path& file, const Journal& journal);
void WriteJournal(const std::filesystem::path& file, const std::string& tableSetPath, std::int64_t time,
                  std::string_view tableSetText);
Journal ReadJournal(const std::filesystem::path& file);

// Removes a journal; one that is not there is no error.
void RemoveJournal(const std::filesystem::path& file);

// Every journal in the folder, newest first, with those that cannot be read
// after them (`error` says why; such a journal is kept, for the user to
// look at).
struct FoundJournal {
    std::filesystem::path file;
    std::optional<Journal> journal;
    std::string error;
};
std::vector<FoundJournal> FindJournals(const std::filesystem::path& folder);

}  // namespace kelvo
