// What a typed variable or category name must be before it is stored.
#pragma once

#include <QString>
#include <optional>
#include <string>

#include "table_set.h"
#include "warnings.h"

namespace kelvo::ui {

// The name as stored: its Latin-1 bytes, cut to MaxNameLength. A character
// without a Latin-1 form is reported through `warnings` (naming its code
// point) and nothing is returned, so the caller keeps its window open.
std::optional<std::string> StoredName(const QString& typed, WarningSink& warnings);

// The warning for a character that a name cannot hold, e.g. U+20AC.
std::string RefusedCharacterWarning(char32_t character);

// Whether `name` (as stored) may become the name of variable `self` (0 for a
// variable not yet added): a name with "*" or one that equals the name of
// another variable would make the table-set file unreadable, so both are
// refused with a warning that says why.
bool AcceptVariableName(const TableSet& ts, const std::string& name, int self, WarningSink& warnings);

}  // namespace kelvo::ui
