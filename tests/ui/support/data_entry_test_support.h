// Helpers for the tests of the data entry windows.
#pragma once

#include <QString>
#include <initializer_list>
#include <string>
#include <vector>

#include "table_set.h"
#include "test_support.h"

class QWidget;

namespace kelvo::test {

// Shows `window` (not modally) and waits until it is the active window, so
// that key events reach its focus widget as they would for a user.
bool ShowActive(QWidget* window);

// Types `text` into the widget that has the keyboard focus.
void TypeIntoFocus(const QString& text);

// A table set as "Create KELVO file" leaves it: default category names, no
// variables, open and modified.
TableSet CreatedTableSet();
// The same with these variables defined, as the variable list editor leaves
// them: the given category names, every other slot at its default.
TableSet CreatedTableSet(std::initializer_list<VariableSpec> variables);

// The fields that the data entry windows edit, for comparing table sets:
// variables, categories and the pair tables in use.
std::string DataEntryFields(const TableSet& ts);

}  // namespace kelvo::test
