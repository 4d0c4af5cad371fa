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
std::vector<double> ResidualSums(const TableSet& ts) {
    const int D = ts.DependentCategoryCount;
    std::vector<double> rss(static_cast<std::size_t>(D) + 1, 0.0);
    for (int d = 1; d <= D; ++d) {
        double fitted = 0;
        for (int i = 1; i <= ts.ParameterCount; ++i) fitted += ts.Coefficients[i][d] * ts.RightHandSides(i, d);
        rss[d] = std::max(0.0, static_cast<double>(ts.MarginalTotals[ts.DependentVariable][d]) - fitted);
    }
    return rss;
}

// The residual sums of the model without the t-th predictor, fitted from the
// same tables by the same estimation, without a log. `scratch` is a copy of
// the estimated table set. NaN where the refit's matrix is singular.
std::vector<double> ResidualSumsWithout(const TableSet& ts, int t, TableSet& scratch) {
    scratch.PredictorCount = 0;
    for (int u = 1; u <= ts.PredictorCount; ++u)
        if (u != t) scratch.PredictorList[++scratch.PredictorCount] = ts.PredictorList[u];
    SilentSink silent;
    if (!ComputeEstimatesWithoutLog(scratch, silent))
        return std::vector<double>(static_cast<std::size_t>(ts.DependentCategoryCount) + 1, NaN);
    return ResidualSums(scratch);
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

void ComputeModelSummary(TableSet& ts) {
    ts.Summary = ModelSummary{};
    if (!ts.ResultsCurrent) return;
    ModelSummary& s = ts.Summary;
    const int D = ts.DependentCategoryCount;
    const int m = ts.ParameterCount;
    const int P = ts.PredictorCount;
    const double N = ts.TotalCount;
    const auto& dependentTotals = ts.MarginalTotals[ts.DependentVariable];

    s.totalCount = N;
    s.rank = 1;
    for (int t = 1; t <= P; ++t) s.rank += ts.CategoryCounts[ts.PredictorList[t]] - 1;
    const double df = N - s.rank;
    s.residualDf = df;
    const bool testable = df > 0;

    const auto column = [D] { return std::vector<double>(static_cast<std::size_t>(D) + 1, NaN); };
    s.residualSumOfSquares = ResidualSums(ts);
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
                classical = variance[d] > 0 ? ts.StandardErrors[i][d] * std::sqrt(rss / df / variance[d]) : 0.0;
            }
            s.classicalStandardErrors(i, d) = classical;
            double t = NaN;
            if (testable && tss[d] > 0 && !perfect[d] && classical > 0) t = 100 * ts.Coefficients[i][d] / classical;
            s.tValues(i, d) = t;
            s.pValues(i, d) = StudentP(t, df);
        }
    }

    // The refits work on one copy of the table set.
    std::unique_ptr<TableSet> scratch;
    if (P > 1) scratch = std::make_unique<TableSet>(ts);
    for (int t = 1; t <= P; ++t) {
        const int a = ts.PredictorList[t];
        const int K = ts.CategoryCounts[a];
        const int base = BlockStart(ts, t);
        PredictorSummary predictor;
        predictor.variable = a;
        predictor.df1 = K - 1;
        predictor.unadjusted.resize(K, D);
        predictor.eta = predictor.beta = predictor.fValue = predictor.pValue = column();
        // Without it only the constant remains when it is the only predictor,
        // whose residual sum is the total sum of squares.
        const std::vector<double> without = P > 1 ? ResidualSumsWithout(ts, t, *scratch) : tss;
        for (int d = 1; d <= D; ++d) {
            const double p = static_cast<double>(dependentTotals[d]) / N;
            double between = 0, adjusted = 0;
            for (int k = 1; k <= K; ++k) {
                const auto n = static_cast<double>(ts.MarginalTotals[a][k]);
                // The deviation of the category's own proportion from the
                // average; summed directly, so that a predictor balanced
                // against the dependent variable gives exactly 0.
                const double u = ts.RightHandSides(base + k, d) / n - p;
                predictor.unadjusted(k, d) = u;
                between += n * u * u;
                const double b = ts.Coefficients[base + k][d];
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
