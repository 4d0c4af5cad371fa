// The chart window: the coefficient chart of one predictor for one dependent
// category (chosen in a list), or the odds-ratio chart of the odds-ratio
// window's predictor for a dependent category against the first, drawn from
// the same SVG that the report and kelvo-cli write, and saved as SVG or as
// PNG.
#pragma once

#include <QDialog>
#include <QString>
#include <functional>
#include <optional>
#include <string>

#include "model_results.h"
#include "table_set.h"
#include "warnings.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;

namespace kelvo::ui {

class SvgView;

class TCoefficientChart : public QDialog {
    Q_OBJECT
public:
    TCoefficientChart(TableSet& ts, WarningSink& warnings, QWidget* parent = nullptr);

    QLabel* CategoryLabel;
    QComboBox* CategoryBox;    // the dependent category
    QCheckBox* ClassicalBox;   // intervals from the classical standard errors
    SvgView* Chart;
    QPushButton* SaveSvgButton;
    QPushButton* SavePngButton;
    QPushButton* OKButton;

    // The predictor (1..PredictorCount) the next showing draws.
    void SetPredictor(int t) { m_predictor = t; }
    // Whether the next showings draw the odds ratios of the odds-ratio model
    // (dependent categories 2..K, no classical errors) instead of the
    // coefficients; the first dependent category they show.
    void SetOddsRatios(bool oddsRatios, int firstCategory = 0) {
        m_oddsRatios = oddsRatios;
        m_startCategory = firstCategory;
    }
    bool OddsRatios() const { return m_oddsRatios; }
    int Predictor() const { return m_predictor; }
    int Category() const { return m_category; }
    // The SVG on screen.
    const std::string& Svg() const { return m_svg; }

    struct Seams {
        // The save dialog: the chosen path, or an empty text when cancelled.
        std::function<QString(const QString& caption, const QString& filter, const QString& suffix)> chooseSaveFile;
        std::function<void(const QString&)> showError;
    };
    Seams seams;

public slots:
    void FormActivate();
    void ShowCategory(int d);
    void SaveSvgButtonClick();
    void SavePngButtonClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void Redraw();
    TableSet& m_ts;
    int m_predictor = 1;
    int m_category = 1;
    bool m_oddsRatios = false;
    int m_startCategory = 0;  // 0: the first one shown
    std::string m_svg;
};

}  // namespace kelvo::ui
