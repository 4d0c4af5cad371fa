// What a variable name must be before it is stored. A table-set file finds
// the two variables of a table by name, split at the first "*", so a name
// with "*" or a name that another variable already bears would make the file
// unreadable. The editors and the importers all ask here.
#pragma once

#include <string>
#include <string_view>

#include "table_set.h"

namespace kelvo {

struct VariableNameCheck {
    enum Problem { Ok, ContainsStar, Taken };
    Problem problem = Ok;
    int other = 0;  // with Taken: the variable that already bears the name
    explicit operator bool() const { return problem == Ok; }
};

// Whether `name` (as stored) may become the name of variable `self` (0 for a
// variable not yet added) among variables 1..VariableCount.
VariableNameCheck CheckVariableName(const InputSide& ts, std::string_view name, int self);

// The warning for a refused name, short enough for the warning notice:
// "A variable name cannot contain "*"" or "Variable 3 is already named Age".
std::string VariableNameWarning(const VariableNameCheck& check, std::string_view name);

// The warning for a character that a name cannot hold: "A name cannot hold
// the character U+20AC" (names are Latin-1 text).
std::string RefusedCharacterWarning(char32_t character);

}  // namespace kelvo
