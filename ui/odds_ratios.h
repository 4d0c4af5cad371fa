// The odds-ratio window: the loglinear model with every two-way association
// of the selected model, fitted from the pair tables when the window opens
// (whether or not the linear model was singular). It shows the tests of the
// associations with the dependent variable, and, a predictor per page, the
// odds ratios of one dependent category (chosen in a list) against the first,
// the significant ones in bold; the notes say what could not be estimated.
#pragma once

#include <QDialog>
#include <cstdint>
#include <functional>
#include <optional>

#include "model_results.h"
#include "output_model.h"
#include "table_set.h"
#include "warnings.h"

class QComboBox;
class QLabel;
class QPushButton;

namespace kelvo::ui {

class OutputGrid;

// A joint table larger than this is fitted on a thread of its own, behind a
// progress bar with Cancel; a smaller one on the calling thread.
inline constexpr std::int64_t OddsRatioBackgroundCells = 1'000'000;

// Fits the odds-ratio model of the table set's selection into ts.OddsRatios
// unless the one there is current: true when it is current afterwards, false
// when the fit was cancelled (ts.OddsRatios is then as it was). Throws
// OddsRatioRefused for a model that cannot be fitted (too large, tables that
// disagree, no cases), and whatever else the fit throws.
bool FitOddsRatios(QWidget* parent, TableSet& ts, std::int64_t backgroundCells = OddsRatioBackgroundCells);

class TOddsRatios : public QDialog {
    Q_OBJECT
public:
    // Refusals and failures are shown in the window itself, not in a box
    // over it.
    TOddsRatios(TableSet& ts, WarningSink& warnings, QWidget* parent = nullptr);

    QLabel* TestsLabel;
    OutputGrid* TestsGrid;
    QLabel* CategoryLabel;
    QComboBox* CategoryBox;  // the dependent categories but the first
    QLabel* OddsLabel;
    OutputGrid* OddsGrid;
    QLabel* NotesLabel;      // why there is no model; fits that did not converge, odds ratios not estimable
    QPushButton* PrevButton;
    QPushButton* NextButton;
    QPushButton* ChartButton;
    QPushButton* OKButton;

    // The predictor on screen (1..PredictorCount) and the dependent category
    // (2..K) whose odds against the first are shown.
    int Page() const { return m_page; }
    int Category() const { return m_category; }

    struct Seams {
        // The chart window with the odds ratios of predictor t for
        // dependent category d.
        std::function<void(int t, int d)> showChart;
    };
    Seams seams;
    // The size from which the fit runs behind a progress bar.
    std::int64_t backgroundCells = OddsRatioBackgroundCells;

public slots:
    // Shows the model when it is current; otherwise fits it first, at once
    // for a small joint table, after the window is on screen for a large one.
    void FormActivate();
    void ShowCategory(int d);
    void ShowPage(int page);
    void NextButtonClick();
    void PrevButtonClick();
    void ChartButtonClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FitAndShow();
    void ShowModel();
    void ShowNotes();
    void ShowProblem(const std::string& problem);
    static void Show(QLabel* label, OutputGrid* grid, const OutputTable& table);

    TableSet& m_ts;
    int m_page = 1;
    int m_category = 2;
    std::vector<std::string> m_pageNotes;
    std::optional<ModelResults> m_results;  // with the odds-ratio model
};

}  // namespace kelvo::ui
