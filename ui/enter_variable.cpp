#include "enter_variable.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "clamping_spin_box.h"
#include "window_support.h"

namespace kelvo::ui {

TEnterVariable::TEnterVariable(TableSet& ts, WarningSink& warnings, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint), m_ts(ts), m_warnings(warnings) {
    setObjectName("EnterVariable");
    setWindowTitle(" Enter variable");
    ApplyWindowColors(this);

    Label1 = new QLabel("&Name", this);
    Label1->setObjectName("Label1");
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName("Edit1");
    Edit1->setMaxLength(MaxNameLength);
    // Room for a name of 12 wide letters.
    Edit1->setMinimumWidth(Edit1->fontMetrics().horizontalAdvance(QString(MaxNameLength, u'W')) + 16);
    Label1->setBuddy(Edit1);

    Label2 = new QLabel("&Categories", this);
    Label2->setObjectName("Label2");
    SpinEdit1 = new ClampingSpinBox(this);
    SpinEdit1->setObjectName("SpinEdit1");
    SpinEdit1->setRange(2, MaxCategories);
    SpinEdit1->setValue(2);
    Label2->setBuddy(SpinEdit1);

    OKButton = new QPushButton("&OK", this);
    OKButton->setObjectName("OKButton");
    OKButton->setDefault(true);
    connect(OKButton, &QPushButton::clicked, this, &TEnterVariable::OKButtonClick);

    auto* layout = new QGridLayout(this);
    layout->addWidget(Label1, 0, 0);
    layout->addWidget(Edit1, 0, 1);
    layout->addWidget(Label2, 1, 0);
    layout->addWidget(SpinEdit1, 1, 1);
    layout->addWidget(OKButton, 2, 1, Qt::AlignRight);
    layout->setColumnMinimumWidth(1, 140);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TEnterVariable::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    CenterOnScreen(this);
    FormActivate();
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
