// Every window of the desktop program, created once at start-up in a fixed
// order and kept until the program ends, and the wiring of the windows to one
// another. A window reaches the windows it opens only through its `seams`
// (tests replace them); this is the one place where they are connected. A new
// window is created in the constructor at its place in the order and wired in
// Wire().
#pragma once

#include <filesystem>
#include <memory>

#include "warnings.h"

namespace kelvo {
struct TableSet;
}

namespace kelvo::ui {

class TMain;
class TWarningMessage;
class TConfirmMessage;
class TAbout;
class HelpViewer;
class TEditVariables;
class TEditVariable;
class TEditTable;
class TCreateVariables;
class TEnterVariable;
class TSelectModel;
class TCheckResults;
class TDisplayResults;
class TSpecifyOutput;
class TModelSummary;
class TCoefficientChart;
class TImportRecords;
class TOddsRatios;
class TExportReport;
class Recovery;

class AppWindows {
public:
    // Recovery journals are kept in `recoveryFolder`; without one, none.
    explicit AppWindows(kelvo::TableSet& ts, const std::filesystem::path& recoveryFolder = {});
    ~AppWindows();
    AppWindows(const AppWindows&) = delete;
    AppWindows& operator=(const AppWindows&) = delete;

    TMain& Main() { return *m_main; }
    TWarningMessage& WarningMessage() { return *m_warningMessage; }
    TConfirmMessage& ConfirmMessage() { return *m_confirmMessage; }
    TAbout& About() { return *m_about; }
    HelpViewer& Help() { return *m_help; }
    TSelectModel& SelectModel() { return *m_selectModel; }
    TCheckResults& CheckResults() { return *m_checkResults; }
    TDisplayResults& DisplayResults() { return *m_displayResults; }
    TSpecifyOutput& SpecifyOutput() { return *m_specifyOutput; }
    TModelSummary& ModelSummary() { return *m_modelSummary; }
    TCoefficientChart& CoefficientChart() { return *m_coefficientChart; }
    TImportRecords& ImportRecords() { return *m_importRecords; }
    TOddsRatios& OddsRatios() { return *m_oddsRatios; }
    TExportReport& ExportReport() { return *m_exportReport; }
    Recovery& RecoveryJournal() { return *m_recovery; }
    // The warning sink that every window reports through (the notice).
    kelvo::WarningSink& Warnings() { return m_warnings; }

private:
    // The main window is created before the notice; its warnings reach the
    // notice through this relay.
    class WarningRelay : public kelvo::WarningSink {
    public:
        void ShowWarning(const std::string& text) override {
            if (target != nullptr) target->ShowWarning(text);
        }
        kelvo::WarningSink* target = nullptr;
    };

    void Wire();

    kelvo::TableSet& m_ts;
    WarningRelay m_warnings;
    // In creation order; destroyed in reverse, so the dialogs go before the
    // main window that is their parent.
    std::unique_ptr<TMain> m_main;
    std::unique_ptr<TWarningMessage> m_warningMessage;
    std::unique_ptr<TConfirmMessage> m_confirmMessage;
    std::unique_ptr<TEditVariables> m_editVariables;
    std::unique_ptr<TEditVariable> m_editVariable;
    std::unique_ptr<TEditTable> m_editTable;
    std::unique_ptr<TSelectModel> m_selectModel;
    std::unique_ptr<TCheckResults> m_checkResults;
    std::unique_ptr<TDisplayResults> m_displayResults;
    std::unique_ptr<TSpecifyOutput> m_specifyOutput;
    std::unique_ptr<TAbout> m_about;
    std::unique_ptr<TCreateVariables> m_createVariables;
    std::unique_ptr<TEnterVariable> m_enterVariable;
    std::unique_ptr<HelpViewer> m_help;
    // The windows added to the original ones, after them.
    std::unique_ptr<TModelSummary> m_modelSummary;
    std::unique_ptr<TCoefficientChart> m_coefficientChart;
    std::unique_ptr<TImportRecords> m_importRecords;
    std::unique_ptr<TOddsRatios> m_oddsRatios;
    std::unique_ptr<TExportReport> m_exportReport;
    std::unique_ptr<Recovery> m_recovery;
};

}  // namespace kelvo::ui
