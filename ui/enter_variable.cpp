#include "enter_variable.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "clamping_spin_box.h"
#include "dialog_frame.h"
#include "names_and_paths.h"
#include "typed_names.h"

namespace kelvo::ui {

TEnterVariable::TEnterVariable(TableSet& ts, WarningSink& warnings, QWidget* parent)
    : QDialog(parent, TitleBarOnly), m_ts(ts), m_warnings(warnings) {
    SetUpDialog(this, "EnterVariable", " Enter variable");

    Label1 = Named<QLabel>(this, "Label1", "&Name");
    Edit1 = Named<QLineEdit>(this, "Edit1");
    Edit1->setMaxLength(MaxNameLength);
    // Room for a name of 12 wide letters.
    Edit1->setMinimumWidth(Edit1->fontMetrics().horizontalAdvance(QString(MaxNameLength, u'W')) + 16);
    Label1->setBuddy(Edit1);

    Label2 = Named<QLabel>(this, "Label2", "&Categories");
    SpinEdit1 = Named<ClampingSpinBox>(this, "SpinEdit1");
    SpinEdit1->setRange(2, MaxCategories);
    SpinEdit1->setValue(2);
    Label2->setBuddy(SpinEdit1);

    OKButton = AddButton(this, "OKButton", "&OK", PressedByEnter::Always, &TEnterVariable::OKButtonClick);

    auto* layout = new QGridLayout(this);
    layout->addWidget(Label1, 0, 0);
    layout->addWidget(Edit1, 0, 1);
    layout->addWidget(Label2, 1, 0);
    layout->addWidget(SpinEdit1, 1, 1);
    layout->addWidget(OKButton, 2, 1, Qt::AlignRight);
    layout->setColumnMinimumWidth(1, 140);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    CenterOnEveryShowing(this, [this] { FormActivate(); });
}

void TEnterVariable::FormActivate() { Edit1->setFocus(); }

void TEnterVariable::OKButtonClick() {
    SpinEdit1->interpretText();
    if (Edit1->text().isEmpty()) return;
    const auto name = StoredName(Edit1->text(), m_warnings);
    if (!name) return;
    if (!AcceptVariableName(m_ts, *name, ReplacedVariable, m_warnings)) return;
    accept();
}

void TEnterVariable::Propose(const VariableEntry& proposal, int replaced) {
    Edit1->setText(FromName(proposal.name));
    SpinEdit1->setValue(proposal.categories);
    ReplacedVariable = replaced;
}

VariableEntry TEnterVariable::Entered() const {
    SpinEdit1->interpretText();
    // OK accepts only names that have a Latin-1 form; Edit1 holds at most 12.
    return {ToName(Edit1->text()).value_or(std::string()).substr(0, MaxNameLength), SpinEdit1->value()};
}

VariableEntry TEnterVariable::Ask(const VariableEntry& proposal, int replaced) {
    Propose(proposal, replaced);
    exec();
    return Entered();
}

void TEnterVariable::reject() {}

}  // namespace kelvo::ui
