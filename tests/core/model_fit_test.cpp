// The model summary against hand computation, against least squares on the
// records, and on the columns where a value does not exist.
#include "model_fit.h"

#include <gtest/gtest.h>

#include <boost/multiprecision/cpp_bin_float.hpp>
#include <cmath>

#include "estimation.h"
#include "estimation_support.h"
#include "least_squares_reference.h"
#include "test_support.h"

namespace kelvo {
namespace {

TableSet EstimatedSummary(TableSet ts, int dependent, const std::vector<int>& predictors) {
    test::TempDir dir;
    CollectingWarningSink warnings;
    EXPECT_TRUE(test::Estimate(ts, dependent, predictors, warnings, dir / "log"));
    ComputeModelSummary(ts);
    EXPECT_TRUE(ts.Summary.present);
    return ts;
}

// The worked example of the estimation: Group A has 30 cases (10 Yes),
// B 70 (35 Yes); N = 100, p(Yes) = 0.45.
//   TSS = 100 x 0.45 x 0.55 = 24.75.
//   RSS = 30 (1/3)(2/3) + 70 (1/2)(1/2) = 6.6667 + 17.5 = 24.1667, also
//       = n - b'X'y = 45 - (0.45 x 45 - 0.116667 x 10 + 0.05 x 35).
//   R squared = 1 - 24.1667 / 24.75 = 0.023569; q = 2, N - q = 98.
//   F = (24.75 - 24.1667) / (24.1667 / 98) = 2.365517 with 1 and 98 df: the
//   one-way analysis of variance; p = 0.1272654 (regularised incomplete
//   beta, computed independently to 30 digits).
//   eta = sqrt(R squared) = 0.1535221, and with one predictor beta = eta.
//   The deviation of A, b = ybar(A) - ybar, has variance s^2 (1/30 - 1/100)
//   with s^2 = RSS / 98, so its classical standard error is 7.58549.
TEST(ModelSummaryTest, WorkedExampleByHand) {
    for (const bool predictorFirst : {true, false}) {
        const int group = predictorFirst ? 1 : 2;
        const TableSet ts = EstimatedSummary(test::ThirtySeventy(predictorFirst), 3 - group, {group});
        const ModelSummary& s = ts.Summary;
        EXPECT_EQ(s.rank, 2);
        EXPECT_EQ(s.residualDf, 98);
        for (int d = 1; d <= 2; ++d) {
            EXPECT_NEAR(s.residualSumOfSquares[d], 24.1666666666666667, 1e-10);
            EXPECT_NEAR(s.rSquared[d], 0.0235690235690235690, 1e-12);
            EXPECT_NEAR(s.adjustedRSquared[d], 0.0136054421768707483, 1e-12);
            EXPECT_NEAR(s.residualStandardError[d], 49.6586990824147862, 1e-9);
            const PredictorSummary& p = s.predictors[0];
            EXPECT_EQ(p.df1, 1);
            EXPECT_NEAR(p.fValue[d], 2.36551724137931034, 1e-10);
            EXPECT_NEAR(p.pValue[d], 0.127265409374298895, 1e-10);
            EXPECT_NEAR(p.eta[d], 0.153522062157279431, 1e-12);
            EXPECT_NEAR(p.eta[d], std::sqrt(s.rSquared[d]), 1e-12);
            EXPECT_NEAR(p.beta[d], p.eta[d], 1e-12);
            EXPECT_NEAR(s.classicalStandardErrors(2, d), 100 * std::sqrt(24.1666666666666667 / 98 * (1.0 / 30 - 0.01)),
                        1e-9);
            // t = 100 b / SE, with its two-sided p-value; Yes and No mirror
            // each other.
            EXPECT_NEAR(s.tValues(2, d), 100 * ts.Coefficients[2][d] / s.classicalStandardErrors(2, d), 1e-9);
        }
        EXPECT_NEAR(s.predictors[0].unadjusted(1, 1), 10.0 / 30 - 0.45, 1e-15);
        EXPECT_NEAR(s.predictors[0].unadjusted(2, 2), 35.0 / 70 - 0.55, 1e-15);
        EXPECT_NEAR(s.tValues(2, 1), -s.tValues(2, 2), 1e-9);
        EXPECT_NEAR(s.pValues(2, 1), s.pValues(2, 2), 1e-12);
    }
}

using RecordCase = test::RecordModel;

class SummaryRecordTest : public ::testing::TestWithParam<RecordCase> {};

// Random records: the residual sums, the classical standard errors and the F
// tests of every predictor agree with least squares fitted on the records
// themselves (the reduced models refitted on the records too).
TEST_P(SummaryRecordTest, AgreesWithLeastSquaresOnTheRecords) {
    const RecordCase& c = GetParam();
    const test::Records records = test::DrawRecords(c.seed, c.categories, c.records);
    const TableSet ts = EstimatedSummary(test::CountPairTables(records), c.dependent, c.predictors);
    const ModelSummary& s = ts.Summary;
    const test::Fit full = test::ReferenceFit(records, c.dependent, c.predictors);
    const double df = s.residualDf;
    for (int d = 1; d <= ts.DependentCategoryCount; ++d) {
        const double rss = static_cast<double>(full.residualSums[d]);
        EXPECT_TRUE(test::NearRelative(s.residualSumOfSquares[d], rss, 1e-9)) << d;
        for (int i = 1; i <= ts.ParameterCount; ++i)
            EXPECT_TRUE(test::NearRelative(s.classicalStandardErrors(i, d),
                                           static_cast<double>(full.classicalStandardErrors[i][d]), 1e-9))
                << i << "," << d;
        for (std::size_t t = 0; t < c.predictors.size(); ++t) {
            std::vector<int> others = c.predictors;
            others.erase(others.begin() + static_cast<std::ptrdiff_t>(t));
            const double without = static_cast<double>(test::ReferenceFit(records, c.dependent, others).residualSums[d]);
            const int df1 = c.categories[static_cast<std::size_t>(c.predictors[t]) - 1] - 1;
            const double f = ((without - rss) / df1) / (rss / df);
            EXPECT_TRUE(test::NearRelative(s.predictors[t].fValue[d], f, 1e-8)) << t << "," << d;
            EXPECT_GE(s.predictors[t].pValue[d], 0.0);
            EXPECT_LE(s.predictors[t].pValue[d], 1.0);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, SummaryRecordTest,
                         ::testing::Values(RecordCase{"OnePredictor", 21, {3, 4}, 500, 2, {1}},
                                           RecordCase{"ThreePredictors", 22, {3, 4, 2, 5}, 1500, 1, {2, 3, 4}},
                                           RecordCase{"ManyCategories", 23, {16, 7, 9}, 5000, 2, {1, 3}}));

// The F of a predictor that barely matters: dropping it raises the residual
// sum by about 1e-9 of itself, so the difference of two residual sums of
// 8-digit size would keep only 7 of 16 digits (and with 135 million cases the
// constrained fit's own residual sums are off by 1e-9 of themselves). Checked against least squares
// on the joint counts in 50-digit arithmetic (reference coding, which fits
// the same model).
TEST(ModelSummaryTest, FOfANearlyIrrelevantPredictorKeepsItsDigits) {
    using Exact = boost::multiprecision::cpp_bin_float_50;
    // n[a][b][d]: D depends on A only, but for a shift of 6,000 cases in one
    // cell of B = 1.
    std::int32_t n[2][2][2] = {{{30000000, 20000000}, {15000000, 10000000}},
                               {{10000000, 30000000}, {5000000, 15000000}}};
    n[0][0][0] += 6000;
    n[0][0][1] -= 6000;
    TableSet ts = test::MakeTableSet({{"A", {"a1", "a2"}}, {"B", {"b1", "b2"}}, {"D", {"d1", "d2"}}});
    test::SetTable(ts, 2, 1, {{n[0][0][0] + n[0][0][1], n[1][0][0] + n[1][0][1]},
                              {n[0][1][0] + n[0][1][1], n[1][1][0] + n[1][1][1]}});
    test::SetTable(ts, 3, 1, {{n[0][0][0] + n[0][1][0], n[1][0][0] + n[1][1][0]},
                              {n[0][0][1] + n[0][1][1], n[1][0][1] + n[1][1][1]}});
    test::SetTable(ts, 3, 2, {{n[0][0][0] + n[1][0][0], n[0][1][0] + n[1][1][0]},
                              {n[0][0][1] + n[1][0][1], n[0][1][1] + n[1][1][1]}});
    ts = EstimatedSummary(ts, 3, {1, 2});

    // Residual sum of squares of the indicator of d on the intercept and the
    // indicators of the second categories of the chosen predictors.
    const auto exactRss = [&](int d, bool withB) {
        const int q = withB ? 3 : 2;
        std::vector<std::vector<Exact>> xtx(q, std::vector<Exact>(q + 1, Exact(0)));
        Exact yty = 0;
        for (int a = 0; a < 2; ++a)
            for (int b = 0; b < 2; ++b)
                for (int y = 0; y < 2; ++y) {
                    const Exact count = n[a][b][y];
                    const std::vector<Exact> x = withB ? std::vector<Exact>{1, Exact(a), Exact(b)}
                                                       : std::vector<Exact>{1, Exact(a)};
                    const Exact value = y == d - 1 ? 1 : 0;
                    yty += count * value * value;
                    for (int i = 0; i < q; ++i) {
                        for (int j = 0; j < q; ++j) xtx[i][j] += count * x[i] * x[j];
                        xtx[i][q] += count * x[i] * value;
                    }
                }
        std::vector<std::vector<Exact>> m = xtx;
        for (int c = 0; c < q; ++c)
            for (int r = c + 1; r < q; ++r) {
                const Exact f = m[r][c] / m[c][c];
                for (int k = c; k <= q; ++k) m[r][k] -= f * m[c][k];
            }
        std::vector<Exact> beta(q);
        for (int r = q - 1; r >= 0; --r) {
            Exact sum = m[r][q];
            for (int k = r + 1; k < q; ++k) sum -= m[r][k] * beta[k];
            beta[r] = sum / m[r][r];
        }
        Exact fitted = 0;
        for (int i = 0; i < q; ++i) fitted += beta[i] * xtx[i][q];
        return yty - fitted;
    };
    const ModelSummary& s = ts.Summary;
    for (int d = 1; d <= 2; ++d) {
        const Exact full = exactRss(d, true);
        const Exact drop = exactRss(d, false) - full;
        // The case the test is about: the extra sum is about 1e-9 of the sum.
        ASSERT_GT(static_cast<double>(drop / full), 1e-10);
        ASSERT_LT(static_cast<double>(drop / full), 1e-8);
        const double f = static_cast<double>(drop / (full / Exact(s.residualDf)));
        EXPECT_TRUE(test::NearRelative(s.predictors[1].fValue[d], f, 1e-11))
            << s.predictors[1].fValue[d] << " against " << f;
    }
}

// A predictor whose every category has the dependent variable's proportion
// explains nothing: eta is exactly 0, whatever the rounding of the fit.
TEST(ModelSummaryTest, BalancedPredictorHasEtaZero) {
    TableSet ts = test::MakeTableSet({{"Y", {"a", "b"}}, {"P", {"p", "q", "r"}}, {"Q", {"x", "y"}}});
    test::SetTable(ts, 2, 1, {{30, 70}, {3, 7}, {300, 700}});
    test::SetTable(ts, 3, 1, {{100, 200}, {233, 577}});
    test::SetTable(ts, 3, 2, {{30, 0, 270}, {70, 10, 730}});
    ts = EstimatedSummary(ts, 1, {2, 3});
    for (int d = 1; d <= 2; ++d) EXPECT_EQ(ts.Summary.predictors[0].eta[d], 0.0);
}

// The values that do not exist are NaN (null in JSON, "-" in reports).
TEST(ModelSummaryTest, DegenerateColumns) {
    // A dependent category without cases: no variance in its column.
    TableSet ts = test::MakeTableSet({{"Y", {"a", "b", "c"}}, {"P", {"p", "q"}}});
    test::SetTable(ts, 2, 1, {{10, 0, 20}, {25, 0, 15}});
    ts = EstimatedSummary(ts, 1, {2});
    const ModelSummary& s = ts.Summary;
    EXPECT_TRUE(std::isnan(s.rSquared[2]) && std::isnan(s.adjustedRSquared[2]));
    EXPECT_TRUE(std::isnan(s.predictors[0].eta[2]) && std::isnan(s.predictors[0].beta[2]));
    EXPECT_TRUE(std::isnan(s.predictors[0].fValue[2]) && std::isnan(s.predictors[0].pValue[2]));
    EXPECT_TRUE(std::isnan(s.tValues(1, 2)) && std::isnan(s.pValues(1, 2)));
    EXPECT_EQ(s.classicalStandardErrors(2, 2), 0.0);
    EXPECT_FALSE(std::isnan(s.rSquared[1]));

    // A predictor that determines the dependent variable: a perfect fit,
    // R squared 1 and no tests.
    TableSet perfect = test::MakeTableSet({{"Y", {"a", "b"}}, {"P", {"p", "q"}}});
    test::SetTable(perfect, 2, 1, {{40, 0}, {0, 60}});
    perfect = EstimatedSummary(perfect, 1, {2});
    EXPECT_NEAR(perfect.Summary.rSquared[1], 1.0, 1e-12);
    EXPECT_TRUE(std::isnan(perfect.Summary.tValues(2, 1)));
    EXPECT_TRUE(std::isnan(perfect.Summary.predictors[0].fValue[1]));

    // As many parameters as cases: no residual degrees of freedom.
    TableSet tiny = test::MakeTableSet({{"Y", {"a", "b"}}, {"P", {"p", "q"}}});
    test::SetTable(tiny, 2, 1, {{1, 0}, {0, 1}});
    tiny = EstimatedSummary(tiny, 1, {2});
    EXPECT_EQ(tiny.Summary.residualDf, 0);
    EXPECT_TRUE(std::isnan(tiny.Summary.adjustedRSquared[1]) && std::isnan(tiny.Summary.residualStandardError[1]));
    EXPECT_TRUE(std::isnan(tiny.Summary.classicalStandardErrors(1, 1)));
}

// The summary belongs to the results: an estimation that stops leaves none,
// and it cannot be made for results of an earlier selection.
TEST(ModelSummaryTest, AbsentWhenTheResultsAreNotOfTheSelection) {
    TableSet ts = EstimatedSummary(test::ThirtySeventy(), 2, {1});
    ASSERT_TRUE(ts.Summary.present);
    // A predictor category without cases makes the next model singular.
    TableSet singular = test::MakeTableSet({{"Y", {"a", "b"}}, {"P", {"p", "q"}}});
    test::SetTable(singular, 2, 1, {{10, 20}, {0, 0}});
    static_cast<InputSide&>(ts) = singular;
    test::TempDir dir;
    CollectingWarningSink warnings;
    EXPECT_FALSE(test::Estimate(ts, 1, {2}, warnings, dir / "log"));
    EXPECT_FALSE(ts.Summary.present);
    ComputeModelSummary(ts);
    EXPECT_FALSE(ts.Summary.present);
}

}  // namespace
}  // namespace kelvo
