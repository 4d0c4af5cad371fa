// The import of record-level data from a CSV file: a preview of the file's
// columns (their number of distinct values and first categories), a check box
// per column to make it a variable, a weight column, and the import itself.
// Reading the file runs on a thread of its own with a progress bar and a
// Cancel button, so that a large file never freezes the window; a cancelled
// or refused import writes nothing.
#pragma once

#include <QDialog>
#include <atomic>
#include <cstdint>
#include <exception>
#include <functional>

#include "csv_survey.h"
#include "warnings.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QTableWidget;

namespace kelvo::ui {

class TImportRecords : public QDialog {
    Q_OBJECT
public:
    struct Seams {
        // The save dialog for the new table-set file (the one of Create):
        // the chosen path, or an empty text when cancelled.
        std::function<QString()> chooseTableFile;
        // The standard error box for a failed file operation.
        std::function<void(const QString&)> showError;
    };

    // The columns of the preview grid.
    enum PreviewColumn { UseColumn, NameColumn, ValuesColumn, CategoriesColumn, NoteColumn };

    explicit TImportRecords(kelvo::WarningSink& warnings, QWidget* parent = nullptr);
    ~TImportRecords() override;

    Seams seams;

    // Reads the CSV file at `path` for the preview and shows the window
    // modally. Returns the path of the table-set file written, or an empty
    // text when nothing was (cancelled, or the file was refused).
    QString Run(const QString& path);

    QLabel* Label1;         // the file and its number of records
    QTableWidget* Columns;  // one row per column of the file
    QLabel* WeightLabel;
    QComboBox* WeightBox;   // "(none)" and the columns that hold whole numbers only; a
                            // column named like a count (Count, Freq, Weight, n) is chosen
    QCheckBox* TruncateBox; // cut names and values to 12 characters
    QProgressBar* ProgressBar;
    QPushButton* ImportButton;
    QPushButton* CancelButton;

    // The check box of column c (from 0) of the file.
    QCheckBox* UseBox(int c) const;
    const kelvo::CsvSurvey& Survey() const { return m_survey; }
    // Whether the file is being read now.
    bool Busy() const { return m_busy; }

public slots:
    // Reads the file at `path` and fills the preview; false (after its
    // message) when it is no CSV file of records.
    bool ReadPreview(const QString& path);
    // Asks where to save, imports the chosen columns and writes the file.
    void ImportButtonClick();
    // While reading: stops it. Otherwise closes the window.
    void CancelButtonClick();

protected:
    void reject() override;
    void showEvent(QShowEvent* event) override;

private:
    // Runs `work` on a thread of its own while the window goes on; its
    // progress reaches the progress bar. Throws on what `work` threw.
    void RunInBackground(const std::function<void(const kelvo::ReadProgress&)>& work);
    void ShowProgress();
    // An empty bar, with `text` in it (none when empty): how an import that
    // wrote nothing ended.
    void ShowOutcome(const QString& text);
    void FillPreview();
    // Keeps at most 16 boxes checked, the weight column's box cleared, and
    // the Import button enabled when 2 or more are checked.
    void UpdateChoices();
    // The error box, for a failed file operation or any other failure.
    void ShowError(const char* text);

    kelvo::WarningSink& m_warnings;
    QString m_path;
    QString m_written;
    kelvo::CsvSurvey m_survey;
    bool m_busy = false;
    std::atomic<bool> m_cancel{false};
    std::atomic<std::uint64_t> m_done{0};
    std::atomic<std::uint64_t> m_total{0};
};

}  // namespace kelvo::ui
