// Recovery journals: a copy of a table set with unsaved changes, written
// while the user types so that a crash, a power cut or a killed process
// loses at most the last two seconds of work.
//
// Every journal lives in one folder of the user's own, the recovery folder
// under the freedesktop state folder ($XDG_STATE_HOME/kelvo/recovery, by
// default ~/.local/state/kelvo/recovery), never beside the table-set file:
// the start-up must find the journals of every file without knowing which
// files were open; the folder is private to the user (mode 0700) while a
// table set's folder may be shared, synchronised or read-only; and a journal
// never appears among the user's own files or travels with them.
//
// A journal is named after the table-set path it belongs to (the file name
// and a hash of the whole path) and holds that path itself, the time of the
// change and the table set as the table-set file would hold it.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kelvo {

struct TableSet;
struct InputSide;

// The recovery folder for these values of XDG_STATE_HOME and HOME (either
// may be null or empty; a relative XDG_STATE_HOME is ignored, as the
// freedesktop rules say). Empty when neither gives an absolute folder.
std::filesystem::path RecoveryFolderFor(const char* stateHome, const char* home);
// The recovery folder of this process's environment.
std::filesystem::path RecoveryFolder();

// The journal of the table-set file `tableSetPath` in `folder`.
std::filesystem::path JournalPath(const std::filesystem::path& folder, const std::string& tableSetPath);

// What a journal holds.
struct Journal {
    std::string tableSetPath;  // the table-set file whose changes it keeps
    std::int64_t time = 0;     // when they were made, seconds since 1970 (UTC)
    std::string tableSetText;  // the table set as TableSetText gives it
};

// The journal file's bytes, and back. ParseJournal throws IoError
// ("Damaged recovery file") for anything that is not a whole journal of a
// table set that reads without a warning.
std::string JournalText(const Journal& journal);
Journal ParseJournal(std::string_view text);

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

// Puts the journal's table set in place of `ts`: its file names are the
// journal's, it is open and modified, with no results. Throws IoError,
// leaving `ts` as it was, when the journal's table set cannot be read.
void RecoverTableSet(TableSet& ts, const Journal& journal);

// Writes journals on a thread of its own so that the window that submits
// them never waits for the disk or for the formatting. Only the newest
// submitted journal of a burst is written; one written earlier is replaced
// as a whole; a journal that would hold what the last one written holds is
// not written again.
class JournalWriter {
public:
    // `failed` is called on the writer's thread with the text of a failed
    // write; `written` after each successful one.
    JournalWriter(std::function<void(const std::string&)> failed, std::function<void()> written = {});
    ~JournalWriter();
    JournalWriter(const JournalWriter&) = delete;
    JournalWriter& operator=(const JournalWriter&) = delete;

    // Writes the journal of a copy of the table set's input side to `file`
    // soon, making its text on the writer's thread; replaces a journal
    // still waiting.
    void Submit(const std::filesystem::path& file, std::string tableSetPath, std::int64_t time,
                std::unique_ptr<const InputSide> snapshot);
    // Drops a waiting journal for `file`, waits for one being written and
    // removes the file: after it returns, no journal of `file` exists or
    // will be written until the next Submit.
    void Remove(const std::filesystem::path& file);
    // Waits until everything submitted has been written (or has failed).
    void Flush();
    // How many journals have been written so far (not counting those
    // skipped for holding nothing new).
    int Writes() const;

private:
    struct State;
    void Run();
    std::unique_ptr<State> m_state;
};

}  // namespace kelvo
