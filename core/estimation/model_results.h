// The results of a model as everything that shows or writes them reads them:
// a value of its own, with the model's variables, their names and case
// counts, the coefficients, their standard errors, the prediction range, the
// summary and the odds-ratio model. The output builders, the charts and the JSON read only this;
// none of them goes back to the table set's arrays.
//
// It is taken from the table set when results are shown or written, so a
// name changed after the estimation shows as it is now, and after an
// estimation that stopped the numbers are those the arrays still hold.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "matrix.h"
#include "short_string.h"
#include "table_set.h"

namespace kelvo {

// A variable of the model.
struct ModelVariable {
    int number = 0;                        // its number in the table set
    ShortString name;
    std::vector<ShortString> categories;   // [1..K]; [0] unused
    std::vector<std::int64_t> cases;       // the marginal count of each category, [1..K]
    int Categories() const { return static_cast<int>(categories.size()) - 1; }
};

struct ModelResults {
    ModelVariable dependent;
    std::vector<ModelVariable> predictors;  // in the selection's order, [t - 1] for predictor t
    double totalCount = 0;                  // N
    // Whether the numbers are the results of this selection: false after an
    // estimation that stopped, which left those of an earlier model.
    bool current = false;
    Matrix coefficients;                    // (parameter, dependent category), proportions
    Matrix standardErrors;                  // (parameter, dependent category), percentage points
    std::vector<double> minimumPrediction;  // [1..D], percent
    std::vector<double> maximumPrediction;  // [1..D], percent
    std::optional<ModelSummary> summary;    // when the summary of these results was computed
    // When the odds-ratio model of this selection was fitted from the pair
    // tables as they are (it does not depend on the linear model's results).
    std::optional<OddsRatioModel> oddsRatios;

    int DependentCategories() const { return dependent.Categories(); }
    int PredictorCount() const { return static_cast<int>(predictors.size()); }
    int ParameterCount() const { return coefficients.rows(); }
    const ModelVariable& Predictor(int t) const { return predictors[static_cast<std::size_t>(t) - 1]; }
    // The parameter before the block of predictor t (1 for t = 1): category k
    // of predictor t is parameter BlockStart(t) + k; parameter 1 is the average.
    int BlockStart(int t) const;
    // The combination of predictor categories (one category number per
    // predictor, in their order) whose prediction for dependent category d
    // is the smallest (maximum = false) or the largest: the combination behind
    // the prediction range. On ties the first category wins.
    std::vector<int> Combination(int d, bool maximum) const;
};

// The results of the selection `model` as the table set holds them. Throws
// std::invalid_argument (with the reason as SelectionProblem gives it) when
// the selection is not one whose results can be read.
ModelResults ResultsOf(const InputSide& in, const ModelSelection& model, const EstimationArrays& est);
inline ModelResults ResultsOf(const TableSet& ts) { return ResultsOf(ts, ts, ts); }

}  // namespace kelvo
