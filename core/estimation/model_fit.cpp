#include "model_fit.h"

#include <boost/math/distributions/fisher_f.hpp>
#include <boost/math/distributions/students_t.hpp>
#include <cmath>
#include <limits>
#include <memory>

#include "estimation.h"

namespace kelvo {

namespace {

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

// The refits report nothing: their warnings repeat what the full estimation
// already said.
class SilentSink : public WarningSink {
public:
    void ShowWarning(const std::string&) override {}
};

// RSS_d = n_d - sum over parameters of b(i, d) x X'y(i, d), for d = 1..D; a
// value that rounding makes negative is 0.
std::vector<double> ResidualSums(const ModelSelection& model, const EstimationArrays& est) {
    const int D = est.DependentCategoryCount;
    std::vector<double> rss(static_cast<std::size_t>(D) + 1, 0.0);
    for (int d = 1; d <= D; ++d) {
        double fitted = 0;
        for (int i = 1; i <= est.ParameterCount; ++i) fitted += est.Coefficients[i][d] * est.RightHandSides(i, d);
        rss[d] = std::max(0.0, static_cast<double>(est.MarginalTotals[model.DependentVariable][d]) - fitted);
    }
    return rss;
}

// The residual sums of the model without the t-th predictor, fitted from the
// same tables by the same estimation, without a log, into `scratch`. NaN
// where the refit's matrix is singular.
std::vector<double> ResidualSumsWithout(const InputSide& in, const ModelSelection& model, int t,
                                        EstimationArrays& scratch) {
    ModelSelection reduced = model;
    reduced.PredictorCount = 0;
    for (int u = 1; u <= model.PredictorCount; ++u)
        if (u != t) reduced.PredictorList[++reduced.PredictorCount] = model.PredictorList[u];
    SilentSink silent;
    if (!ComputeEstimatesWithoutLog(in, reduced, scratch, silent))
        return std::vector<double>(static_cast<std::size_t>(scratch.DependentCategoryCount) + 1, NaN);
    return ResidualSums(reduced, scratch);
}

// Two-sided p-value of t with `df` degrees of freedom.
double StudentP(double t, double df) {
    if (!std::isfinite(t) || !(df > 0)) return NaN;
    return 2 * boost::math::cdf(boost::math::complement(boost::math::students_t(df), std::fabs(t)));
}

// Upper tail of F with (df1, df2) degrees of freedom.
double FisherP(double f, double df1, double df2) {
    if (!std::isfinite(f) || !(df1 > 0) || !(df2 > 0)) return NaN;
    return boost::math::cdf(boost::math::complement(boost::math::fisher_f(df1, df2), f));
}

}  // namespace

void ComputeModelSummary(const InputSide& in, const ModelSelection& model, EstimationArrays& est) {
    est.Summary = ModelSummary{};
    if (!est.ResultsCurrent) return;
    ModelSummary& s = est.Summary;
    const int D = est.DependentCategoryCount;
    const int m = est.ParameterCount;
    const int P = model.PredictorCount;
    const double N = est.TotalCount;
    const auto& dependentTotals = est.MarginalTotals[model.DependentVariable];

    s.totalCount = N;
    s.rank = 1;
    for (int t = 1; t <= P; ++t) s.rank += in.CategoryCounts[model.PredictorList[t]] - 1;
    const double df = N - s.rank;
    s.residualDf = df;
    const bool testable = df > 0;

    const auto column = [D] { return std::vector<double>(static_cast<std::size_t>(D) + 1, NaN); };
    s.residualSumOfSquares = ResidualSums(model, est);
    s.rSquared = column();
    s.adjustedRSquared = column();
    s.residualStandardError = column();
    s.classicalStandardErrors.resize(m, D);
    s.tValues.resize(m, D);
    s.pValues.resize(m, D);

    std::vector<double> tss(static_cast<std::size_t>(D) + 1), variance(static_cast<std::size_t>(D) + 1);
    std::vector<bool> perfect(static_cast<std::size_t>(D) + 1);
    for (int d = 1; d <= D; ++d) {
        const double p = static_cast<double>(dependentTotals[d]) / N;
        variance[d] = (1 - p) * p;  // as the conservative standard errors take it
        tss[d] = N * p * (1 - p);
        const double rss = s.residualSumOfSquares[d];
        perfect[d] = rss <= PerfectFitTolerance * tss[d];
        if (tss[d] > 0) s.rSquared[d] = 1 - rss / tss[d];
        if (testable) {
            s.residualStandardError[d] = 100 * std::sqrt(rss / df);
            if (tss[d] > 0 && N > 1) s.adjustedRSquared[d] = 1 - (rss / df) / (tss[d] / (N - 1));
        }
        for (int i = 1; i <= m; ++i) {
            double classical = NaN;
            if (testable) {
                // 100 sqrt(V(i) RSS_d / (N - q)), where the conservative error
                // is 100 sqrt(V(i) p (1 - p)): the same V(i), scaled by the
                // residual variance instead of the total one. A column without
                // variance has no residuals either.
                classical = variance[d] > 0 ? est.StandardErrors[i][d] * std::sqrt(rss / df / variance[d]) : 0.0;
            }
            s.classicalStandardErrors(i, d) = classical;
            double t = NaN;
            if (testable && tss[d] > 0 && !perfect[d] && classical > 0) t = 100 * est.Coefficients[i][d] / classical;
            s.tValues(i, d) = t;
            s.pValues(i, d) = StudentP(t, df);
        }
    }

    // The refits work on estimation arrays of their own.
    std::unique_ptr<EstimationArrays> scratch;
    if (P > 1) scratch = std::make_unique<EstimationArrays>();
    for (int t = 1; t <= P; ++t) {
        const int a = model.PredictorList[t];
        const int K = in.CategoryCounts[a];
        const int base = BlockStart(in, model, t);
        PredictorSummary predictor;
        predictor.variable = a;
        predictor.df1 = K - 1;
        predictor.unadjusted.resize(K, D);
        predictor.eta = predictor.beta = predictor.fValue = predictor.pValue = column();
        // Without it only the constant remains when it is the only predictor,
        // whose residual sum is the total sum of squares.
        const std::vector<double> without = P > 1 ? ResidualSumsWithout(in, model, t, *scratch) : tss;
        for (int d = 1; d <= D; ++d) {
            const double p = static_cast<double>(dependentTotals[d]) / N;
            double between = 0, adjusted = 0;
            for (int k = 1; k <= K; ++k) {
                const auto n = static_cast<double>(est.MarginalTotals[a][k]);
                // The deviation of the category's own proportion from the
                // average; summed directly, so that a predictor balanced
                // against the dependent variable gives exactly 0.
                const double u = est.RightHandSides(base + k, d) / n - p;
                predictor.unadjusted(k, d) = u;
                between += n * u * u;
                const double b = est.Coefficients[base + k][d];
                adjusted += n * b * b;
            }
            if (!(tss[d] > 0)) continue;
            predictor.eta[d] = std::sqrt(between / tss[d]);
            predictor.beta[d] = std::sqrt(adjusted / N) / std::sqrt(tss[d] / N);
            const double rss = s.residualSumOfSquares[d];
            if (testable && !perfect[d] && predictor.df1 > 0 && std::isfinite(without[d])) {
                const double f = (std::max(0.0, without[d] - rss) / predictor.df1) / (rss / df);
                predictor.fValue[d] = f;
                predictor.pValue[d] = FisherP(f, predictor.df1, df);
            }
        }
        s.predictors.push_back(std::move(predictor));
    }
    s.present = true;
}

}  // namespace kelvo
