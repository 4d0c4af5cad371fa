// The estimation on small table sets whose results are known by hand: the
// consistency check, the normal equations, singular models and the log.
#include "estimation.h"

#include <gtest/gtest.h>

#include <cmath>

#include "estimation_support.h"
#include "io_error.h"
#include "table_set_file.h"
#include "test_support.h"

namespace kelvo {
namespace {

using test::Estimate;
using test::MakeTableSet;
using test::SetTable;

// ---- The worked example: one predictor of 30 and 70 cases ----

TableSet WorkedExample(bool predictorFirst) { return test::ThirtySeventy(predictorFirst); }

class WorkedExampleTest : public ::testing::TestWithParam<bool> {};

TEST_P(WorkedExampleTest, GivesTheKnownCoefficientsErrorsAndRange) {
    TableSet ts = WorkedExample(GetParam());
    const int group = GetParam() ? 1 : 2;
    test::TempDir dir;
    CollectingWarningSink warnings;
    ASSERT_TRUE(Estimate(ts, 3 - group, {group}, warnings, dir / "log"));
    EXPECT_TRUE(warnings.warnings.empty());
    EXPECT_EQ(ts.EstimationError, 0);
    ASSERT_EQ(ts.ParameterCount, 3);
    ASSERT_EQ(ts.DependentCategoryCount, 2);
    EXPECT_EQ(ts.TotalCount, 100.0);
    // Right-hand sides: (group category, vote category) counts either way round.
    EXPECT_EQ(ts.RightHandSides(2, 1), 10.0);
    EXPECT_EQ(ts.RightHandSides(2, 2), 20.0);
    EXPECT_EQ(ts.RightHandSides(3, 1), 35.0);

    const double coefficients[3][2] = {{0.45, 0.55}, {10.0 / 30 - 0.45, 20.0 / 30 - 0.55}, {0.05, -0.05}};
    const double errors[3] = {4.9749, 7.5993, 3.2569};
    for (int p = 1; p <= 3; ++p)
        for (int d = 1; d <= 2; ++d) {
            EXPECT_NEAR(ts.Coefficients[p][d], coefficients[p - 1][d - 1], 1e-12) << p << "," << d;
            EXPECT_NEAR(ts.StandardErrors[p][d], errors[p - 1], 5e-5) << p << "," << d;
        }
    EXPECT_NEAR(ts.Coefficients[2][1], -0.116667, 5e-7);
    // The error of the average is 100 sqrt(p (1 - p) / N).
    EXPECT_NEAR(ts.StandardErrors[1][1], 100 * std::sqrt(0.2475 / 100), 1e-12);
    EXPECT_NEAR(ts.MinimumPrediction[1], 100.0 / 3, 1e-10);
    EXPECT_NEAR(ts.MaximumPrediction[1], 50.0, 1e-10);
    EXPECT_NEAR(ts.MinimumPrediction[2], 50.0, 1e-10);
    EXPECT_NEAR(ts.MaximumPrediction[2], 200.0 / 3, 1e-10);
}

INSTANTIATE_TEST_SUITE_P(PredictorBelowAndAboveDependent, WorkedExampleTest, ::testing::Bool());

TEST(EstimationTest, ConstrainedMatrixIsInvertedAndCrossProductsRestored) {
    TableSet ts = WorkedExample(true);
    ts.DependentVariable = 2;
    ts.PredictorCount = 1;
    ts.PredictorList[1] = 1;
    test::TempDir dir;
    CollectingWarningSink warnings;
    OutputFile log;
    Matrix plain;
    test::BuildNormalEquations(ts, warnings, log, dir / "log", &plain);
    const double constrained[3][3] = {{100, 30, 70}, {30, 930, 2100}, {70, 2100, 4970}};
    const double upper[3][3] = {{100, 30, 70}, {30, 930, 0}, {70, 2100, 4970}};
    for (int i = 1; i <= 3; ++i)
        for (int j = 1; j <= 3; ++j) EXPECT_EQ(ts.CrossProducts(i, j), upper[i - 1][j - 1]) << i << "," << j;

    InvertMatrix(ts, warnings, log);
    ASSERT_EQ(ts.EstimationError, 0);
    for (int i = 1; i <= 3; ++i)
        for (int j = 1; j <= 3; ++j) {
            EXPECT_EQ(ts.CrossProducts(i, j), plain(i, j));
            EXPECT_EQ(ts.InverseMatrix(i, j), ts.InverseMatrix(j, i));
            double product = 0;
            for (int k = 1; k <= 3; ++k) product += ts.InverseMatrix(i, k) * constrained[k - 1][j - 1];
            EXPECT_NEAR(product, i == j ? 1.0 : 0.0, 1e-12) << i << "," << j;
        }
}

// Predictors 2 (3 categories) and 5 (4 categories), dependent 3: variable 2's
// block is parameters 2..4, variable 5's 5..8, and their cross products are
// table (5,2) transposed above the diagonal and as stored below it.
TEST(EstimationTest, PredictorBlocksFollowPredictorOrder) {
    TableSet ts = MakeTableSet({{"V1", {"a", "b"}},
                                {"V2", {"a", "b", "c"}},
                                {"V3", {"a", "b"}},
                                {"V4", {"a", "b"}},
                                {"V5", {"a", "b", "c", "d"}}});
    // Consistent tables from a product of margins, so the model is regular.
    const int margins[6][5] = {{}, {6, 4}, {3, 4, 3}, {5, 5}, {2, 8}, {1, 2, 3, 4}};
    for (int i = 2; i <= 5; ++i)
        for (int j = 1; j < i; ++j)
            for (int x = 1; x <= ts.CategoryCounts[i]; ++x)
                for (int y = 1; y <= ts.CategoryCounts[j]; ++y)
                    ts.PairTables[PairIndex(i, j)][x][y] = margins[i][x - 1] * margins[j][y - 1] * 10;
    // Makes table (5,2) recognisable and keeps its totals.
    auto& table52 = ts.PairTables[PairIndex(5, 2)];
    table52[1][1] += 7;
    table52[1][2] -= 7;
    table52[2][1] -= 7;
    table52[2][2] += 7;
    test::TempDir dir;
    CollectingWarningSink warnings;
    ASSERT_TRUE(Estimate(ts, 3, {2, 5}, warnings, dir / "log"));
    EXPECT_EQ(warnings.warnings, std::vector<std::string>{});
    ASSERT_EQ(ts.ParameterCount, 8);
    EXPECT_EQ(test::Parameter(ts, 2, 1), 5);
    for (int r = 1; r <= 4; ++r)
        for (int k = 1; k <= 3; ++k) {
            EXPECT_EQ(ts.CrossProducts(4 + r, 1 + k), ts.PairTables[PairIndex(5, 2)][r][k]);
            EXPECT_EQ(ts.CrossProducts(1 + k, 4 + r), ts.PairTables[PairIndex(5, 2)][r][k]);
        }
    for (int k = 1; k <= 3; ++k) EXPECT_EQ(ts.CrossProducts(1 + k, 1 + k), ts.MarginalTotals[2][k]);
    EXPECT_EQ(ts.CrossProducts(2, 3), 0.0);  // two categories of one variable
}

TEST(EstimationTest, TotalCountComesFromFirstPredictorTable) {
    TableSet ts = MakeTableSet({{"Y", {"a", "b"}}, {"P", {"a", "b"}}, {"Q", {"a", "b"}}});
    SetTable(ts, 2, 1, {{10, 20}, {30, 40}});  // 100 cases
    SetTable(ts, 3, 1, {{20, 30}, {20, 30}});
    SetTable(ts, 3, 2, {{25, 25}, {25, 26}});  // 101 cases
    test::TempDir dir;
    CollectingWarningSink warnings;
    Estimate(ts, 1, {2, 3}, warnings, dir / "log");
    EXPECT_EQ(ts.TotalCount, 100.0);
    // The mismatch named the column variable of the last table.
    EXPECT_FALSE(warnings.warnings.empty());
    EXPECT_EQ(warnings.warnings.front(), "Totals do not match for variable P");
}

TEST(EstimationTest, TitanicAveragesAreTheSurvivalProportions) {
    auto read = test::ReadExample("titanic.tbl");
    TableSet& ts = *read;
    CollectingWarningSink warnings;
    test::TempDir dir;
    ASSERT_TRUE(Estimate(ts, FindVariable(ts, "Survived"), {FindVariable(ts, "Class"), FindVariable(ts, "Sex")},
                         warnings, dir / "log"));
    EXPECT_TRUE(warnings.warnings.empty());
    EXPECT_NEAR(ts.Coefficients[1][1], 1490.0 / 2201, 1e-14);
    EXPECT_NEAR(ts.Coefficients[1][2], 711.0 / 2201, 1e-14);
    EXPECT_TRUE(test::MatchesGolden("estimation_titanic.log", test::ReadFile(dir / "log")));
}

// The log is written over the last one in place: a longer earlier log, or
// a file that held anything else, must leave nothing after the new log.
TEST(EstimationTest, ALogWrittenOverALongerOneHoldsOnlyTheNewLog) {
    auto read = test::ReadExample("titanic.tbl");
    TableSet& ts = *read;
    CollectingWarningSink warnings;
    test::TempDir dir;
    test::WriteFile(dir / "log", std::string(3'000'000, 'x'));
    ASSERT_TRUE(Estimate(ts, FindVariable(ts, "Survived"), {FindVariable(ts, "Class"), FindVariable(ts, "Sex")},
                         warnings, dir / "log"));
    EXPECT_TRUE(test::MatchesGolden("estimation_titanic.log", test::ReadFile(dir / "log")));
}

// ---- Consistency check ----

struct CheckCase {
    const char* name;
    int variables;
    // Table to spoil: rows of the later variable i, columns of j; +1 in one
    // cell and -1 in another so that either row or column totals change.
    int i, j;
    int spoiledRow1, spoiledColumn1, spoiledRow2, spoiledColumn2;
    std::vector<std::string> warnings;
    int error;
};

void PrintTo(const CheckCase& c, std::ostream* os) {
    *os << c.name;
}

// Every variable has categories a, b, c; every table is the same consistent
// 3 x 3 table before one of them is spoiled.
TableSet CheckTableSet(const CheckCase& c) {
    TableSet ts;
    for (int v = 1; v <= c.variables; ++v) {
        ts.VariableCount = v;
        ts.VariableNames[v] = "V" + std::to_string(v);
        ts.CategoryCounts[v] = 3;
    }
    for (int i = 2; i <= c.variables; ++i)
        for (int j = 1; j < i; ++j) SetTable(ts, i, j, {{5, 1, 2}, {1, 6, 3}, {2, 3, 7}});
    if (c.i > 0) {
        ts.PairTables[PairIndex(c.i, c.j)][c.spoiledRow1][c.spoiledColumn1] += 1;
        ts.PairTables[PairIndex(c.i, c.j)][c.spoiledRow2][c.spoiledColumn2] -= 1;
    }
    return ts;
}

class CheckMarginalTotalsTest : public ::testing::TestWithParam<CheckCase> {};

TEST_P(CheckMarginalTotalsTest, WarnsAfterEveryPairFromTheMismatchOn) {
    const CheckCase& c = GetParam();
    TableSet ts = CheckTableSet(c);
    CollectingWarningSink warnings;
    CheckMarginalTotals(ts, ts, warnings);
    EXPECT_EQ(warnings.warnings, c.warnings);
    EXPECT_EQ(ts.EstimationError, c.error);
    // Every variable keeps the totals of its first table, which is unspoiled
    // in every case but the first pair's.
    if (!(c.i == 2 && c.j == 1)) {
        for (int v = 1; v <= c.variables; ++v) EXPECT_EQ(ts.MarginalTotals[v][1], 8) << v;
    }
}

const std::string Mismatch = "Totals do not match for variable ";

INSTANTIATE_TEST_SUITE_P(Cases, CheckMarginalTotalsTest,
                         ::testing::Values(CheckCase{"Consistent", 4, 0, 0, 0, 0, 0, 0, {}, 0},
                                           // Row totals of (3,2) change: variable 3 disagrees with table (3,1).
                                           CheckCase{"RowsOfLastTable", 3, 3, 2, 1, 1, 2, 1, {Mismatch + "V3"}, 3},
                                           // Column totals of (3,2) change: variable 2 disagrees with (2,1).
                                           CheckCase{"ColumnsOfLastTable", 3, 3, 2, 1, 1, 1, 2, {Mismatch + "V2"}, 2},
                                           // Both change: the column variable is named.
                                           CheckCase{"BothOfLastTable", 3, 3, 2, 1, 1, 2, 2, {Mismatch + "V2"}, 2},
                                           // V1's column totals in (3,1) of four variables disagree with (2,1);
                                           // the warning follows (3,1) and is repeated after (3,2), (4,1),
                                           // (4,2) and (4,3), whose totals all agree.
                                           CheckCase{"RepeatedAfterEveryLaterPair", 4, 3, 1, 1, 1, 1, 2,
                                                     std::vector<std::string>(5, Mismatch + "V1"), 1},
                                           // The first table fixes V2's totals, so the sound table (3,2) is the
                                           // one found to disagree.
                                           CheckCase{"FirstTableSpoiled", 3, 2, 1, 1, 1, 2, 1, {Mismatch + "V2"}, 2}));

TEST(CheckMarginalTotalsTest, SumsTotalsBeyondThirtyTwoBits) {
    TableSet ts = MakeTableSet({{"A", {"a", "b"}}, {"B", {"a", "b"}}});
    const std::int32_t big = 2147483000;  // close to 2^31 - 1
    SetTable(ts, 2, 1, {{big, big}, {big, 1}});
    CollectingWarningSink warnings;
    CheckMarginalTotals(ts, ts, warnings);
    EXPECT_TRUE(warnings.warnings.empty());
    EXPECT_EQ(ts.MarginalTotals[2][1], 2 * std::int64_t{big});
    EXPECT_EQ(ts.MarginalTotals[1][1], 2 * std::int64_t{big});
    EXPECT_EQ(ts.MarginalTotals[1][2], std::int64_t{big} + 1);
}

TEST(EstimationTest, LargeCountsGiveExactTotalsAndAverages) {
    TableSet ts = MakeTableSet({{"Y", {"a", "b"}}, {"P", {"a", "b", "c"}}});
    const std::int32_t big = 2147483000;
    SetTable(ts, 2, 1, {{big, big - 5}, {big - 9, 1000}, {big - 1, big}});
    test::TempDir dir;
    CollectingWarningSink warnings;
    ASSERT_TRUE(Estimate(ts, 1, {2}, warnings, dir / "log"));
    const std::int64_t yes = 3 * std::int64_t{big} - 10;
    const std::int64_t no = 2 * std::int64_t{big} - 5 + 1000;
    EXPECT_EQ(ts.MarginalTotals[1][1], yes);
    EXPECT_EQ(ts.TotalCount, static_cast<double>(yes + no));
    EXPECT_NEAR(ts.Coefficients[1][1], static_cast<double>(yes) / static_cast<double>(yes + no), 1e-12);
    // The second category: average plus deviation is its own proportion. The
    // constraints, of the order of N^2 = 10^20 here, leave about N x 1e-16 of
    // relative precision to the cross products.
    EXPECT_NEAR(ts.Coefficients[1][1] + ts.Coefficients[3][1], (big - 9.0) / (big - 9.0 + 1000), 1e-6);
}

TEST(EstimationTest, MismatchOutsideTheModelWarnsAndEstimationGoesOn) {
    TableSet ts = WorkedExample(true);
    ts.VariableCount = 3;
    ts.VariableNames[3] = "Other";
    ts.CategoryCounts[3] = 2;
    SetTable(ts, 3, 1, {{30, 70}, {0, 0}});
    SetTable(ts, 3, 2, {{45, 54}, {0, 1}});  // Other: 99 and 1 here, 100 and 0 above
    test::TempDir dir;
    CollectingWarningSink warnings;
    ASSERT_TRUE(Estimate(ts, 2, {1}, warnings, dir / "log"));
    EXPECT_EQ(warnings.warnings, std::vector<std::string>{Mismatch + "Other"});
    EXPECT_EQ(ts.EstimationError, 0);  // cleared by the inversion
    EXPECT_NEAR(ts.Coefficients[1][1], 0.45, 1e-12);
}

// ---- Singular models ----

struct SingularCase {
    const char* name;
    TableSet (*make)();
    int dependent;
    std::vector<int> predictors;
};

void PrintTo(const SingularCase& c, std::ostream* os) {
    *os << c.name;
}

TableSet ZeroCategory() {
    TableSet ts = MakeTableSet({{"Y", {"a", "b"}}, {"P", {"a", "b", "c"}}});
    SetTable(ts, 2, 1, {{10, 20}, {0, 0}, {30, 5}});
    return ts;
}

// Q groups the categories of P: P's a and b are Q's x, P's c is Q's y.
TableSet CollinearPredictors() {
    TableSet ts = MakeTableSet({{"P", {"a", "b", "c"}}, {"Q", {"x", "y"}}, {"Y", {"a", "b"}}});
    SetTable(ts, 2, 1, {{10, 20, 0}, {0, 0, 30}});
    SetTable(ts, 3, 1, {{4, 15, 10}, {6, 5, 20}});
    SetTable(ts, 3, 2, {{19, 10}, {11, 20}});
    return ts;
}

// The same grouping in 460,000 cases. Rounding leaves a last pivot of about
// 5e-5, far above the absolute bound 1e-10, but about 1e-15 of its diagonal.
TableSet CollinearPredictorsManyCases() {
    TableSet ts = MakeTableSet({{"P", {"a", "b", "c", "d"}}, {"Q", {"x", "y"}}, {"Y", {"a", "b"}}});
    SetTable(ts, 2, 1, {{120000, 80000, 0, 0}, {0, 0, 150000, 110000}});
    SetTable(ts, 3, 1, {{50000, 30000, 90000, 10000}, {70000, 50000, 60000, 100000}});
    SetTable(ts, 3, 2, {{80000, 100000}, {120000, 160000}});
    return ts;
}

TableSet AllZeroFirstTable() {
    TableSet ts = MakeTableSet({{"Y", {"a", "b"}}, {"P", {"a", "b"}}, {"Q", {"a", "b"}}});
    SetTable(ts, 3, 1, {{10, 20}, {30, 40}});
    SetTable(ts, 3, 2, {{0, 30}, {0, 70}});
    return ts;
}

class SingularTest : public ::testing::TestWithParam<SingularCase> {};

TEST_P(SingularTest, StopsWithWarningAndKeepsEarlierResults) {
    const SingularCase& c = GetParam();
    test::TempDir dir;
    CollectingWarningSink warnings;
    // A good estimation first, whose results must survive.
    TableSet ts = c.make();
    TableSet good = WorkedExample(true);
    ASSERT_TRUE(Estimate(good, 2, {1}, warnings, dir / "log"));
    ts.Coefficients = good.Coefficients;
    ts.StandardErrors = good.StandardErrors;
    ts.MinimumPrediction = good.MinimumPrediction;
    warnings.warnings.clear();

    EXPECT_FALSE(Estimate(ts, c.dependent, c.predictors, warnings, dir / "log"));
    ASSERT_FALSE(warnings.warnings.empty());
    EXPECT_EQ(warnings.warnings.back(), "Error: Matrix is singular !");
    EXPECT_EQ(ts.EstimationError, 1);
    EXPECT_EQ(ts.Coefficients, good.Coefficients);
    EXPECT_EQ(ts.StandardErrors, good.StandardErrors);
    EXPECT_EQ(ts.MinimumPrediction, good.MinimumPrediction);
    // The log ends with block 3 and one more empty line.
    const std::string log = test::ReadFile(dir / "log");
    ASSERT_GE(log.size(), 8u);
    EXPECT_EQ(log.substr(log.size() - 8), ".0\r\n\r\n\r\n");
}

INSTANTIATE_TEST_SUITE_P(Cases, SingularTest,
                         ::testing::Values(SingularCase{"ZeroCategory", ZeroCategory, 1, {2}},
                                           SingularCase{"CollinearPredictors", CollinearPredictors, 3, {1, 2}},
                                           SingularCase{"CollinearManyCases", CollinearPredictorsManyCases, 3, {1, 2}},
                                           SingularCase{"AllZeroFirstTable", AllZeroFirstTable, 1, {2, 3}}));

// The last pivot of the many-cases model, by the plain factorisation: far
// above the absolute bound, so only the relative rule finds the collinearity.
TEST(SingularTest, ManyCasesDefeatTheAbsoluteBoundAlone) {
    TableSet ts = CollinearPredictorsManyCases();
    ts.DependentVariable = 3;
    ts.PredictorCount = 2;
    ts.PredictorList[1] = 1;
    ts.PredictorList[2] = 2;
    test::TempDir dir;
    CollectingWarningSink warnings;
    OutputFile log;
    test::BuildNormalEquations(ts, warnings, log, dir / "log");
    const Matrix& a = ts.CrossProducts;
    const int m = ts.ParameterCount;
    Matrix l(m, m);
    double pivot = 0;
    for (int i = 1; i <= m; ++i) {
        for (int j = 1; j < i; ++j) {
            double s = a(i, j);
            for (int k = 1; k < j; ++k) s -= l(i, k) * l(j, k);
            l(i, j) = s / l(j, j);
        }
        pivot = a(i, i);
        for (int k = 1; k < i; ++k) pivot -= l(i, k) * l(i, k);
        if (i < m) {
            ASSERT_GT(pivot, 1.0);
        }
        l(i, i) = std::sqrt(pivot);
    }
    EXPECT_GT(pivot, 1e-6);
    EXPECT_LT(pivot, 1e-12 * a(m, m));
}

struct PivotCase {
    double pivot;
    bool singular;
};

class PivotTest : public ::testing::TestWithParam<PivotCase> {};

// A 2 x 2 matrix (1e6, 1e6; 1e6, 1e6 + e): its second pivot is about e and
// its diagonal 1e6, so e = 1e-7 is above the absolute bound but below
// 1e-12 x 1e6; a 1 x 1 matrix (e) tests the absolute bound alone.
TEST_P(PivotTest, AbsoluteAndRelativeBounds) {
    const PivotCase& c = GetParam();
    for (const bool scaled : {false, true}) {
        if (scaled && !(c.pivot >= 1e-10)) continue;
        TableSet ts;
        const int m = scaled ? 2 : 1;
        ts.ParameterCount = m;
        ts.CrossProducts.resize(m, m);
        if (scaled) {
            ts.CrossProducts(1, 1) = ts.CrossProducts(2, 1) = ts.CrossProducts(1, 2) = 1e6;
            ts.CrossProducts(2, 2) = 1e6 + c.pivot;
        } else {
            ts.CrossProducts(1, 1) = c.pivot;
        }
        ts.DiagonalCopy.assign(m + 1, 0.0);
        test::TempDir dir;
        OutputFile log;
        log.Create(dir / "log");
        CollectingWarningSink warnings;
        InvertMatrix(ts, warnings, log);
        const bool expected = scaled ? c.pivot <= 1e-12 * 1e6 : c.singular;
        EXPECT_EQ(ts.EstimationError, expected ? 1 : 0) << c.pivot << (scaled ? " scaled" : "");
        EXPECT_EQ(warnings.warnings.size(), expected ? 1u : 0u);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, PivotTest,
                         ::testing::Values(PivotCase{0.0, true}, PivotCase{-1.0, true}, PivotCase{1e-11, true},
                                           PivotCase{1e-9, false}, PivotCase{1e-7, false}, PivotCase{1e-5, false},
                                           PivotCase{std::nan(""), true}));

// ---- The log and its failures ----

TEST(EstimationTest, LogThatCannotBeWrittenEndsTheEstimation) {
    TableSet ts = WorkedExample(true);
    ts.Coefficients[1][1] = 0.75;  // from an earlier estimation
    test::TempDir dir;
    CollectingWarningSink warnings;
    try {
        Estimate(ts, 2, {1}, warnings, dir / "missing" / "log");
        FAIL() << "no IoError";
    } catch (const IoError& e) {
        EXPECT_STREQ(e.what(), "Path not found");
    }
    // What came before the log was computed; nothing after it.
    EXPECT_EQ(ts.RightHandSides(2, 1), 10.0);
    EXPECT_EQ(ts.ParameterCount, 3);
    EXPECT_EQ(ts.Coefficients[1][1], 0.75);
}

TEST(EstimationTest, SelectionFromRolesIsInVariableOrder) {
    TableSet ts = MakeTableSet({{"A", {"a", "b"}},
                                {"B", {"a", "b"}},
                                {"C", {"a", "b"}},
                                {"D", {"a", "b"}},
                                {"E", {"a", "b"}},
                                {"F", {"a", "b"}},
                                {"G", {"a", "b"}}});
    ts.VariableRoles[5] = 2;
    ts.VariableRoles[2] = 2;
    ts.VariableRoles[7] = 2;
    ts.VariableRoles[4] = 1;
    ts.PredictorList[4] = 99;  // a leftover beyond the new count stays unread
    SelectModelFromRoles(ts, ts);
    EXPECT_EQ(ts.DependentVariable, 4);
    ASSERT_EQ(ts.PredictorCount, 3);
    EXPECT_EQ(ts.PredictorList[1], 2);
    EXPECT_EQ(ts.PredictorList[2], 5);
    EXPECT_EQ(ts.PredictorList[3], 7);
}

TEST(EstimationTest, InvalidSelectionIsRefusedBeforeAnythingChanges) {
    TableSet ts = WorkedExample(true);
    test::TempDir dir;
    CollectingWarningSink warnings;
    ts.DependentVariable = 2;
    ts.PredictorCount = 0;
    EXPECT_THROW(ComputeEstimates(ts, warnings, dir / "log"), std::invalid_argument);
    ts.PredictorCount = 1;
    ts.PredictorList[1] = 2;  // the dependent itself
    EXPECT_THROW(ComputeEstimates(ts, warnings, dir / "log"), std::invalid_argument);
    ts.PredictorList[1] = 3;  // no such variable
    EXPECT_THROW(ComputeEstimates(ts, warnings, dir / "log"), std::invalid_argument);
    EXPECT_FALSE(std::filesystem::exists(dir / "log"));
    EXPECT_EQ(ts.ParameterCount, 0);
}

// A table-set file may define a variable without categories: a model that
// uses it is refused with a reason, any other model is estimated.
TEST(EstimationTest, VariableWithoutCategories) {
    TableSet ts = MakeTableSet({{"P", {"a", "b"}}, {"Y", {"a", "b"}}, {"E", {}}});
    SetTable(ts, 2, 1, {{10, 20}, {5, 15}});
    test::TempDir dir;
    CollectingWarningSink warnings;
    EXPECT_TRUE(Estimate(ts, 2, {1}, warnings, dir / "log"));
    for (const auto& [dependent, predictors] : {std::pair<int, std::vector<int>>{3, {1}}, {2, {1, 3}}}) {
        try {
            Estimate(ts, dependent, predictors, warnings, dir / "log");
            ADD_FAILURE() << "accepted";
        } catch (const std::invalid_argument& e) {
            EXPECT_STREQ(e.what(), "Variable E has no categories");
        }
    }
}

TEST(EstimationTest, DependentCategoryWithoutCasesHasZeroErrors) {
    TableSet ts = MakeTableSet({{"P", {"a", "b"}}, {"Y", {"a", "b", "c"}}});
    SetTable(ts, 2, 1, {{10, 20}, {0, 0}, {5, 15}});
    test::TempDir dir;
    CollectingWarningSink warnings;
    ASSERT_TRUE(Estimate(ts, 2, {1}, warnings, dir / "log"));
    for (int p = 1; p <= 3; ++p) {
        EXPECT_EQ(ts.StandardErrors[p][2], 0.0);
        EXPECT_GT(ts.StandardErrors[p][1], 0.0);
    }
}

}  // namespace
}  // namespace kelvo
