// The results browser: the averages and the coefficients of one predictor
// per page, in percent, significant coefficients in bold.
#pragma once

#include <QColor>
#include <QDialog>
#include <functional>
#include <optional>

#include "model_results.h"
#include "output_model.h"
#include "table_set.h"
#include "warnings.h"

class QLabel;
class QPainter;
class QPushButton;

namespace kelvo::ui {

class OutputGrid;

class TDisplayResults : public QDialog {
    Q_OBJECT
public:
    TDisplayResults(TableSet& ts, WarningSink& warnings, QWidget* parent = nullptr);

    QLabel* Label1;  // "Coefficients for variable " + the page's predictor
    OutputGrid* Tab;
    QPushButton* OKButton;
    QPushButton* NextButton;
    QPushButton* PrevButton;
    // Added to the original controls: opens the chart of the page's predictor.
    QPushButton* ChartButton;

    struct Seams {
        std::function<void(int predictor)> showChart;  // the chart window, for predictor 1..PredictorCount
    };
    Seams seams;

    // The predictor on screen, 1..PredictorCount.
    int Page() const { return m_page; }

    // How cell (column, row) is painted: its background, and whether its
    // text is bold (a significant coefficient).
    QColor CellColor(int column, int row) const;
    bool CellIsBold(int column, int row) const;

public slots:
    void FormActivate();
    void DisplayTable(int page);
    void NextButtonClick();
    void PrevButtonClick();
    void OKButtonClick();
    void ChartButtonClick();
    void TabDrawCell(QPainter* canvas, int column, int row, const QRect& rect) const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    TableSet& m_ts;
    int m_page = 1;
    // The results shown, taken on every activation; none when the model
    // selection is not one whose results can be read.
    std::optional<kelvo::ModelResults> m_results;
};

}  // namespace kelvo::ui
