// The tables of the result windows on the clipboard, in two forms at once:
// tab-separated text, which a spreadsheet takes a value per cell (numbers as
// the window shows them, with a decimal point whatever the locale, nothing
// marked), and an HTML table, which a word processor takes as a table
// (significant values in bold as the window shows them, predictions out of
// range on light red). One table is copied as its cells; several each under
// their title, one after the other.
//
// Every window with an OutputGrid gets the commands without doing anything:
// the grid's context menu has "Copy table" (its own table) and "Copy all"
// (every table of the window), and in the window Ctrl+C copies the table of
// the grid that has the focus, or every table when no grid has it, and
// Ctrl+Shift+C every table.
#pragma once

#include <QString>
#include <vector>

#include "output_model.h"

class QMimeData;
class QWidget;

namespace kelvo::ui {

class OutputGrid;

QString TablesAsTabSeparated(const std::vector<const kelvo::OutputTable*>& tables);
QString TablesAsHtml(const std::vector<const kelvo::OutputTable*>& tables);
// Both forms, for the clipboard.
QMimeData* TablesAsMimeData(const std::vector<const kelvo::OutputTable*>& tables);

// Puts the tables on the clipboard; no tables leave it as it is.
void CopyTables(const std::vector<const kelvo::OutputTable*>& tables);

// The tables of every grid of `window` that shows one, in the order of the
// grids.
std::vector<const kelvo::OutputTable*> TablesOfWindow(const QWidget* window);

// Gives `window` the shortcuts Ctrl+C and Ctrl+Shift+C (once, however many
// grids it has).
void InstallCopyShortcuts(QWidget* window);

}  // namespace kelvo::ui
