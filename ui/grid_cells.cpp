#include "grid_cells.h"

#include <QEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPersistentModelIndex>
#include <QTableWidget>
#include <algorithm>

#include "dialog_frame.h"
#include "table_limits.h"

namespace kelvo::ui {

LiveEditDelegate::LiveEditDelegate(QObject* parent) : QStyledItemDelegate(parent) {}

QWidget* LiveEditDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex& index) const {
    auto* editor = new QLineEdit(parent);
    editor->setFrame(false);
    editor->setAlignment(editorAlignment);
    auto* self = const_cast<LiveEditDelegate*>(this);
    const QPersistentModelIndex cell(index);
    connect(editor, &QLineEdit::textEdited, self, [self, cell](const QString& text) {
        if (cell.isValid()) emit self->cellTextEdited(cell, text);
    });
    return editor;
}

void LiveEditDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
    auto* line = qobject_cast<QLineEdit*>(editor);
    if (line == nullptr) return;
    const QString text = index.data(Qt::EditRole).toString();
    if (line->text() != text) line->setText(text);
}

bool LiveEditDelegate::eventFilter(QObject* object, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (editorKeyFilter) {
            if (auto* line = qobject_cast<QLineEdit*>(object); line != nullptr && editorKeyFilter(line, key)) return true;
        }
        if (tabLeavesGrid && (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab)) return false;
    }
    return QStyledItemDelegate::eventFilter(object, event);
}

int GridRowHeight(const QWidget* grid) { return std::max(16, grid->fontMetrics().height() + 4); }

void SetUpColumnGrid(QTableWidget* grid, int rows) {
    grid->setColumnCount(1);
    grid->setRowCount(rows);
    grid->horizontalHeader()->hide();
    grid->verticalHeader()->hide();
    grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    grid->verticalHeader()->setMinimumSectionSize(1);
    grid->verticalHeader()->setDefaultSectionSize(GridRowHeight(grid));
    grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid->setWordWrap(false);
}

QTableWidget* VariableListGrid(QWidget* parent, const char* name, int rows) {
    auto* grid = Named<QTableWidget>(parent, name);
    SetUpColumnGrid(grid, rows);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setFixedSize(160, MaxVariables * GridRowHeight(grid) + 2 * grid->frameWidth());
    return grid;
}

void OpenNameEditors(QTableWidget* grid, LiveEditDelegate* delegate, const QStringList& texts) {
    for (int row = 0; row < grid->rowCount(); ++row) {
        if (grid->isPersistentEditorOpen(grid->model()->index(row, 0)))
            grid->closePersistentEditor(grid->item(row, 0));
    }
    grid->setRowCount(static_cast<int>(texts.size()));
    for (int row = 0; row < texts.size(); ++row) {
        QTableWidgetItem* item = grid->item(row, 0);
        if (item == nullptr) {
            item = new QTableWidgetItem;
            grid->setItem(row, 0, item);
        }
        item->setText(texts[row]);
        grid->openPersistentEditor(item);
        // A screen reader names an editor by its grid, and by its row in a
        // grid of several.
        if (QLineEdit* editor = NameEditor(grid, row))
            editor->setAccessibleName(texts.size() == 1 ? grid->accessibleName()
                                                        : grid->accessibleName() + QString(" %1").arg(row + 1));
    }
    delegate->tabLeavesGrid = true;
    grid->setTabKeyNavigation(false);
    // Up and Down move between the open editors as Tab does (the text of the
    // editor reached is selected, so typing replaces it); at either end they
    // stay where they are.
    delegate->editorKeyFilter = [grid](QLineEdit* editor, QKeyEvent* key) {
        if ((key->key() != Qt::Key_Up && key->key() != Qt::Key_Down) || key->modifiers() != Qt::NoModifier) return false;
        for (int row = 0; row < grid->rowCount(); ++row) {
            if (NameEditor(grid, row) != editor) continue;
            const int next = row + (key->key() == Qt::Key_Down ? 1 : -1);
            if (QLineEdit* target = next >= 0 && next < grid->rowCount() ? NameEditor(grid, next) : nullptr) {
                grid->setCurrentCell(next, 0);
                target->setFocus(Qt::TabFocusReason);
                target->selectAll();
            }
            return true;
        }
        return false;
    };
}

QLineEdit* NameEditor(const QTableWidget* grid, int row) {
    return qobject_cast<QLineEdit*>(grid->indexWidget(grid->model()->index(row, 0)));
}

QString NameEditorText(const QTableWidget* grid, int row) {
    if (const QLineEdit* editor = NameEditor(grid, row)) return editor->text();
    const QTableWidgetItem* item = grid->item(row, 0);
    return item != nullptr ? item->text() : QString();
}

}  // namespace kelvo::ui
