// Grids of the data entry windows: cell editors that report every keystroke,
// and the common set-up of list and name grids.
#pragma once

#include <QStyledItemDelegate>
#include <functional>

class QKeyEvent;
class QLineEdit;
class QTableWidget;
class QWidget;

namespace kelvo::ui {

// A cell editor delegate whose editor is a frameless one-line text field.
// Every change the user makes in it (typing, pasting, deleting, undo) is
// reported at once through cellTextEdited, not only when the editor closes.
// When the cell's text is changed from outside while its editor is open, the
// editor shows the new text; an unchanged text leaves the cursor alone.
class LiveEditDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit LiveEditDelegate(QObject* parent = nullptr);

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;

    // Alignment of the text in the editor.
    Qt::Alignment editorAlignment = Qt::AlignLeft | Qt::AlignVCenter;
    // Tab and Shift+Tab move the focus along the window's focus chain instead
    // of to the next cell (for grids whose editors are always open).
    bool tabLeavesGrid = false;
    // Sees every key press of an editor first; returning true consumes it.
    std::function<bool(QLineEdit* editor, QKeyEvent* event)> editorKeyFilter;

signals:
    void cellTextEdited(const QModelIndex& index, const QString& text);

protected:
    bool eventFilter(QObject* object, QEvent* event) override;
};

// Row height of the program's grids: at least 16 pixels, enough for the font.
int GridRowHeight(const QWidget* grid);

// A one-column grid without headers, scroll bars or visible grid lines, whose
// rows have the program's row height and whose column fills its width.
void SetUpColumnGrid(QTableWidget* grid, int rows);

// The variable list of the variable chooser and the variable list editor: a
// read-only column grid of `rows` rows, one variable selected at a time, as
// high as the most variables a table set holds.
QTableWidget* VariableListGrid(QWidget* parent, const char* name, int rows);

// A name grid (variable editor): every cell's editor is always open, and the
// cells are reached with Tab like ordinary text fields. Opens the editors
// for `rows` rows, each showing `texts`[row], named for a screen reader as
// the grid is, with the row's number when there are several.
void OpenNameEditors(QTableWidget* grid, LiveEditDelegate* delegate, const QStringList& texts);

// The text of a name grid's row as it stands in its open editor.
QString NameEditorText(const QTableWidget* grid, int row);
QLineEdit* NameEditor(const QTableWidget* grid, int row);

}  // namespace kelvo::ui
