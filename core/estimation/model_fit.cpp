#include "model_fit.h"

#include <boost/math/distributions/fisher_f.hpp>
#include <boost/math/distributions/students_t.hpp>
#include <cmath>
#include <limits>

#include "estimation.h"
#include "estimation_kernels.h"
#include "estimation_steps.h"

namespace kelvo {

namespace {

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

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

// The sums of squares of the tests, from the full fit alone, in the
// reference coding of the design (the constant and every category but each
// predictor's first): with V = (X_r'X_r)^-1 and c = V X_r'y the coefficients
// of that coding,
//   the residual sum of dependent category d, RSS_d = n_d - c'X_r'y_d, and
//   how much it grows when predictor t is dropped: the Wald form of the extra
//   sum of squares, c_t' (V_tt)^-1 c_t, with c_t and V_tt the part of t.
// The extra sum equals the difference of the residual sums with and without
// the predictor exactly, without taking one large sum from another. The
// coding has a matrix of its own because the constrained matrix of the
// estimation adds the squares of the counts to entries of the counts' size,
// which costs its inverse about 8 digits in the contrasts, and so in these
// sums.
struct TestSums {
    bool computed = false;                  // false: the coding's matrix was not positive definite
    std::vector<double> residual;           // [d]
    std::vector<std::vector<double>> extra; // [t - 1][d]; NaN where its block was not positive definite
};

TestSums ComputeTestSums(const InputSide& in, const ModelSelection& model, const EstimationArrays& est) {
    const int D = est.DependentCategoryCount;
    const int P = model.PredictorCount;
    // The parameters of the reference coding, as parameters of the estimation.
    std::vector<int> kept = {1};
    std::vector<int> blockStart;  // where predictor t's columns start in the coding, [t - 1]
    for (int t = 1; t <= P; ++t) {
        blockStart.push_back(static_cast<int>(kept.size()));
        const int s = BlockStart(in, model, t);
        for (int k = 2; k <= in.CategoryCounts[model.PredictorList[t]]; ++k) kept.push_back(s + k);
    }
    const int q = static_cast<int>(kept.size());
    TestSums sums;

    const detail::Isa isa = detail::CurrentIsa();
    detail::KernelMatrix a(q, detail::KernelMatrix::Fill::Unset);
    std::vector<double> xty(static_cast<std::size_t>(q) * static_cast<std::size_t>(D));
    for (int i = 0; i < q; ++i) {
        for (int j = 0; j <= i; ++j) a(i, j) = est.CrossProducts(kept[i], kept[j]);
        for (int d = 0; d < D; ++d) xty[static_cast<std::size_t>(i * D + d)] = est.RightHandSides(kept[i], d + 1);
    }
    detail::KernelMatrix factor(q);
    if (detail::FactorCholesky(isa, a.row(0), a.stride(), q, factor, detail::SingularPivot) >= 0) return sums;
    detail::KernelMatrix inverseFactor(q);
    detail::InvertFactor(isa, factor, inverseFactor);
    detail::KernelMatrix v(q, detail::KernelMatrix::Fill::Unset);
    detail::MultiplyTransposeByItself(isa, inverseFactor, v.row(0), v.stride());
    std::vector<double> c(static_cast<std::size_t>(q) * static_cast<std::size_t>(D));
    detail::MultiplySymmetric(isa, v, xty.data(), static_cast<std::size_t>(D), D, c.data(), static_cast<std::size_t>(D));
    sums.computed = true;
    sums.residual.assign(static_cast<std::size_t>(D) + 1, 0.0);
    for (int d = 1; d <= D; ++d) {
        double fitted = 0;
        for (int i = 0; i < q; ++i)
            fitted += c[static_cast<std::size_t>(i * D + d - 1)] * xty[static_cast<std::size_t>(i * D + d - 1)];
        // Rounding can leave a perfect fit a little below 0.
        sums.residual[static_cast<std::size_t>(d)] =
            std::max(0.0, static_cast<double>(est.MarginalTotals[model.DependentVariable][d]) - fitted);
    }
    sums.extra.assign(static_cast<std::size_t>(P), std::vector<double>(static_cast<std::size_t>(D) + 1, NaN));

    for (int t = 1; t <= P; ++t) {
        const int first = blockStart[static_cast<std::size_t>(t) - 1];
        const int r = in.CategoryCounts[model.PredictorList[t]] - 1;
        // The Cholesky factor of V_tt, lower, in place.
        std::vector<double> f(static_cast<std::size_t>(r) * static_cast<std::size_t>(r));
        const auto at = [&](int i, int j) -> double& { return f[static_cast<std::size_t>(i * r + j)]; };
        bool positive = true;
        for (int i = 0; i < r && positive; ++i)
            for (int j = 0; j <= i; ++j) {
                double sum = v(first + i, first + j);
                for (int k = 0; k < j; ++k) sum -= at(i, k) * at(j, k);
                if (i == j) {
                    positive = sum > 0;
                    if (!positive) break;
                    at(i, i) = std::sqrt(sum);
                } else {
                    at(i, j) = sum / at(j, j);
                }
            }
        if (!positive) continue;
        // c_t' (V_tt)^-1 c_t = |F^-1 c_t|^2 with V_tt = F F'.
        std::vector<double> z(static_cast<std::size_t>(r));
        for (int d = 1; d <= D; ++d) {
            double squares = 0;
            for (int i = 0; i < r; ++i) {
                double sum = c[static_cast<std::size_t>((first + i) * D + d - 1)];
                for (int k = 0; k < i; ++k) sum -= at(i, k) * z[static_cast<std::size_t>(k)];
                z[static_cast<std::size_t>(i)] = sum / at(i, i);
                squares += z[static_cast<std::size_t>(i)] * z[static_cast<std::size_t>(i)];
            }
            sums.extra[static_cast<std::size_t>(t) - 1][static_cast<std::size_t>(d)] = squares;
        }
    }
    return sums;
}

// The distributions computed in double, as the values they are given: Boost's
// default carries them out in long double, which costs most of the summary's
// time (a p-value for every parameter and dependent category) for digits
// beyond those a double keeps.
using InDouble = boost::math::policies::policy<boost::math::policies::promote_double<false>>;

// Two-sided p-value of t with `df` degrees of freedom.
double StudentP(double t, double df) {
    if (!std::isfinite(t) || !(df > 0)) return NaN;
    return 2 * boost::math::cdf(
                   boost::math::complement(boost::math::students_t_distribution<double, InDouble>(df), std::fabs(t)));
}

// Upper tail of F with (df1, df2) degrees of freedom.
double FisherP(double f, double df1, double df2) {
    if (!std::isfinite(f) || !(df1 > 0) || !(df2 > 0)) return NaN;
    return boost::math::cdf(boost::math::complement(boost::math::fisher_f_distribution<double, InDouble>(df1, df2), f));
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
    // The residual sums of the reference coding where it could be fitted; the
    // same sums from the estimation's own coefficients otherwise.
    const TestSums sums = ComputeTestSums(in, model, est);
    s.residualSumOfSquares = sums.computed ? sums.residual : ResidualSums(model, est);
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

    for (int t = 1; t <= P; ++t) {
        const int a = model.PredictorList[t];
        const int K = in.CategoryCounts[a];
        const int base = BlockStart(in, model, t);
        PredictorSummary predictor;
        predictor.variable = a;
        predictor.df1 = K - 1;
        predictor.unadjusted.resize(K, D);
        predictor.eta = predictor.beta = predictor.fValue = predictor.pValue = column();
        const std::vector<double> none(static_cast<std::size_t>(D) + 1, NaN);
        const std::vector<double>& extra = sums.computed ? sums.extra[static_cast<std::size_t>(t) - 1] : none;
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
            if (testable && !perfect[d] && predictor.df1 > 0 && std::isfinite(extra[d])) {
                const double f = (extra[d] / predictor.df1) / (rss / df);
                predictor.fValue[d] = f;
                predictor.pValue[d] = FisherP(f, predictor.df1, df);
            }
        }
        s.predictors.push_back(std::move(predictor));
    }
    s.present = true;
}

}  // namespace kelvo
