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

#include "window_support.h"

namespace kelvo::ui {

namespace {

// The client area as designed; it grows only when the font needs more room.
constexpr int ClientWidth = 253;
constexpr int ClientHeight = 340;

QCheckBox* MakeCheckBox(const char* name, const QString& caption, QWidget* parent) {
    auto* box = new QCheckBox(caption, parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setChecked(false);
    return box;
}

}  // namespace

TSpecifyOutput::TSpecifyOutput(TableSet& ts, WarningSink&, QWidget* parent)
    // No close box: only OK and Cancel leave the dialog.
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint), m_ts(ts) {
    setObjectName("SpecifyOutput");
    setWindowTitle(" Specify output");
    ApplyWindowColors(this);

    FileType = new QGroupBox(" Output file type ", this);
    FileType->setObjectName("FileType");
    FileTypeHtml = new QRadioButton("HTML file", FileType);
    FileTypeHtml->setObjectName("FileTypeHtml");
    FileTypeText = new QRadioButton("Text file", FileType);
    FileTypeText->setObjectName("FileTypeText");
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

    Label1 = new QLabel("Output file name", this);
    Label1->setObjectName("Label1");
    Edit1 = new QLineEdit("Edit1", this);
    Edit1->setObjectName("Edit1");
    Label1->setBuddy(Edit1);

    GroupBox1 = new QGroupBox(" Type of output ", this);
    GroupBox1->setObjectName("GroupBox1");
    CheckTables = MakeCheckBox("CheckTables", "All tables", GroupBox1);
    CheckCoeff = MakeCheckBox("CheckCoeff", "Coefficients", GroupBox1);
    CheckErrors = MakeCheckBox("CheckErrors", "Standard errors", GroupBox1);
    CheckEnhanced = MakeCheckBox("CheckEnhanced", "Enhanced coefficients (HTML only)", GroupBox1);
    // After the four standard sections: the summary and the charts.
    CheckSummary = MakeCheckBox("CheckSummary", "Model summary", GroupBox1);
    CheckCharts = MakeCheckBox("CheckCharts", "Coefficient charts (HTML only)", GroupBox1);
    auto* boxes = new QVBoxLayout(GroupBox1);
    for (QCheckBox* box : {CheckTables, CheckCoeff, CheckErrors, CheckEnhanced, CheckSummary, CheckCharts})
        boxes->addWidget(box);

    OKButton = new QPushButton("&OK", this);
    OKButton->setObjectName("OKButton");
    CancelButton = new QPushButton("&Cancel", this);
    CancelButton->setObjectName("CancelButton");
    // Neither button is the default: Enter in the name field does nothing.
    for (QPushButton* button : {OKButton, CancelButton}) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }
    connect(OKButton, &QPushButton::clicked, this, &TSpecifyOutput::OKButtonClick);
    connect(CancelButton, &QPushButton::clicked, this, &TSpecifyOutput::CancelButtonClick);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(OKButton);
    buttons->addStretch(1);
    buttons->addWidget(CancelButton);
    buttons->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 12, 16, 12);
    layout->addWidget(FileType);
    layout->addSpacing(8);
    layout->addWidget(Label1);
    layout->addWidget(Edit1);
    layout->addSpacing(8);
    layout->addWidget(GroupBox1);
    layout->addStretch(1);
    layout->addLayout(buttons);

    setTabOrder(FileTypeHtml, FileTypeText);
    setTabOrder(FileTypeText, Edit1);
    setTabOrder(Edit1, CheckTables);
    setTabOrder(CheckTables, CheckCoeff);
    setTabOrder(CheckCoeff, CheckErrors);
    setTabOrder(CheckErrors, CheckEnhanced);
    setTabOrder(CheckEnhanced, CheckSummary);
    setTabOrder(CheckSummary, CheckCharts);
    setTabOrder(CheckCharts, OKButton);
    setTabOrder(OKButton, CancelButton);
    setFixedSize(QSize(ClientWidth, ClientHeight).expandedTo(sizeHint()));
}

void TSpecifyOutput::showEvent(QShowEvent* event) {
    FormActivate();
    QDialog::showEvent(event);
    CenterOnScreen(this);
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
