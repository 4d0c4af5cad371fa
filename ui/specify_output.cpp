#include "specify_output.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "dialog_frame.h"
#include "names_and_paths.h"

namespace kelvo::ui {

namespace {

// The client area as designed; it grows only when the font needs more room.
constexpr int ClientWidth = 253;
constexpr int ClientHeight = 340;

QCheckBox* MakeCheckBox(const char* name, const QString& caption, QWidget* parent) {
    auto* box = Named<QCheckBox>(parent, name, caption);
    box->setChecked(false);
    return box;
}

}  // namespace

TSpecifyOutput::TSpecifyOutput(TableSet& ts, WarningSink&, QWidget* parent)
    // No close box: only OK and Cancel leave the dialog.
    : QDialog(parent, TitleBarOnly), m_ts(ts) {
    SetUpDialog(this, "SpecifyOutput", " Specify output");

    FileType = Named<QGroupBox>(this, "FileType", " Output file type ");
    FileTypeHtml = Named<QRadioButton>(FileType, "FileTypeHtml", "HTML file");
    FileTypeText = Named<QRadioButton>(FileType, "FileTypeText", "Text file");
    m_fileTypeItems = new QButtonGroup(this);
    m_fileTypeItems->addButton(FileTypeHtml, 0);
    m_fileTypeItems->addButton(FileTypeText, 1);
    // The button group needs no chosen item until the first showing.
    m_fileTypeItems->setExclusive(true);
    connect(m_fileTypeItems, &QButtonGroup::idToggled, this, [this](int, bool checked) {
        if (checked) FileTypeClick();
    });
    auto* items = new QVBoxLayout(FileType);
    items->addWidget(FileTypeHtml);
    items->addWidget(FileTypeText);

    Label1 = Named<QLabel>(this, "Label1", "Output file name");
    Edit1 = Named<QLineEdit>(this, "Edit1", "Edit1");
    Label1->setBuddy(Edit1);

    GroupBox1 = Named<QGroupBox>(this, "GroupBox1", " Type of output ");
    CheckTables = MakeCheckBox("CheckTables", "All tables", GroupBox1);
    CheckCoeff = MakeCheckBox("CheckCoeff", "Coefficients", GroupBox1);
    CheckErrors = MakeCheckBox("CheckErrors", "Standard errors", GroupBox1);
    CheckEnhanced = MakeCheckBox("CheckEnhanced", "Enhanced coefficients (HTML only)", GroupBox1);
    // After the four standard sections: the summary, the charts and the
    // odds ratios.
    CheckSummary = MakeCheckBox("CheckSummary", "Model summary", GroupBox1);
    CheckCharts = MakeCheckBox("CheckCharts", "Coefficient charts (HTML only)", GroupBox1);
    CheckOddsRatios = MakeCheckBox("CheckOddsRatios", "Odds ratios", GroupBox1);
    auto* boxes = new QVBoxLayout(GroupBox1);
    for (QCheckBox* box : {CheckTables, CheckCoeff, CheckErrors, CheckEnhanced, CheckSummary, CheckCharts, CheckOddsRatios})
        boxes->addWidget(box);

    // Neither button is the default: Enter in the name field does nothing.
    OKButton = AddButton(this, "OKButton", "&OK", PressedByEnter::Never, &TSpecifyOutput::OKButtonClick);
    CancelButton =
        AddButton(this, "CancelButton", "&Cancel", PressedByEnter::Never, &TSpecifyOutput::CancelButtonClick);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 12, 16, 12);
    layout->addWidget(FileType);
    layout->addSpacing(8);
    layout->addWidget(Label1);
    layout->addWidget(Edit1);
    layout->addSpacing(8);
    layout->addWidget(GroupBox1);
    layout->addStretch(1);
    layout->addLayout(ButtonRow({OKButton, CancelButton}, RowPlacement::Spread));

    SetTabOrder({FileTypeHtml, FileTypeText, Edit1, CheckTables, CheckCoeff, CheckErrors, CheckEnhanced, CheckSummary,
                 CheckCharts, CheckOddsRatios, OKButton, CancelButton});
    FixClientSize(this, {ClientWidth, ClientHeight});
    CenterOnEveryShowing(this, [this] { FormActivate(); }, Activation::BeforePlacing);
}

int TSpecifyOutput::FileTypeIndex() const {
    return m_fileTypeItems->checkedId();
}

void TSpecifyOutput::SetFileTypeIndex(int index) {
    if (QAbstractButton* item = m_fileTypeItems->button(index)) item->setChecked(true);
}

void TSpecifyOutput::FormActivate() {
    SetFileTypeIndex(0);
    // Set after the type: whatever FileTypeClick made of the old name, the
    // proposal is the table set's base name.
    Edit1->setText(FromPath(m_ts.FileBaseName) + ".html");
    FileTypeHtml->setFocus();
}

void TSpecifyOutput::FileTypeClick() {
    const QString text = Edit1->text();
    const qsizetype dot = text.indexOf(u'.');
    // The text before the first "."; a name without any "." keeps nothing.
    const QString base = dot < 0 ? QString() : text.left(dot);
    const int index = FileTypeIndex();
    if (index == 0)
        Edit1->setText(base + ".html");
    else if (index == 1)
        Edit1->setText(base + ".txt");
}

void TSpecifyOutput::OKButtonClick() {
    m_ts.OutputSections.fill(false);
    m_ts.OutputSections[SectionTables] = CheckTables->isChecked();
    m_ts.OutputSections[SectionCoefficients] = CheckCoeff->isChecked();
    m_ts.OutputSections[SectionErrors] = CheckErrors->isChecked();
    m_ts.OutputSections[SectionEnhanced] = CheckEnhanced->isChecked();
    m_ts.OutputSections[SectionSummary] = CheckSummary->isChecked();
    m_ts.OutputSections[SectionCharts] = CheckCharts->isChecked();
    m_ts.OutputSections[SectionOddsRatios] = CheckOddsRatios->isChecked();
    // Used as typed: a relative name is relative to the current directory.
    m_ts.ReportFileName = ToPath(Edit1->text()).string();
    m_ts.ReportType = static_cast<std::uint8_t>(FileTypeIndex());
    m_ts.OutputAccepted = true;
    done(QDialog::Accepted);
}

void TSpecifyOutput::CancelButtonClick() {
    m_ts.OutputAccepted = false;
    done(QDialog::Rejected);
}

void TSpecifyOutput::reject() {}

}  // namespace kelvo::ui
