#include "model_results.h"

#include <stdexcept>

#include "estimation.h"
#include "odds_ratio_fit.h"

namespace kelvo {

namespace {

ModelVariable VariableOf(const InputSide& in, const EstimationArrays& est, int v) {
    ModelVariable variable;
    variable.number = v;
    variable.name = in.VariableNames[v];
    const int K = in.CategoryCounts[v];
    variable.categories.assign(in.CategoryNames[v].begin(), in.CategoryNames[v].begin() + K + 1);
    variable.cases.assign(est.MarginalTotals[v].begin(), est.MarginalTotals[v].begin() + K + 1);
    return variable;
}

}  // namespace

int ModelResults::BlockStart(int t) const {
    int s = 1;
    for (int u = 1; u < t; ++u) s += Predictor(u).Categories();
    return s;
}

std::vector<int> ModelResults::Combination(int d, bool maximum) const {
    std::vector<int> combination;
    for (int t = 1; t <= PredictorCount(); ++t) {
        const int s = BlockStart(t);
        int best = 1;
        for (int k = 2; k <= Predictor(t).Categories(); ++k) {
            const double value = coefficients(s + k, d);
            const double chosen = coefficients(s + best, d);
            if (maximum ? value > chosen : value < chosen) best = k;
        }
        combination.push_back(best);
    }
    return combination;
}

ModelResults ResultsOf(const InputSide& in, const ModelSelection& model, const EstimationArrays& est) {
    if (const std::string problem = SelectionProblem(in, model); !problem.empty())
        throw std::invalid_argument("no results: " + problem);
    ModelResults r;
    r.dependent = VariableOf(in, est, model.DependentVariable);
    for (int t = 1; t <= model.PredictorCount; ++t) r.predictors.push_back(VariableOf(in, est, model.PredictorList[t]));
    r.totalCount = est.TotalCount;
    r.current = est.ResultsCurrent;
    const int m = r.BlockStart(model.PredictorCount + 1);
    const int D = r.DependentCategories();
    r.coefficients.resize(m, D);
    r.standardErrors.resize(m, D);
    for (int p = 1; p <= m; ++p)
        for (int d = 1; d <= D; ++d) {
            r.coefficients(p, d) = est.Coefficients[p][d];
            r.standardErrors(p, d) = est.StandardErrors[p][d];
        }
    r.minimumPrediction.assign(est.MinimumPrediction.begin(), est.MinimumPrediction.begin() + D + 1);
    r.maximumPrediction.assign(est.MaximumPrediction.begin(), est.MaximumPrediction.begin() + D + 1);
    if (est.Summary.present) r.summary = est.Summary;
    if (OddsRatiosCurrent(in, model, est)) r.oddsRatios = est.OddsRatios;
    return r;
}

}  // namespace kelvo
