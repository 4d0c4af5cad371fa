// The changes that the commands and editors make to a table set as a whole:
// starting a new one, adding, changing and deleting a variable (opening a
// file is OpenTableSet, table_set_file.h). The windows call these and only
// show what they did.
#pragma once

#include <string>
#include <string_view>

#include "table_set.h"

namespace kelvo {

// The table set now stands for the file `path`: its file names are that
// file's, it is open (modified or not) and holds no results of any model.
void MarkOpened(TableSet& ts, const std::string& path, bool modified);

// A new table set to be kept in `path`: no variables, every pair table cell
// 0, every category name slot at its default "C1".."C16", open and modified,
// no results.
void StartNewTableSet(TableSet& ts, const std::string& path);

// Appends a variable with `name` (cut to 12 characters) and `categories`
// categories, whose names are what their slots hold. Returns its number, or
// 0, changing nothing, when the table set already holds MaxVariables.
int AddVariable(InputSide& ts, std::string_view name, int categories);

// Gives variable v (1..VariableCount) a new name and category count. A larger
// count brings category slots into use with the names they hold; a smaller
// one leaves the dropped names in their slots.
void ChangeVariable(InputSide& ts, int v, std::string_view name, int categories);

// Deletes variable v: every later variable moves down one number with its
// name, category count and category names (slots above its count keep what
// they held); pair tables are not renumbered. Refused (false, nothing
// changes) when v is not a variable or the table set holds 2 or fewer.
bool DeleteVariable(InputSide& ts, int v);

}  // namespace kelvo
