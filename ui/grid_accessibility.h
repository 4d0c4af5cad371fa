// What screen readers and other assistive technologies see of a painted
// grid: a table named after the title above it, whose cells are its
// children, the fixed row and column as column and row headers. Every cell
// has its text, its text's weight as a text attribute ("font-weight:700" for
// a bold one), and a description of what its look means; a cell that the
// user may type into also takes a new text, which goes the way typing goes.
//
// The grid's children are numbered row by row over the whole grid, the
// fixed row and column included: child column + row * GridColumns() is cell
// (column, row). The table's own rows and columns are those outside the
// fixed row and column.
#pragma once

#include <QAccessible>

class QObject;
class QString;

namespace kelvo::ui {

// The interfaces of PaintedGrid and of every grid derived from it, for
// QAccessible::installFactory (PaintedGrid installs it).
QAccessibleInterface* GridAccessibleFactory(const QString& className, QObject* object);

}  // namespace kelvo::ui
