// What a name must be before it is stored. A table-set file finds the two
// variables of a table by name, split at the first "*", so a name with "*" or
// a name that another variable already bears would make the file
// unreadable; and every name stands on a line of its own, so no name or
// category may hold a line end. The editors and the importers all ask here.
#pragma once

#include <optional>
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

// The first control character of `text` (the C0 characters, line ends, tab
// and NUL among them, and DEL), or nothing. No variable or category name may
// hold one: a line end would split its line of the table-set file and of the
// recovery journal, and the others can be neither seen nor typed.
std::optional<char> FirstControlCharacter(std::string_view text);

// How a message names a control character: "a line end" (LF or CR), "a tab",
// "a NUL character", or "the control character U+001B".
std::string ControlCharacterName(char c);

// `text` with its control characters written as escapes (\n, \r, \t, \0,
// \x1B), for a message that quotes a refused name.
std::string Printable(std::string_view text);

// The warning for a character that a name cannot hold: "A name cannot hold
// the character U+20AC" (names are Latin-1 text).
std::string RefusedCharacterWarning(char32_t character);
// The warning for a control character in a typed name: "A name cannot hold
// a tab".
std::string ControlCharacterWarning(char c);

}  // namespace kelvo
