// Tables pasted into the table editor from a spreadsheet or a published
// table, and the table editor's copy of its grid.
#pragma once

#include <QString>
#include <QStringList>
#include <vector>

namespace kelvo::ui {

// The cells of a pasted block, row after row, without its labels and totals.
//
// Fields are separated by tabs when the text has any, otherwise by
// semicolons when it has any, otherwise by runs of spaces (where the words
// that start a row holding numbers form one label, "First class 122 167").
// Each field is trimmed and loses one pair of enclosing double quotes;
// digits grouped in threes by ",", "'" or a space lose those separators.
//
// A first row with a label (a field that is not a number of any kind, such
// as 2.5 or 40%) is a header row and is dropped; so is a first column with a
// label below the header, or under an empty header corner. A first row that
// starts with an empty corner over rows that all start with a field is a
// header over a label column even when its labels are numbers (years,
// codes). A last column whose header reads "Total" and a last row labelled
// "Total" (letter case aside) are dropped too. Copied TEditTable grids paste
// back as they were.
std::vector<QStringList> ParsePastedTable(const QString& text);

// Whether `text` holds more than one cell (a line end, a tab, a semicolon,
// or several fields separated by spaces), i.e. is a block to paste over
// several cells rather than text for the one cell being edited.
bool IsCellBlock(const QString& text);

}  // namespace kelvo::ui
