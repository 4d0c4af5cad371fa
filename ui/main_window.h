// The main window: the current file, the menu and every command of the
// program. Each command checks the state flags of the table set and either
// works on the table set itself or opens one of the other windows.
#pragma once

#include <QLabel>
#include <QMainWindow>
#include <QString>
#include <functional>

class QAction;
class QFileDialog;
class QFrame;
class QMenu;

namespace kelvo {
struct TableSet;
class WarningSink;
}  // namespace kelvo

namespace kelvo::ui {

// A label that shows a long path shortened in the middle ("/home/.../x.tbl")
// while text() keeps the whole path; the tooltip shows it in full.
class PathLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;
    void setPath(const QString& path);

protected:
    void paintEvent(QPaintEvent* event) override;
};

class TMain : public QMainWindow {
    Q_OBJECT
public:
    // How the main window reaches every other window. The commands call
    // these and nothing else, so that the windows can be wired in one place
    // (AppWindows) and replaced in tests. An empty function does nothing
    // (showSpecifyOutput then counts as cancelled).
    struct Seams {
        // The file dialogs: the chosen path, or an empty text when cancelled.
        std::function<QString()> chooseCreateFile;
        std::function<QString()> chooseOpenFile;
        std::function<QString()> chooseImportFile;  // a CSV file of records
        // The modal windows of the commands.
        std::function<void()> showCreateVariables;  // variable list editor
        std::function<void()> showEditVariables;    // variable chooser
        std::function<void()> showEditTable;        // table editor
        std::function<void()> showSelectModel;      // model selection
        std::function<void()> showDisplayResults;   // results browser
        std::function<void()> showModelSummary;     // model summary
        std::function<void()> showOddsRatios;       // odds-ratio model
        // Fits the odds-ratio model for a report that shows it: true when
        // it is current afterwards (not refused, not cancelled).
        std::function<bool()> fitOddsRatios;
        std::function<bool()> showSpecifyOutput;    // output options; true when accepted with OK
        std::function<void()> showExportReport;     // the export of the report
        // The import of the CSV file at the path: the table-set file it
        // wrote, or an empty text when none.
        std::function<QString(const QString&)> showImportRecords;
        std::function<void()> showAbout;
        std::function<void()> showHelp;
        // Writes the report file as the accepted output options say; throws
        // IoError.
        std::function<void(const kelvo::TableSet&)> writeReport;
        // The standard error box for a failed file operation.
        std::function<void(const QString&)> showError;
        // The recovery journal: the table set has changed; it has been
        // written to its file; the journal of the file at the path just
        // read is offered (true when recovered); the journals left by
        // earlier runs are offered at start-up (true when one was
        // recovered).
        std::function<void()> tableSetChanged;
        std::function<void()> tableSetSaved;
        std::function<bool(const QString&)> offerRecovery;
        std::function<bool()> offerRecoveryAtStartUp;
        // One file in one KELVO: before a file becomes the open table set
        // it is claimed (false: another KELVO has it open, which has been
        // said, and nothing is opened); when the command ends, the claim
        // is settled, whether the file was opened or not.
        std::function<bool(const QString&)> claimFile;
        std::function<void()> claimSettled;
        // Before Save writes: an editor that is open stores what it shows
        // and has not stored yet.
        std::function<void()> storeOpenEdits;
    };

    TMain(kelvo::TableSet& ts, kelvo::WarningSink& warnings, QWidget* parent = nullptr);
    ~TMain() override;

    Seams seams;

    // The two file dialogs, built on first use and then reused.
    QFileDialog* OpenDialog1();
    QFileDialog* CreateDialog();
    QFileDialog* ImportDialog();

    // Components.
    QLabel* Label1 = nullptr;
    QFrame* Panel1 = nullptr;
    QLabel* Label2 = nullptr;
    PathLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label5 = nullptr;
    // Below the panel, each shown only while it applies: changes recovered
    // from a journal that are not in the file yet; journals that cannot be
    // written.
    QLabel* RecoveredLine = nullptr;
    QLabel* JournalLine = nullptr;

    QMenu* ReadKELVOfile1 = nullptr;  // "File"
    QAction* CreateKELVOFile1 = nullptr;
    QAction* ReadKELVOFile2 = nullptr;
    QAction* Save1 = nullptr;  // "Save", Ctrl+S
    QAction* ImportRecords1 = nullptr;  // "Import records..."
    QAction* N2 = nullptr;
    QAction* Exit1 = nullptr;
    QMenu* Edit1 = nullptr;
    QAction* Editvariables1 = nullptr;
    QAction* Edittables1 = nullptr;
    QMenu* Model1 = nullptr;
    QAction* Specifymodel1 = nullptr;
    QAction* Displayresults1 = nullptr;
    QAction* Modelsummary1 = nullptr;  // after the original menu items
    QAction* Oddsratios1 = nullptr;
    QMenu* Output1 = nullptr;
    QAction* Specifyoutput1 = nullptr;
    QAction* Exportreport1 = nullptr;  // "Export report...", after the original menu item
    QMenu* Help1 = nullptr;
    QAction* Kelvohelp1 = nullptr;
    QAction* AboutKELVO1 = nullptr;

    // Reads the table-set file at `path` as Read KELVO file does once its
    // dialog has given a file: a modified table set is written first,
    // warnings go to the notice, and a failure shows the error box and
    // leaves everything as it was. The start-up uses it for a file named on
    // the command line.
    void ReadKELVOFile(const QString& path);
    // The start-up without a file: offers the unsaved changes that an
    // earlier run left in its recovery journals.
    void OfferRecovery();
    // Shows why journals cannot be written, or, with an empty text, that
    // they can again.
    void ShowJournalProblem(const QString& problem);

public slots:
    void FormCreate();
    void CreateKELVOFile1Click();
    void ReadKELVOFile2Click();
    void Save1Click();
    void ImportRecords1Click();
    void Exit1Click();
    void Editvariables1Click();
    void Edittables1Click();
    void Specifymodel1Click();
    void Displayresults1Click();
    void Modelsummary1Click();
    void Oddsratios1Click();
    void Specifyoutput1Click();
    void Exportreport1Click();
    void AboutKELVO1Click();
    void Kelvohelp1Click();

protected:
    // Closing the window in any way (Exit, the close box, the window menu)
    // first writes a modified table set; when that fails the window stays.
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void BuildControls();
    // Runs a file dialog: the chosen path, or an empty text when cancelled.
    // With existingAsTyped, a name typed without ".tbl" that exists as typed
    // is taken as it is.
    QString ChosenFile(QFileDialog* dialog, bool existingAsTyped);
    void BuildMenu();
    // Writes the table set when it is modified. False after a failed write,
    // whose error has then been shown.
    bool WriteIfModified();
    // Writes the table set to its file; throws IoError.
    void WriteAndForgetJournal();
    // Whether the results are those of the stored model; when not, says so
    // in a warning.
    bool ResultsOfTheModel();
    // Runs a command; an I/O failure that escapes it is shown in the error box.
    void RunCommand(const std::function<void()>& command);
    void ShowError(const QString& text);
    void ShowFileLabels();
    // The recovered table set is (true) or is no longer (false) on screen
    // with changes that are not in its file.
    void ShowRecovered(bool recovered);
    // Reads the file at `path` into the table set and shows it in the
    // labels; a failure is shown, leaving the table set and its names as
    // they were. A file that another KELVO has open is not read.
    void ReadChosenFile(const QString& path);
    bool ClaimFile(const QString& path);

    kelvo::TableSet& m_ts;
    kelvo::WarningSink& m_warnings;
    QFileDialog* m_openDialog = nullptr;
    QFileDialog* m_createDialog = nullptr;
    QFileDialog* m_importDialog = nullptr;
    bool m_centred = false;
};

}  // namespace kelvo::ui
