// The model summary window: the fit of the model for every dependent
// category, the tests of the predictors for one dependent category (chosen in
// a list), and, a predictor per page, the unadjusted and adjusted deviations
// with their classical standard errors side by side.
#pragma once

#include <QDialog>
#include <optional>

#include "model_results.h"
#include "output_model.h"
#include "table_set.h"
#include "warnings.h"

class QComboBox;
class QLabel;
class QPainter;
class QPushButton;

namespace kelvo::ui {

class OutputGrid;

class TModelSummary : public QDialog {
    Q_OBJECT
public:
    TModelSummary(TableSet& ts, WarningSink& warnings, QWidget* parent = nullptr);

    QLabel* FitLabel;
    OutputGrid* FitGrid;
    QLabel* CategoryLabel;
    QComboBox* CategoryBox;  // the dependent category of the lower two tables
    QLabel* TestsLabel;
    OutputGrid* TestsGrid;
    QLabel* DeviationsLabel;
    OutputGrid* DeviationsGrid;
    QPushButton* PrevButton;
    QPushButton* NextButton;
    QPushButton* OKButton;

    // The predictor on screen (1..PredictorCount) and the dependent category.
    int Page() const { return m_page; }
    int Category() const { return m_category; }

public slots:
    // Shows the fit, the first dependent category and the first predictor.
    void FormActivate();
    void ShowCategory(int d);
    void ShowPage(int page);
    void NextButtonClick();
    void PrevButtonClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    // Shows `table` in `grid` and its title in `label`.
    static void Show(QLabel* label, OutputGrid* grid, const OutputTable& table);

    TableSet& m_ts;
    int m_page = 1;
    int m_category = 1;
    // The results shown, when they have a summary (taken on activation).
    std::optional<ModelResults> m_results;
};

}  // namespace kelvo::ui
