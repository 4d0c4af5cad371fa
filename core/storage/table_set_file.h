// The table-set file (".tbl"): a line-oriented text file with the variables,
// their categories and every pair table.
#pragma once

#include <string>
#include <string_view>

#include "table_set.h"
#include "warnings.h"

namespace kelvo {

// Reads the file named by ts.FileName into the table set.
//
// A header that cannot be used ends the reading with a warning through
// `warnings`; what was read before it is kept, as after a complete read but
// without clearing the model roles, and the tables after it stay 0. Returns
// whether the read was complete. An I/O failure, a malformed number or
// counts that do not fit the table set throw IoError and leave the table set
// exactly as it was.
bool ReadTableSet(TableSet& ts, WarningSink& warnings);

// The input side from a table-set file's text already in memory, by the same
// rules: true after a complete read, false when a header warning ended it
// (what was read before it is kept). Throws IoError, leaving `ts` exactly as
// it was.
bool ReadInputSide(InputSide& ts, std::string_view text, WarningSink& warnings);

// Writes the input side to the file named by ts.FileName. The file is
// replaced as a whole: on any failure (IoError) the previous file is left
// untouched.
void WriteTableSet(const InputSide& ts);

// Reads the table-set file `path` (ReadTableSet): the table set is open and
// unmodified afterwards, with no results. On an IoError the table set, its
// file names and its flags are exactly as they were, so that a later write
// can never put a half-read table set over the chosen file. Returns whether
// the read was complete (false after a header warning).
bool OpenTableSet(TableSet& ts, const std::string& path, WarningSink& warnings);

// The file contents that WriteTableSet writes: the input side alone.
std::string TableSetText(const InputSide& ts);
// The same, appended to `out` (whose room can then be used again).
void AppendTableSetText(const InputSide& ts, std::string& out);

}  // namespace kelvo
