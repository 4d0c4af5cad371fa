// Undo and redo of the editors' changes to a table set, with Qt's undo
// stack: Ctrl+Z undoes, Ctrl+Shift+Z and Ctrl+Y redo. Each editor keeps a
// stack of its own, which starts empty whenever the editor opens.
#pragma once

#include <QUndoCommand>
#include <functional>
#include <memory>

#include "table_set.h"

class QKeyEvent;
class QUndoStack;
class QWidget;

namespace kelvo::ui {

// Whether two input sides hold the same variables, categories and tables
// (file names and state flags aside).
bool SameContent(const InputSide& a, const InputSide& b);

// A change of the variables and tables as a whole (a variable added, edited
// or deleted with all that came with it): undoing it brings back every name
// and table as they were, redoing it the state after the change. Either way
// the table set counts as modified, and `shown` (the window shows the table
// set anew, and the change reaches the recovery journal) runs.
class InputSideChange : public QUndoCommand {
public:
    InputSideChange(const QString& text, InputSide& ts, std::unique_ptr<const InputSide> before,
                    std::function<void()> shown);

    void undo() override;
    // The first redo is the change itself, which has been made already.
    void redo() override;

private:
    void Restore(const InputSide& state);

    InputSide& m_ts;
    std::unique_ptr<const InputSide> m_before;
    std::unique_ptr<const InputSide> m_after;
    std::function<void()> m_shown;
    bool m_made = true;
};

// Copies what an editor may change, to see afterwards whether it did.
std::unique_ptr<const InputSide> ContentOf(const InputSide& ts);

// Pushes an InputSideChange onto `stack` when the table set no longer holds
// what `before` holds.
void PushIfChanged(QUndoStack* stack, const QString& text, InputSide& ts, std::unique_ptr<const InputSide> before,
                   std::function<void()> shown);

// Gives `window` the Undo (Ctrl+Z) and Redo (Ctrl+Shift+Z, Ctrl+Y) commands
// of `stack` as keyboard shortcuts.
void AddUndoShortcuts(QWidget* window, QUndoStack* stack);

// Whether `key` is one of the Undo or Redo keys: -1 for undo, 1 for redo, 0
// for neither (for editors that would take these keys for their own text).
int UndoKey(const QKeyEvent* key);

}  // namespace kelvo::ui
