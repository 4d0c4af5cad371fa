// The output options: report type, report file name and sections. OK stores
// them in the table set's report settings; the main window's Specify output
// command then writes the report.
#pragma once

#include <QDialog>

#include "table_set.h"
#include "warnings.h"

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace kelvo::ui {

class TSpecifyOutput : public QDialog {
    Q_OBJECT
public:
    TSpecifyOutput(TableSet& ts, WarningSink& warnings, QWidget* parent = nullptr);

    QGroupBox* FileType;         // radio group " Output file type "
    QRadioButton* FileTypeHtml;  // item 0, "HTML file"
    QRadioButton* FileTypeText;  // item 1, "Text file"
    QLabel* Label1;              // "Output file name"
    QLineEdit* Edit1;
    QGroupBox* GroupBox1;  // " Type of output "
    QCheckBox* CheckTables;
    QCheckBox* CheckCoeff;
    QCheckBox* CheckErrors;
    QCheckBox* CheckEnhanced;
    QCheckBox* CheckSummary;   // "Model summary"
    QCheckBox* CheckCharts;    // "Coefficient charts (HTML only)"
    QCheckBox* CheckOddsRatios;  // "Odds ratios"
    QPushButton* OKButton;
    QPushButton* CancelButton;

    // The chosen item of FileType: -1 before the first showing, then 0
    // (HTML) or 1 (text). Choosing another item runs FileTypeClick.
    int FileTypeIndex() const;
    void SetFileTypeIndex(int index);

public slots:
    void OKButtonClick();
    void FormActivate();
    void FileTypeClick();
    void CancelButtonClick();
    // Escape does nothing: only OK and Cancel close the dialog.
    void reject() override;

private:
    TableSet& m_ts;
    QButtonGroup* m_fileTypeItems;
};

}  // namespace kelvo::ui
