#include "app_windows.h"

#include "about.h"
#include "check_results.h"
#include "coefficient_chart.h"
#include "confirm_message.h"
#include "create_variables.h"
#include "display_results.h"
#include "edit_table.h"
#include "edit_variable.h"
#include "edit_variables.h"
#include "enter_variable.h"
#include "export_report.h"
#include "help_viewer.h"
#include "import_records.h"
#include "main_window.h"
#include "model_summary.h"
#include "names_and_paths.h"
#include "odds_ratio_fit.h"
#include "odds_ratios.h"
#include "recovery.h"
#include "report.h"
#include "select_model.h"
#include "specify_output.h"
#include "table_set.h"
#include "warning_message.h"

namespace kelvo::ui {

AppWindows::AppWindows(kelvo::TableSet& ts, const std::filesystem::path& recoveryFolder) : m_ts(ts) {
    // The start-up order of the windows.
    m_main = std::make_unique<TMain>(m_ts, m_warnings);
    QWidget* parent = m_main.get();
    m_warningMessage = std::make_unique<TWarningMessage>(parent);
    m_warnings.target = m_warningMessage.get();
    m_confirmMessage = std::make_unique<TConfirmMessage>(parent);
    m_editVariables = std::make_unique<TEditVariables>(m_ts, m_warnings, parent);
    m_editVariable = std::make_unique<TEditVariable>(m_ts, m_warnings, parent);
    m_editTable = std::make_unique<TEditTable>(m_ts, m_warnings, parent);
    m_selectModel = std::make_unique<TSelectModel>(m_ts, m_warnings, parent);
    m_checkResults = std::make_unique<TCheckResults>(m_ts, m_warnings, parent);
    m_displayResults = std::make_unique<TDisplayResults>(m_ts, m_warnings, parent);
    m_specifyOutput = std::make_unique<TSpecifyOutput>(m_ts, m_warnings, parent);
    m_about = std::make_unique<TAbout>(parent);
    m_createVariables = std::make_unique<TCreateVariables>(m_ts, m_warnings, parent);
    m_enterVariable = std::make_unique<TEnterVariable>(m_ts, m_warnings, parent);
    m_help = std::make_unique<HelpViewer>(parent);
    m_modelSummary = std::make_unique<TModelSummary>(m_ts, m_warnings, parent);
    m_coefficientChart = std::make_unique<TCoefficientChart>(m_ts, m_warnings, parent);
    m_importRecords = std::make_unique<TImportRecords>(m_warnings, parent);
    m_oddsRatios = std::make_unique<TOddsRatios>(m_ts, m_warnings, parent);
    m_exportReport = std::make_unique<TExportReport>(m_ts, m_warnings, parent);
    m_recovery = std::make_unique<Recovery>(m_ts, recoveryFolder);
    Wire();
}

AppWindows::~AppWindows() = default;

void AppWindows::Wire() {
    TMain::Seams& seams = m_main->seams;
    // The file dialogs and the error box are the main window's own (its
    // defaults stay).
    seams.showCreateVariables = [this] { m_createVariables->exec(); };
    seams.showEditVariables = [this] { m_editVariables->exec(); };
    seams.showEditTable = [this] { m_editTable->exec(); };
    seams.showSelectModel = [this] { m_selectModel->exec(); };
    seams.showDisplayResults = [this] { m_displayResults->exec(); };
    seams.showModelSummary = [this] { m_modelSummary->exec(); };
    seams.showOddsRatios = [this] { m_oddsRatios->exec(); };
    // A report with the odds ratios fits them first when they are not
    // current, as the odds-ratio window does.
    seams.fitOddsRatios = [this] {
        try {
            return FitOddsRatios(m_main.get(), m_ts);
        } catch (const kelvo::OddsRatioRefused& refusal) {
            m_warnings.ShowWarning(refusal.what());
            return false;
        }
    };
    // The import saves through the main window's Create dialog, with its
    // overwrite confirmation.
    seams.showImportRecords = [this](const QString& path) { return m_importRecords->Run(path); };
    // A file that another KELVO has open is not written over by the import.
    m_importRecords->seams.chooseTableFile = [this] {
        const QString path = m_main->seams.chooseCreateFile ? m_main->seams.chooseCreateFile() : QString();
        if (path.isEmpty() || !m_recovery->Claim(ToPath(path).string())) return QString();
        return path;
    };
    m_importRecords->seams.showError = seams.showError;
    seams.showSpecifyOutput = [this] {
        m_specifyOutput->exec();
        return m_ts.OutputAccepted;
    };
    seams.writeReport = kelvo::WriteReport;
    seams.showExportReport = [this] { m_exportReport->exec(); };
    m_exportReport->seams.fitOddsRatios = seams.fitOddsRatios;
    // After a successful estimation the model selection shows the prediction
    // check and then the results browser.
    m_selectModel->seams.showCheckResults = [this] { m_checkResults->exec(); };
    m_selectModel->seams.showDisplayResults = [this] { m_displayResults->exec(); };
    // The data entry windows open one another: the variable list editor the
    // new-variable entry, the variable editor and the table editor; the
    // variable chooser the variable editor.
    TCreateVariables::Seams& create = m_createVariables->seams;
    create.askVariable = [this](const VariableEntry& proposal, int replaced) {
        return m_enterVariable->Ask(proposal, replaced);
    };
    const auto showVariableEditor = [this](int v) {
        m_editVariable->EditedVariable = v;
        m_editVariable->exec();
    };
    create.showEditVariable = showVariableEditor;
    create.showEditTable = [this] { m_editTable->exec(); };
    m_editVariables->seams.showEditVariable = showVariableEditor;
    // The results browser opens the chart of its page's predictor, the
    // odds-ratio window the odds-ratio chart of its page.
    m_displayResults->seams.showChart = [this](int predictor) {
        m_coefficientChart->SetOddsRatios(false);
        m_coefficientChart->SetPredictor(predictor);
        m_coefficientChart->exec();
    };
    m_oddsRatios->seams.showChart = [this](int predictor, int category) {
        m_coefficientChart->SetOddsRatios(true, category);
        m_coefficientChart->SetPredictor(predictor);
        m_coefficientChart->exec();
    };
    // Every change of the table set reaches the recovery journal; a save
    // removes it; a read and the start-up offer what it kept.
    const auto changed = [this] { m_recovery->Changed(); };
    seams.tableSetChanged = changed;
    m_editTable->seams.changed = changed;
    m_editVariable->seams.changed = changed;
    m_editVariables->seams.changed = changed;
    create.changed = changed;
    seams.tableSetSaved = [this] { m_recovery->Saved(); };
    seams.offerRecovery = [this](const QString& path) { return m_recovery->OfferFor(ToPath(path).string()); };
    seams.offerRecoveryAtStartUp = [this] { return m_recovery->OfferAll(); };
    m_recovery->seams.ask = [this](const QString& question) { return AskRecovery(m_main.get(), question); };
    m_recovery->seams.showError = seams.showError;
    seams.claimFile = [this](const QString& path) { return m_recovery->Claim(ToPath(path).string()); };
    seams.claimSettled = [this] { m_recovery->Settle(); };
    // A journal that cannot be written is said in a line of the main window
    // and of the table editor, where the typing goes on undisturbed.
    m_recovery->seams.showProblem = [this](const QString& problem) {
        m_main->ShowJournalProblem(problem);
        m_editTable->ShowJournalProblem(problem);
    };
    // Save (Ctrl+S) from every window: the action of the main window's menu
    // belongs to each of them too. The names in an open variable editor are
    // stored first.
    for (QWidget* window : std::initializer_list<QWidget*>{
             m_warningMessage.get(), m_confirmMessage.get(), m_editVariables.get(), m_editVariable.get(),
             m_editTable.get(), m_selectModel.get(), m_checkResults.get(), m_displayResults.get(),
             m_specifyOutput.get(), m_about.get(), m_createVariables.get(), m_enterVariable.get(), m_help.get(),
             m_modelSummary.get(), m_coefficientChart.get(), m_importRecords.get(), m_oddsRatios.get(),
             m_exportReport.get()})
        window->addAction(m_main->Save1);
    seams.storeOpenEdits = [this] {
        if (m_editVariable->isVisible()) m_editVariable->StoreNames();
    };
    seams.showAbout = [this] { m_about->exec(); };
    seams.showHelp = [this] { m_help->ShowContents(); };
}

}  // namespace kelvo::ui
