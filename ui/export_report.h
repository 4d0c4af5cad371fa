// Export report: the sections to export, chosen in a list; then a save dialog
// whose file types choose the format (PDF, OpenDocument text, Markdown,
// LaTeX, CSV, HTML, text); then the report is written off the window's
// thread, with a progress dialog whose Cancel stops it, into a file that is
// replaced only as a whole. The output options of Specify output are not
// touched.
#pragma once

#include <QDialog>
#include <QString>
#include <atomic>
#include <functional>
#include <memory>
#include <vector>

#include "report_format.h"
#include "table_set.h"
#include "warnings.h"

class QCheckBox;
class QGroupBox;
class QProgressDialog;
class QPushButton;
class QThread;

namespace kelvo::ui {

// A file chosen for the export and its format; an empty path when cancelled.
struct ExportTarget {
    QString path;
    kelvo::ReportFormat format = kelvo::ReportFormat::Pdf;
};

class TExportReport : public QDialog {
    Q_OBJECT
public:
    TExportReport(TableSet& ts, WarningSink& warnings, QWidget* parent = nullptr);
    ~TExportReport() override;

    QGroupBox* Sections;  // " Sections "
    // A check box per section that can be exported, by OutputSection.
    std::vector<std::pair<kelvo::OutputSection, QCheckBox*>> SectionBoxes;
    QPushButton* ExportButton;
    QPushButton* CancelButton;

    struct Seams {
        // The save dialog; by default a file dialog with a filter per format.
        std::function<ExportTarget()> chooseFile;
        // A failed export's text (an I/O error); by default the error box.
        std::function<void(const QString&)> showError;
        // Fits the odds-ratio model when it is chosen and not current; false
        // when it was refused or cancelled (then nothing is exported).
        std::function<bool()> fitOddsRatios;
    };
    Seams seams;

    // The sections chosen, by OutputSection.
    kelvo::SectionChoice ChosenSections() const;
    // Whether an export is running.
    bool Exporting() const { return m_worker != nullptr; }
    // Asks the running export to stop.
    void CancelExport();

    // The file dialog's filter of each format, in the order offered.
    static QStringList Filters();
    static kelvo::ReportFormat FormatOfFilter(const QString& filter);

signals:
    // An export has ended: written, or not (failed or cancelled).
    void exportFinished(bool written);

public slots:
    void FormActivate();
    void ExportButtonClick();
    // Starts writing the report of the chosen sections to `target`.
    void Export(const ExportTarget& target);

protected:
    void reject() override;

private:
    ExportTarget ChooseFile();
    void Finished();
    TableSet& m_ts;
    QThread* m_worker = nullptr;
    QProgressDialog* m_progress = nullptr;
    std::shared_ptr<std::atomic<bool>> m_cancelled;
    std::shared_ptr<QString> m_error;  // of the running export: empty when it succeeded
};

}  // namespace kelvo::ui
