// The prediction check: for every category of the dependent variable, the
// smallest and largest prediction of the estimated model, marked light red
// where they leave the range 0 to 100 %.
#pragma once

#include <QColor>
#include <QDialog>
#include <QString>

#include "model_results.h"
#include "table_set.h"
#include "warnings.h"

class QLabel;
class QPainter;
class QPushButton;

namespace kelvo::ui {

class OutputGrid;

// The predictor categories behind one end of the prediction range of
// dependent category d, as "Class = 1st, Sex = Female" (predictors in model
// order).
QString CombinationText(const ModelResults& results, int d, bool maximum);

class TCheckResults : public QDialog {
    Q_OBJECT
public:
    TCheckResults(TableSet& ts, WarningSink& warnings, QWidget* parent = nullptr);

    QLabel* Label1;  // "Predictions for the dependent variable"
    OutputGrid* Tab;
    QLabel* Label2;  // "Values below 0 or above 1 indicate an"
    QLabel* Label3;  // "ill-fitting model."
    QPushButton* OKButton;

    // The background of cell (column, row): button face for the headers,
    // light red for a minimum below 0 or a maximum above 100, light blue
    // otherwise.
    QColor CellColor(int column, int row) const;

public slots:
    void FormActivate();
    void TabDrawCell(QPainter* canvas, int column, int row, const QRect& rect) const;
    void OKButtonClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    TableSet& m_ts;
};

}  // namespace kelvo::ui
