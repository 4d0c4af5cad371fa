// The estimation against record-level data: random records are counted into
// pair tables, estimated, and compared with a least-squares fit computed from
// the records themselves. Also the largest model, and the arithmetic order.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <string>
#include <random>
#include <vector>

#include "estimation.h"
#include "estimation_kernels.h"
#include "estimation_support.h"
#include "least_squares_reference.h"
#include "test_support.h"

namespace kelvo {
namespace {

using test::CountPairTables;
using test::DrawRecords;
using test::Fit;
using test::Records;
using test::ReferenceFit;

using FitCase = test::RecordModel;

class RecordFitTest : public ::testing::TestWithParam<FitCase> {};

TEST_P(RecordFitTest, AgreesWithLeastSquaresOnTheRecords) {
    const FitCase& c = GetParam();
    const Records records = DrawRecords(c.seed, c.categories, c.records);
    TableSet ts = CountPairTables(records);
    test::TempDir dir;
    CollectingWarningSink warnings;
    ASSERT_TRUE(test::Estimate(ts, c.dependent, c.predictors, warnings, dir / "log"));
    EXPECT_TRUE(warnings.warnings.empty());
    for (const int p : c.predictors)
        for (int k = 1; k <= ts.CategoryCounts[p]; ++k) ASSERT_GT(ts.MarginalTotals[p][k], 0) << "empty category";

    const Fit fit = ReferenceFit(records, c.dependent, c.predictors);
    const int m = ts.ParameterCount;
    const int D = ts.DependentCategoryCount;
    ASSERT_EQ(static_cast<int>(fit.coefficients.size()), m + 1);
    for (int i = 1; i <= m; ++i)
        for (int d = 1; d <= D; ++d) {
            EXPECT_NEAR(ts.Coefficients[i][d], static_cast<double>(fit.coefficients[i][d]), 1e-9) << i << "," << d;
            EXPECT_TRUE(
                test::NearRelative(ts.StandardErrors[i][d], static_cast<double>(fit.standardErrors[i][d]), 1e-9))
                << i << "," << d;
        }

    // Over the dependent categories the averages add up to 1 and every
    // predictor row to 0.
    for (int i = 1; i <= m; ++i) {
        double sum = 0;
        for (int d = 1; d <= D; ++d) sum += ts.Coefficients[i][d];
        EXPECT_NEAR(sum, i == 1 ? 1.0 : 0.0, 1e-12) << i;
    }

    // The prediction range is the smallest and largest prediction over every
    // combination of one category per predictor.
    for (int d = 1; d <= D; ++d) {
        double low = 1e300, high = -1e300;
        std::vector<int> chosen(c.predictors.size(), 1);
        for (;;) {
            double prediction = ts.Coefficients[1][d];
            for (std::size_t t = 0; t < chosen.size(); ++t)
                prediction += ts.Coefficients[test::Parameter(ts, static_cast<int>(t) + 1, chosen[t])][d];
            low = std::min(low, prediction);
            high = std::max(high, prediction);
            std::size_t t = 0;
            while (t < chosen.size() && ++chosen[t] > ts.CategoryCounts[c.predictors[t]]) chosen[t++] = 1;
            if (t == chosen.size()) break;
        }
        EXPECT_NEAR(ts.MinimumPrediction[d], 100 * low, 1e-10);
        EXPECT_NEAR(ts.MaximumPrediction[d], 100 * high, 1e-10);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RecordFitTest,
    ::testing::Values(FitCase{"OnePredictor", 11, {3, 4}, 400, 2, {1}},
                      FitCase{"PredictorsAboveDependent", 12, {3, 4, 2, 5}, 1500, 1, {2, 3, 4}},
                      FitCase{"PredictorsBelowDependent", 13, {4, 2, 6, 3, 5}, 2500, 5, {1, 2, 4}},
                      FitCase{"PredictorsAroundDependent", 14, {2, 5, 4, 3, 6, 2}, 3000, 3, {1, 2, 4, 5, 6}},
                      FitCase{"ManyCategories", 15, {16, 7, 16, 9}, 6000, 2, {1, 3, 4}}));

// ---- The prescribed order of arithmetic ----

// The inversion and the standard errors as plain element-by-element loops,
// each sum in the prescribed order, to check that the faster loop
// arrangement gives the same bits.
Matrix PlainFactor(const Matrix& a, int m) {
    Matrix l(m, m);
    for (int i = 1; i <= m; ++i) {
        for (int j = 1; j < i; ++j) {
            double s = a(i, j);
            for (int k = 1; k < j; ++k) s = s - l(i, k) * l(j, k);
            l(i, j) = s / l(j, j);
        }
        double s = a(i, i);
        for (int k = 1; k < i; ++k) s = s - l(i, k) * l(i, k);
        l(i, i) = std::sqrt(s);
    }
    return l;
}

Matrix PlainInverse(const Matrix& a, int m) {
    const Matrix l = PlainFactor(a, m);
    Matrix w(m, m), inverse(m, m);
    for (int i = 1; i <= m; ++i) {
        w(i, i) = 1 / l(i, i);
        for (int j = 1; j < i; ++j) {
            double s = 0;
            for (int k = j; k < i; ++k) s = s + l(i, k) * w(k, j);
            w(i, j) = -s / l(i, i);
        }
    }
    for (int i = 1; i <= m; ++i)
        for (int j = 1; j <= i; ++j) {
            double s = 0;
            for (int k = i; k <= m; ++k) s = s + w(k, i) * w(k, j);
            inverse(i, j) = inverse(j, i) = s;
        }
    return inverse;
}

std::vector<double> PlainVariances(const Matrix& inverse, const Matrix& crossProducts, int m) {
    std::vector<double> v(m + 1, 0.0);
    for (int i = 1; i <= m; ++i) {
        double s = 0;
        for (int j = 1; j <= m; ++j)
            for (int k = 1; k <= m; ++k) s = s + inverse(i, j) * crossProducts(j, k) * inverse(k, i);
        v[i] = s;
    }
    return v;
}

bool SameBits(double a, double b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// Runs the steps one by one on the 16 x 16 table set and compares every
// intermediate result bit for bit with the plain loops.
class LargestModelTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { records = new Records(DrawRecords(21, std::vector<int>(16, 16), 20000)); }
    static void TearDownTestSuite() { delete records; }
    static Records* records;
};
Records* LargestModelTest::records = nullptr;

TEST_F(LargestModelTest, EstimatesAllTwoHundredFortyOneParameters) {
    TableSet ts = CountPairTables(*records);
    std::vector<int> predictors;
    for (int v = 2; v <= 16; ++v) predictors.push_back(v);
    test::TempDir dir;
    CollectingWarningSink warnings;
    ASSERT_TRUE(test::Estimate(ts, 1, predictors, warnings, dir / "log"));
    EXPECT_TRUE(warnings.warnings.empty());
    ASSERT_EQ(ts.ParameterCount, MaxParameters);
    const int m = ts.ParameterCount;
    const double n = ts.TotalCount;
    EXPECT_EQ(n, 20000.0);
    for (int d = 1; d <= 16; ++d) {
        EXPECT_NEAR(ts.Coefficients[1][d], ts.RightHandSides(1, d) / n, 1e-12);
        // The normal equations X'X b = X'y hold ...
        for (int i = 1; i <= m; ++i) {
            double fitted = 0;
            for (int k = 1; k <= m; ++k) fitted += ts.CrossProducts(i, k) * ts.Coefficients[k][d];
            EXPECT_NEAR(fitted, ts.RightHandSides(i, d), 1e-9 * n) << i << "," << d;
        }
        // ... and so do the identifying constraints.
        for (int t = 1; t <= 15; ++t) {
            double weighted = 0;
            for (int k = 1; k <= 16; ++k)
                weighted +=
                    static_cast<double>(ts.MarginalTotals[t + 1][k]) * ts.Coefficients[test::Parameter(ts, t, k)][d];
            EXPECT_NEAR(weighted, 0.0, 1e-9 * n) << t << "," << d;
        }
    }
    // Four blocks of 241 lines, each followed by an empty line.
    const std::string log = test::ReadFile(dir / "log");
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 4 * (m + 1));
}

// The model of `predictors` (in increasing order) up to its constrained
// matrix; `plain` receives X'X as built.
TableSet ConstrainedModel(const Records& records, int dependent, const std::vector<int>& predictors,
                          OutputFile& log, const std::filesystem::path& logPath, Matrix& plain) {
    TableSet ts = CountPairTables(records);
    ts.DependentVariable = dependent;
    ts.PredictorCount = static_cast<int>(predictors.size());
    for (int t = 1; t <= ts.PredictorCount; ++t) ts.PredictorList[t] = predictors[static_cast<std::size_t>(t) - 1];
    CollectingWarningSink warnings;
    CheckMarginalTotals(ts, ts, warnings);
    BuildRightHandSides(ts, ts, ts, log, logPath);
    BuildCrossProducts(ts, ts, ts, log);
    plain = ts.CrossProducts;
    AddIdentifyingConstraints(ts, ts, ts, log);
    return ts;
}

std::vector<int> AllButFirst() {
    std::vector<int> predictors;
    for (int v = 2; v <= 16; ++v) predictors.push_back(v);
    return predictors;
}

// Runs `check` with every instruction set the kernels can use here.
template <class Check>
void WithEveryIsa(Check check) {
    for (const detail::Isa isa : detail::SupportedIsas()) {
        SCOPED_TRACE("instruction set " + std::to_string(static_cast<int>(isa)));
        const detail::ScopedIsa use(isa);
        check(isa);
    }
}

// Runs the steps one by one and compares every result bit for bit with the
// plain loops.
void ExpectEverySumInThePrescribedOrder(const Records& records, int dependent, const std::vector<int>& predictors) {
    WithEveryIsa([&](detail::Isa) {
        test::TempDir dir;
        CollectingWarningSink warnings;
        OutputFile log;
        Matrix plain;
        TableSet ts = ConstrainedModel(records, dependent, predictors, log, dir / "log", plain);
        const Matrix constrained = ts.CrossProducts;
        InvertMatrix(ts, warnings, log);
        ASSERT_EQ(ts.EstimationError, 0);
        const int m = ts.ParameterCount;
        const int D = ts.DependentCategoryCount;

        const Matrix inverse = PlainInverse(constrained, m);
        int differing = 0;
        for (int i = 1; i <= m; ++i)
            for (int j = 1; j <= m; ++j) {
                differing += !SameBits(ts.InverseMatrix(i, j), inverse(i, j));
                differing += !SameBits(ts.CrossProducts(i, j), plain(i, j));
            }
        EXPECT_EQ(differing, 0);

        ComputeCoefficients(ts, log);
        ComputeStandardErrors(ts, ts);
        const std::vector<double> v = PlainVariances(inverse, plain, m);
        for (int d = 1; d <= D; ++d) {
            const double p = static_cast<double>(ts.MarginalTotals[dependent][d]) / ts.TotalCount;
            const double w = (1 - p) * p;
            for (int i = 1; i <= m; ++i) {
                double coefficient = 0;
                for (int q = 1; q <= m; ++q) coefficient = coefficient + inverse(i, q) * ts.RightHandSides(q, d);
                differing += !SameBits(ts.Coefficients[i][d], coefficient);
                double x = v[i] * w;
                if (x < 0) x = 0;
                differing += !SameBits(ts.StandardErrors[i][d], 100 * std::sqrt(x));
            }
        }
        EXPECT_EQ(differing, 0);
    });
}

TEST_F(LargestModelTest, EverySumFollowsThePrescribedOrder) {
    ExpectEverySumInThePrescribedOrder(*records, 1, AllButFirst());
}

// 31 parameters and 5 dependent categories: no size a multiple of the
// kernels' tiles.
TEST(EstimationOrderTest, EverySumFollowsThePrescribedOrderInAnOddSizedModel) {
    ExpectEverySumInThePrescribedOrder(DrawRecords(22, {5, 3, 7, 2, 6, 4, 8}, 3000), 1, {2, 3, 4, 5, 6, 7});
}

// Zero entries of X'X are skipped only while every entry of M is finite:
// an infinite one times 0 is not a number, and must make its sums so.
TEST(EstimationOrderTest, ZeroTermsCountWhenTheInverseIsNotFinite) {
    constexpr int N = 3;
    const double x[N][N] = {{0, 0, 0}, {0, 1, 0}, {0, 0, 0}};
    WithEveryIsa([&](detail::Isa isa) {
        detail::KernelMatrix m(N);
        for (int i = 0; i < N; ++i)
            for (int j = 0; j < N; ++j) m(i, j) = i + j == 2 && i != j ? INFINITY : 1.0;
        std::vector<double> v(N);
        detail::SandwichDiagonal(isa, m, x[0], N, v.data(), 1);
        for (int i = 0; i < N; ++i) {
            double expected = 0;
            for (int j = 0; j < N; ++j)
                for (int k = 0; k < N; ++k) expected = expected + m(i, j) * x[j][k] * m(k, i);
            EXPECT_EQ(std::isnan(v[i]), std::isnan(expected)) << i;
            if (!std::isnan(expected)) {
                EXPECT_TRUE(SameBits(v[i], expected)) << i;
            }
        }
        EXPECT_TRUE(std::isnan(v[0]));
    });
}

// Row 38 made a copy of row 37 (in the lower triangle that the inversion
// reads): the factorisation stops there, and InverseMatrix holds the factor
// as far as the row-by-row factorisation got, nothing more.
TEST_F(LargestModelTest, SingularRowLeavesTheFactorAsFarAsItGot) {
    constexpr int Row = 38;
    constexpr double Untouched = 7.0;
    WithEveryIsa([&](detail::Isa) {
        test::TempDir dir;
        OutputFile log;
        Matrix plain;
        TableSet ts = ConstrainedModel(*records, 1, AllButFirst(), log, dir / "log", plain);
        const int m = ts.ParameterCount;
        Matrix& a = ts.CrossProducts;
        for (int j = 1; j < Row; ++j) a(Row, j) = a(Row - 1, std::min(j, Row - 1));
        a(Row, Row) = a(Row - 1, Row - 1);
        const Matrix constrained = a;
        const Matrix factor = PlainFactor(constrained, m);
        ts.InverseMatrix.resize(m, m);
        for (int i = 1; i <= m; ++i)
            for (int j = 1; j <= m; ++j) ts.InverseMatrix(i, j) = Untouched;

        CollectingWarningSink warnings;
        InvertMatrix(ts, warnings, log);
        EXPECT_EQ(ts.EstimationError, 1);
        EXPECT_EQ(warnings.warnings, std::vector<std::string>{"Error: Matrix is singular !"});
        int differing = 0;
        for (int i = 1; i <= m; ++i)
            for (int j = 1; j <= m; ++j) {
                const bool reached = j <= i && (i < Row || (i == Row && j < Row));
                differing += !SameBits(ts.InverseMatrix(i, j), reached ? factor(i, j) : Untouched);
                differing += !SameBits(ts.CrossProducts(i, j), constrained(i, j));
            }
        EXPECT_EQ(differing, 0);
    });
}

bool SameMatrix(const Matrix& a, const Matrix& b) {
    if (a.rows() != b.rows() || a.columns() != b.columns()) return false;
    for (int i = 1; i <= a.rows(); ++i)
        for (int j = 1; j <= a.columns(); ++j)
            if (!SameBits(a(i, j), b(i, j))) return false;
    return true;
}

template <class Array>
bool SameArray(const Array& a, const Array& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// What ComputeEstimates leaves (it shares the work of large models with a
// helper thread, and writes the log's block 3 partly from block 2's text)
// must be exactly what the operations one by one leave; so must what
// ComputeEstimatesWithoutLog leaves, which writes no file.
void ExpectWholeRunAsOneByOne(const TableSet& model, bool singular) {
    test::TempDir dir;
    TableSet one = model;
    TableSet run = model;
    CollectingWarningSink oneWarnings;
    OutputFile log;
    CheckMarginalTotals(one, one, oneWarnings);
    BuildRightHandSides(one, one, one, log, dir / "one");
    BuildCrossProducts(one, one, one, log);
    AddIdentifyingConstraints(one, one, one, log);
    InvertMatrix(one, oneWarnings, log);
    if (one.EstimationError == 0) {
        ComputeCoefficients(one, log);
        ComputeStandardErrors(one, one);
        ComputePredictionRange(one, one, one);
    }
    CollectingWarningSink runWarnings;
    EXPECT_EQ(ComputeEstimates(run, runWarnings, dir / "run"), !singular);
    EXPECT_EQ(test::ReadFile(dir / "run"), test::ReadFile(dir / "one"));
    // The same without the log.
    TableSet quiet = model;
    CollectingWarningSink quietWarnings;
    EXPECT_EQ(ComputeEstimatesWithoutLog(quiet, quietWarnings), !singular);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 2);

    EXPECT_EQ(one.EstimationError, singular ? 1 : 0);
    for (const auto& [result, warnings] : {std::pair<const TableSet*, const CollectingWarningSink*>{&run, &runWarnings},
                                           {&quiet, &quietWarnings}}) {
        EXPECT_EQ(result->EstimationError, one.EstimationError);
        EXPECT_EQ(warnings->warnings, oneWarnings.warnings);
        EXPECT_TRUE(SameMatrix(result->InverseMatrix, one.InverseMatrix));
        EXPECT_TRUE(SameMatrix(result->CrossProducts, one.CrossProducts));
        EXPECT_TRUE(SameArray(result->Coefficients, one.Coefficients));
        EXPECT_TRUE(SameArray(result->StandardErrors, one.StandardErrors));
        EXPECT_TRUE(SameArray(result->MinimumPrediction, one.MinimumPrediction));
        EXPECT_TRUE(SameArray(result->MaximumPrediction, one.MaximumPrediction));
    }
}

TableSet WithModel(TableSet ts, int dependent, const std::vector<int>& predictors) {
    ts.DependentVariable = dependent;
    ts.PredictorCount = static_cast<int>(predictors.size());
    for (int t = 1; t <= ts.PredictorCount; ++t) ts.PredictorList[t] = predictors[static_cast<std::size_t>(t) - 1];
    return ts;
}

TEST_F(LargestModelTest, WholeRunEqualsTheOperationsOneByOne) {
    ExpectWholeRunAsOneByOne(WithModel(CountPairTables(*records), 1, AllButFirst()), false);
    // Variable 9 never takes category 5: its row of the matrix is 0.
    Records withoutCategory = *records;
    std::erase_if(withoutCategory.rows, [](const std::vector<int>& row) { return row[9] == 5; });
    ExpectWholeRunAsOneByOne(WithModel(CountPairTables(withoutCategory), 1, AllButFirst()), true);
}

// A million cases: N and a few other entries need more than block 2's 8
// characters.
TEST(EstimationOrderTest, WholeRunEqualsTheOperationsOneByOneWithWideNumbers) {
    TableSet ts = CountPairTables(DrawRecords(23, {3, 4, 5, 2}, 2000));
    for (auto& table : ts.PairTables)
        for (auto& row : table)
            for (auto& cell : row) cell *= 500;
    ExpectWholeRunAsOneByOne(WithModel(ts, 1, {2, 3, 4}), false);
}

}  // namespace
}  // namespace kelvo
