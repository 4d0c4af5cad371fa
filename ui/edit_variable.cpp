#include "edit_variable.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <vector>

#include "dialog_frame.h"
#include "grid_cells.h"
#include "names_and_paths.h"
#include "typed_names.h"

namespace kelvo::ui {

namespace {

// Sets up a name grid of `rows` rows that takes no focus itself (its open
// editors do), and returns the delegate of its editors. The grid's item
// texts follow what the editors show.
LiveEditDelegate* SetUpNameGrid(QTableWidget* grid, int rows) {
    SetUpColumnGrid(grid, rows);
    grid->setFocusPolicy(Qt::NoFocus);
    auto* delegate = new LiveEditDelegate(grid);
    grid->setItemDelegate(delegate);
    QObject::connect(delegate, &LiveEditDelegate::cellTextEdited, grid,
                     [grid](const QModelIndex& index, const QString& text) {
                         if (QTableWidgetItem* item = grid->item(index.row(), index.column())) item->setText(text);
                     });
    return delegate;
}

}  // namespace

TEditVariable::TEditVariable(TableSet& ts, WarningSink& warnings, QWidget* parent)
    : QDialog(parent, TitleBarOnly), m_ts(ts), m_warnings(warnings) {
    SetUpDialog(this, "EditVariable", " Edit variable");

    Label2 = Named<QLabel>(this, "Label2", "Variable");
    tab1 = Named<QTableWidget>(this, "tab1");
    m_nameDelegate = SetUpNameGrid(tab1, 1);

    Label1 = Named<QLabel>(this, "Label1", "Categories");
    Tab2 = Named<QTableWidget>(this, "Tab2");
    m_categoryDelegate = SetUpNameGrid(Tab2, MaxCategories);
    tab1->setAccessibleName(Label2->text());
    Tab2->setAccessibleName(Label1->text());

    OKButton = AddButton(this, "OKButton", "&OK", PressedByEnter::Never, &TEditVariable::OKButtonClick);

    const int row = GridRowHeight(tab1);
    const int frame = 2 * tab1->frameWidth();
    tab1->setFixedSize(260, row + frame);
    Tab2->setFixedSize(260, MaxCategories * row + frame);

    auto* layout = new QGridLayout(this);
    layout->addWidget(Label2, 0, 0);
    layout->addWidget(tab1, 1, 0);
    layout->addWidget(Label1, 2, 0);
    layout->addWidget(Tab2, 3, 0);
    layout->addWidget(OKButton, 3, 1, Qt::AlignBottom);
    layout->setColumnMinimumWidth(1, 90);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    CenterOnEveryShowing(this, [this] { FormActivate(); });
}

void TEditVariable::FormActivate() {
    const int v = EditedVariable;
    m_variable = (v >= 1 && v <= m_ts.VariableCount && v <= MaxVariables) ? v : 0;
    const int n = m_variable != 0 ? std::min<int>(m_ts.CategoryCounts[m_variable], MaxCategories) : 0;

    OpenNameEditors(tab1, m_nameDelegate, {m_variable != 0 ? FromName(m_ts.VariableNames[m_variable]) : QString()});
    QStringList categories;
    for (int j = 1; j <= n; ++j) categories << FromName(m_ts.CategoryNames[m_variable][j]);
    OpenNameEditors(Tab2, m_categoryDelegate, categories);

    // Tab walks from the name through the categories to OK.
    QWidget* previous = NameEditor();
    for (int row = 0; row < n; ++row) {
        QWidget::setTabOrder(previous, CategoryEditor(row));
        previous = CategoryEditor(row);
    }
    QWidget::setTabOrder(previous, OKButton);
    NameEditor()->setFocus();
}

QLineEdit* TEditVariable::NameEditor() const { return kelvo::ui::NameEditor(tab1, 0); }

QLineEdit* TEditVariable::CategoryEditor(int row) const { return kelvo::ui::NameEditor(Tab2, row); }

void TEditVariable::OKButtonClick() {
    if (StoreNames()) accept();
}

bool TEditVariable::StoreNames() {
    if (NameEditorText(tab1, 0).isEmpty()) return false;
    if (m_variable == 0) return true;
    // Every name is checked before anything is stored, so a refused name
    // leaves the table set untouched and the window open with all the text.
    const auto name = StoredName(NameEditorText(tab1, 0), m_warnings);
    if (!name) return false;
    std::vector<std::string> categories;
    for (int row = 0; row < Tab2->rowCount(); ++row) {
        const auto category = StoredName(NameEditorText(Tab2, row), m_warnings);
        if (!category) return false;
        categories.push_back(*category);
    }
    if (!AcceptVariableName(m_ts, *name, m_variable, m_warnings)) return false;

    m_ts.VariableNames[m_variable] = *name;
    for (int j = 1; j <= static_cast<int>(categories.size()); ++j) m_ts.CategoryNames[m_variable][j] = categories[j - 1];
    if (seams.changed) seams.changed();
    return true;
}

void TEditVariable::reject() {}

}  // namespace kelvo::ui
