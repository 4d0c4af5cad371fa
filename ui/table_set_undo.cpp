#include "table_set_undo.h"

#include <QAction>
#include <QKeyEvent>
#include <QUndoStack>
#include <QWidget>

namespace kelvo::ui {

namespace {

QList<QKeySequence> UndoKeys() { return {QKeySequence(Qt::CTRL | Qt::Key_Z)}; }
QList<QKeySequence> RedoKeys() {
    return {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)};
}

}  // namespace

bool SameContent(const InputSide& a, const InputSide& b) {
    return a.VariableCount == b.VariableCount && a.VariableNames == b.VariableNames &&
           a.CategoryCounts == b.CategoryCounts && a.CategoryNames == b.CategoryNames && a.PairTables == b.PairTables;
}

std::unique_ptr<const InputSide> ContentOf(const InputSide& ts) { return std::make_unique<const InputSide>(ts); }

InputSideChange::InputSideChange(const QString& text, InputSide& ts, std::unique_ptr<const InputSide> before,
                                 std::function<void()> shown)
    : QUndoCommand(text), m_ts(ts), m_before(std::move(before)), m_after(ContentOf(ts)), m_shown(std::move(shown)) {}

void InputSideChange::undo() { Restore(*m_before); }

void InputSideChange::redo() {
    if (m_made) {
        m_made = false;
        return;
    }
    Restore(*m_after);
}

void InputSideChange::Restore(const InputSide& state) {
    m_ts.VariableCount = state.VariableCount;
    m_ts.VariableNames = state.VariableNames;
    m_ts.CategoryCounts = state.CategoryCounts;
    m_ts.CategoryNames = state.CategoryNames;
    m_ts.PairTables = state.PairTables;
    m_ts.TableSetModified = true;
    if (m_shown) m_shown();
}

void PushIfChanged(QUndoStack* stack, const QString& text, InputSide& ts, std::unique_ptr<const InputSide> before,
                   std::function<void()> shown) {
    if (SameContent(*before, ts)) return;
    stack->push(new InputSideChange(text, ts, std::move(before), std::move(shown)));
}

void AddUndoShortcuts(QWidget* window, QUndoStack* stack) {
    QAction* undo = stack->createUndoAction(window, QStringLiteral("&Undo"));
    undo->setShortcuts(UndoKeys());
    QAction* redo = stack->createRedoAction(window, QStringLiteral("&Redo"));
    redo->setShortcuts(RedoKeys());
    window->addAction(undo);
    window->addAction(redo);
}

int UndoKey(const QKeyEvent* key) {
    const QKeySequence pressed(key->keyCombination());
    if (UndoKeys().contains(pressed)) return -1;
    if (RedoKeys().contains(pressed)) return 1;
    return 0;
}

}  // namespace kelvo::ui
