#include "edit_variable.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <vector>

#include "grid_cells.h"
#include "window_support.h"

namespace kelvo::ui {

namespace {

// Keeps a grid's item text equal to what its open editor shows.
void FollowEditors(QTableWidget* grid, LiveEditDelegate* delegate) {
    QObject::connect(delegate, &LiveEditDelegate::cellTextEdited, grid,
                     [grid](const QModelIndex& index, const QString& text) {
                         if (QTableWidgetItem* item = grid->item(index.row(), index.column())) item->setText(text);
                     });
}

}  // namespace

TEditVariable::TEditVariable(TableSet& ts, WarningSink& warnings, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint), m_ts(ts), m_warnings(warnings) {
    setObjectName("EditVariable");
    setWindowTitle(" Edit variable");
    ApplyWindowColors(this);

    Label2 = new QLabel("Variable", this);
    Label2->setObjectName("Label2");
    tab1 = new QTableWidget(this);
    tab1->setObjectName("tab1");
    SetUpColumnGrid(tab1, 1);
    tab1->setFocusPolicy(Qt::NoFocus);
    m_nameDelegate = new LiveEditDelegate(tab1);
    tab1->setItemDelegate(m_nameDelegate);
    FollowEditors(tab1, m_nameDelegate);

    Label1 = new QLabel("Categories", this);
    Label1->setObjectName("Label1");
    Tab2 = new QTableWidget(this);
    Tab2->setObjectName("Tab2");
    SetUpColumnGrid(Tab2, MaxCategories);
    Tab2->setFocusPolicy(Qt::NoFocus);
    m_categoryDelegate = new LiveEditDelegate(Tab2);
    Tab2->setItemDelegate(m_categoryDelegate);
    FollowEditors(Tab2, m_categoryDelegate);

    OKButton = new QPushButton("&OK", this);
    OKButton->setObjectName("OKButton");
    OKButton->setAutoDefault(false);
    connect(OKButton, &QPushButton::clicked, this, &TEditVariable::OKButtonClick);

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
}

void TEditVariable::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    CenterOnScreen(this);
    FormActivate();
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
