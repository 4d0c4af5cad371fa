// Recovery journals: a copy of a table set with unsaved changes, written
// while the user types so that a crash, a power cut or a killed process
// loses at most the last two seconds of work.
//
// A journal holds the table-set path it belongs to, the time of the change
// and the table set as the table-set file would hold it. This header is its
// format; recovery_folder.h finds and keeps journals, journal_writer.h
// writes them while the user types.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kelvo {

struct TableSet;

// What a journal holds.
struct Journal {
    std::string tableSetPath;  // the table-set file whose changes it keeps
    std::int64_t time = 0;     // when they were made, seconds since 1970 (UTC)
    std::string tableSetText;  // the table set as TableSetText gives it
};

// Everything of a journal's bytes before its table set.
std::string JournalHeader(const std::string& tableSetPath, std::int64_t time, std::size_t size);

// The journal file's bytes, and back. ParseJournal throws IoError
// ("Damaged recovery file") for anything that is not a whole journal of a
// table set that reads without a warning.
std::string JournalText(const Journal& journal);
Journal ParseJournal(std::string_view text);

// Puts the journal's table set in place of `ts`: its file names are the
// journal's, it is open and modified, with no results. Throws IoError,
// leaving `ts` as it was, when the journal's table set cannot be read.
void RecoverTableSet(TableSet& ts, const Journal& journal);

}  // namespace kelvo
