// The odds-ratio model from pair tables against a Poisson regression of the
// full table of records, against closed forms, on tables with empty cells,
// and at its limits.
#include "odds_ratio_fit.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "loglinear_reference.h"
#include "model_results.h"
#include "test_support.h"

namespace kelvo {
namespace {

using test::JointCounts;
using test::ParameterKey;

ModelSelection Selection(int dependent, const std::vector<int>& predictors) {
    ModelSelection model;
    model.DependentVariable = dependent;
    for (const int v : predictors) model.PredictorList[++model.PredictorCount] = v;
    return model;
}

using Case = test::RecordModel;

class AgainstPoissonRegression : public ::testing::TestWithParam<Case> {};

// Parameters, their standard errors and the likelihood-ratio tests agree
// with the regression on the records to 1e-8 relative.
TEST_P(AgainstPoissonRegression, ParametersErrorsAndTests) {
    const Case& c = GetParam();
    const test::Records records = test::DrawRecords(c.seed, c.categories, c.records);
    std::vector<int> order = {c.dependent};
    order.insert(order.end(), c.predictors.begin(), c.predictors.end());
    const JointCounts joint = test::CountJoint(records, order);
    const TableSet ts = test::PairTablesOf(joint);
    std::vector<int> predictors;
    for (std::size_t t = 1; t < order.size(); ++t) predictors.push_back(static_cast<int>(t) + 1);
    const OddsRatioModel model = FitOddsRatioModel(ts, Selection(1, predictors));
    ASSERT_TRUE(model.converged);
    EXPECT_TRUE(model.Warnings().empty());

    const int V = static_cast<int>(order.size());
    const test::PoissonFit full = test::FitPoisson(joint, test::AllPairsOf(V));
    for (const OddsRatioParameter& p : model.parameters) {
        const ParameterKey key{0, p.predictor, p.dependentCategory, p.category};
        EXPECT_TRUE(test::NearRelative(p.logOddsRatio, static_cast<double>(full.beta.at(key)), 1e-8));
        EXPECT_TRUE(test::NearRelative(p.standardError, static_cast<double>(full.standardError.at(key)), 1e-8));
        EXPECT_NEAR(p.Lower(), std::exp(p.logOddsRatio - 1.959963985 * p.standardError), 1e-12 * p.OddsRatio());
    }
    for (const OddsRatioTest& test : model.tests) {
        std::vector<std::pair<int, int>> pairs;
        for (const auto& pair : test::AllPairsOf(V))
            if (pair != std::pair{0, test.predictor}) pairs.push_back(pair);
        const double g2 = static_cast<double>(test::FitPoisson(joint, pairs).deviance - full.deviance);
        EXPECT_TRUE(test::NearRelative(test.g2, g2, 1e-8)) << test.g2 << " " << g2;
        EXPECT_EQ(test.df, (joint.categories[0] - 1) * (joint.categories[static_cast<std::size_t>(test.predictor)] - 1));
        EXPECT_GE(test.pValue, 0);
        EXPECT_LE(test.pValue, 1);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Records, AgainstPoissonRegression,
    ::testing::Values(Case{"ThreeOnTwoAndFour", 11, {3, 2, 4}, 1500, 2, {1, 3}},
                      Case{"BinaryOnThree", 12, {2, 3, 2, 3}, 3000, 4, {1, 2, 3}},
                      Case{"FourCategoriesOnThree", 13, {4, 2, 2, 3}, 4000, 1, {2, 3, 4}},
                      Case{"OnePredictor", 14, {3, 3}, 500, 2, {1}}),
    [](const auto& info) { return std::string(info.param.name); });

// A 2 x 2 table: the log odds ratio, Woolf's standard error sqrt(sum 1/n)
// and G2 of independence, 2 sum n log(n N / (row x column)).
TEST(OddsRatioModelTest, TwoByTwoClosedForm) {
    TableSet ts = test::MakeTableSet({{"Dep", {"No", "Yes"}}, {"Group", {"A", "B"}}});
    const double n11 = 40, n12 = 15, n21 = 10, n22 = 35;  // rows Dep, columns Group
    test::SetTable(ts, 1, 2, {{40, 15}, {10, 35}});
    const OddsRatioModel model = FitOddsRatioModel(ts, Selection(1, {2}));
    ASSERT_EQ(model.parameters.size(), 1u);
    const OddsRatioParameter& p = model.parameters[0];
    EXPECT_NEAR(p.logOddsRatio, std::log(n22 * n11 / (n21 * n12)), 1e-12);
    EXPECT_NEAR(p.standardError, std::sqrt(1 / n11 + 1 / n12 + 1 / n21 + 1 / n22), 1e-12);
    const double N = 100, r1 = 55, r2 = 45, c1 = 50, c2 = 50;
    const double g2 = 2 * (n11 * std::log(n11 * N / (r1 * c1)) + n12 * std::log(n12 * N / (r1 * c2)) +
                           n21 * std::log(n21 * N / (r2 * c1)) + n22 * std::log(n22 * N / (r2 * c2)));
    EXPECT_NEAR(model.tests[0].g2, g2, 1e-10);
    EXPECT_EQ(model.tests[0].df, 1);
    // Exactly 1 df: p = erfc(sqrt(G2 / 2)).
    EXPECT_NEAR(model.tests[0].pValue, std::erfc(std::sqrt(g2 / 2)), 1e-14);
    // The predictions are the table's own proportions.
    EXPECT_NEAR(model.predictions[1].minimum, 100 * n21 / c1, 1e-9);
    EXPECT_NEAR(model.predictions[1].maximum, 100 * n22 / c2, 1e-9);
    EXPECT_EQ(model.predictions[1].minimumAt, std::vector<int>{1});
    EXPECT_EQ(model.predictions[1].maximumAt, std::vector<int>{2});
}

// Tables of a joint table that is the product of its margins: every log
// odds ratio and every G2 is 0.
TEST(OddsRatioModelTest, IndependenceGivesNoAssociation) {
    const std::vector<std::vector<double>> weights = {{1, 3}, {2, 1, 4}, {5, 2, 3, 1}};
    JointCounts joint;
    joint.categories = {2, 3, 4};
    for (std::size_t cell = 0; cell < 24; ++cell) {
        joint.counts.push_back(1);
        const std::vector<int> x = joint.CellCategories(cell);
        for (std::size_t v = 0; v < 3; ++v) joint.counts.back() *= weights[v][static_cast<std::size_t>(x[v]) - 1];
    }
    const OddsRatioModel model = FitOddsRatioModel(test::PairTablesOf(joint), Selection(1, {2, 3}));
    ASSERT_TRUE(model.converged);
    for (const OddsRatioParameter& p : model.parameters) EXPECT_NEAR(p.logOddsRatio, 0, 1e-10);
    for (const OddsRatioTest& t : model.tests) {
        EXPECT_NEAR(t.g2, 0, 1e-9);
        EXPECT_GT(t.pValue, 0.999);
    }
}

// An empty cell of two predictors and one of the dependent variable with a
// predictor: the parameter of that cell is not estimable and named in a
// warning; every other one, with its standard error, agrees with the
// regression on the cells that can have cases.
TEST(OddsRatioModelTest, EmptyCellsLeaveTheOtherParameters) {
    const test::Records records = test::DrawRecords(21, {2, 3, 3}, 3000);
    JointCounts joint = test::CountJoint(records, {1, 2, 3});
    for (std::size_t cell = 0; cell < joint.counts.size(); ++cell) {
        const std::vector<int> x = joint.CellCategories(cell);
        if ((x[1] == 3 && x[2] == 2) || (x[0] == 2 && x[1] == 2)) joint.counts[cell] = 0;
    }
    TableSet ts = test::PairTablesOf(joint);
    ts.VariableNames[1] = "Vote";
    ts.CategoryNames[1][2] = "Yes";
    ts.VariableNames[2] = "Region";
    ts.CategoryNames[2][2] = "South";
    const OddsRatioModel model = FitOddsRatioModel(ts, Selection(1, {2, 3}));
    ASSERT_TRUE(model.converged);
    ASSERT_EQ(model.Warnings().size(), 1u);
    EXPECT_EQ(model.Warnings()[0],
              "Odds ratio for Region = South, Vote = Yes not estimable: no cases of Vote = Yes with Region = South");

    const test::PoissonFit reference = test::FitPoisson(joint, test::AllPairsOf(3));
    int estimable = 0;
    for (const OddsRatioParameter& p : model.parameters) {
        const ParameterKey key{0, p.predictor, p.dependentCategory, p.category};
        if (p.predictor == 1 && p.category == 2) {
            EXPECT_FALSE(p.Estimable());
            EXPECT_TRUE(std::isnan(p.standardError));
            continue;
        }
        ++estimable;
        EXPECT_TRUE(test::NearRelative(p.logOddsRatio, static_cast<double>(reference.beta.at(key)), 1e-8));
        EXPECT_TRUE(test::NearRelative(p.standardError, static_cast<double>(reference.standardError.at(key)), 1e-8));
    }
    EXPECT_EQ(estimable, 3);
    // The tests still use the nominal degrees of freedom.
    EXPECT_EQ(model.tests[0].df, 2);
    const double g2 = static_cast<double>(test::FitPoisson(joint, {{1, 2}, {0, 2}}).deviance - reference.deviance);
    EXPECT_TRUE(test::NearRelative(model.tests[0].g2, g2, 1e-8));
}

// An empty reference cell makes every odds ratio against it infinite.
TEST(OddsRatioModelTest, EmptyReferenceCell) {
    TableSet ts = test::MakeTableSet({{"Dep", {"No", "Yes"}}, {"Group", {"A", "B", "C"}}});
    test::SetTable(ts, 1, 2, {{0, 15, 20}, {10, 35, 12}});
    const OddsRatioModel model = FitOddsRatioModel(ts, Selection(1, {2}));
    ASSERT_EQ(model.parameters.size(), 2u);
    for (const OddsRatioParameter& p : model.parameters) EXPECT_FALSE(p.Estimable());
    ASSERT_EQ(model.Warnings().size(), 2u);
    EXPECT_NE(model.Warnings()[1].find("no cases of Dep = No with Group = A"), std::string::npos) << model.Warnings()[1];
}

// Pair tables without an empty cell whose joint table must have two: A = B
// = C = 1 and A = B = C = 2. The likelihood has its maximum only at
// infinity; both odds ratios are not estimable, the fit is the joint table
// itself, and each test compares it with the closed form of the model
// without that association, m(a, b, c) = n(a, c) n(b, c) / n(c).
TEST(OddsRatioModelTest, MaximumAtInfinityIsNotEstimable) {
    TableSet ts = test::MakeTableSet({{"A", {"1", "2"}}, {"B", {"1", "2"}}, {"C", {"1", "2"}}});
    for (const auto& [a, b] : {std::pair{1, 2}, std::pair{1, 3}, std::pair{2, 3}}) test::SetTable(ts, a, b, {{10, 20}, {20, 10}});
    const OddsRatioModel model = FitOddsRatioModel(ts, Selection(1, {2, 3}));
    ASSERT_TRUE(model.converged);
    ASSERT_EQ(model.parameters.size(), 2u);
    for (const OddsRatioParameter& p : model.parameters) EXPECT_FALSE(p.Estimable());
    ASSERT_EQ(model.Warnings().size(), 2u);
    EXPECT_EQ(model.Warnings()[0], "Odds ratio for B = 2, A = 2 not estimable: the tables leave some combinations of "
                                   "the model's variables without cases, and it has no finite estimate");
    EXPECT_NEAR(model.predictions[0].minimum, 0, 1e-9);
    EXPECT_NEAR(model.predictions[0].maximum, 100, 1e-9);
    const double g2 = 2 * (20 * std::log(10 / (40 / 3.0)) + 40 * std::log(10 / (20 / 3.0)));
    for (const OddsRatioTest& t : model.tests) EXPECT_TRUE(test::NearRelative(t.g2, g2, 1e-8)) << t.g2;
}

TEST(OddsRatioModelTest, RefusesWhatItCannotFit) {
    TableSet large;
    large.VariableCount = 7;
    for (int v = 1; v <= 7; ++v) {
        large.VariableNames[v] = "V" + std::to_string(v);
        large.CategoryCounts[v] = 16;
    }
    try {
        FitOddsRatioModel(large, Selection(1, {2, 3, 4, 5, 6, 7}));
        ADD_FAILURE() << "a model of 16^7 cells was fitted";
    } catch (const OddsRatioRefused& error) {
        EXPECT_STREQ(error.what(), "Model too large for the odds-ratio model: 268,435,456 cells (at most 16,777,216)");
    }
    // Sixteen variables of sixteen categories: 2^64 cells, beyond 64 bits.
    large.VariableCount = 16;
    for (int v = 8; v <= 16; ++v) {
        large.VariableNames[v] = "V" + std::to_string(v);
        large.CategoryCounts[v] = 16;
    }
    const ModelSelection all = Selection(1, {2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16});
    EXPECT_EQ(OddsRatioCells(large, all), std::numeric_limits<std::int64_t>::max());
    try {
        FitOddsRatioModel(large, all);
        ADD_FAILURE() << "a model of 16^16 cells was fitted";
    } catch (const OddsRatioRefused& error) {
        EXPECT_STREQ(error.what(),
                     "Model too large for the odds-ratio model: 18,446,744,073,709,551,616 cells (at most 16,777,216)");
    }

    TableSet ts = test::MakeTableSet({{"A", {"1", "2"}}, {"B", {"1", "2"}}, {"C", {"1", "2"}}});
    test::SetTable(ts, 1, 2, {{5, 5}, {5, 5}});
    test::SetTable(ts, 1, 3, {{5, 5}, {5, 5}});
    test::SetTable(ts, 2, 3, {{5, 5}, {5, 6}});
    EXPECT_THROW(
        {
            try {
                FitOddsRatioModel(ts, Selection(1, {2, 3}));
            } catch (const OddsRatioRefused& error) {
                EXPECT_STREQ(error.what(), "No odds-ratio model: totals do not match for variable B");
                throw;
            }
        },
        OddsRatioRefused);
    EXPECT_THROW(FitOddsRatioModel(test::MakeTableSet({{"A", {"1", "2"}}, {"B", {"1", "2"}}}), Selection(1, {2})),
                 OddsRatioRefused);
    EXPECT_THROW(FitOddsRatioModel(ts, Selection(1, {1})), std::invalid_argument);
}

TEST(OddsRatioModelTest, StopsAsAsked) {
    const TableSet ts = test::PairTablesOf(test::CountJoint(test::DrawRecords(5, {3, 3, 3}, 900), {1, 2, 3}));
    OddsRatioControl control;
    control.maxIterations = 1;
    const OddsRatioModel limited = FitOddsRatioModel(ts, Selection(1, {2, 3}), control);
    EXPECT_FALSE(limited.converged);
    EXPECT_EQ(limited.iterations, 1);
    ASSERT_FALSE(limited.Warnings().empty());
    EXPECT_EQ(limited.Warnings()[0].rfind("The odds-ratio model did not converge: after 1 iterations", 0), 0u);

    // The progress only grows, and reaches the end.
    std::vector<double> shares;
    control = {};
    control.progress = [&shares](double share) { shares.push_back(share); };
    FitOddsRatioModel(ts, Selection(1, {2, 3}), control);
    ASSERT_GT(shares.size(), 4u);
    EXPECT_TRUE(std::is_sorted(shares.begin(), shares.end()));
    EXPECT_EQ(shares.front(), 0);
    EXPECT_EQ(shares.back(), 1);

    std::stop_source source;
    source.request_stop();
    control = {};
    control.stop = source.get_token();
    EXPECT_THROW(FitOddsRatioModel(ts, Selection(1, {2, 3}), control), OddsRatioCancelled);
}

// The fitted model belongs to the table set while its tables and selection
// are those it was fitted from.
TEST(OddsRatioModelTest, ResultsHoldOnlyTheCurrentModel) {
    TableSet ts = test::PairTablesOf(test::CountJoint(test::DrawRecords(6, {2, 3, 2}, 600), {1, 2, 3}));
    static_cast<ModelSelection&>(ts) = Selection(1, {2, 3});
    ComputeOddsRatioModel(ts);
    EXPECT_TRUE(ResultsOf(ts).oddsRatios.has_value());
    ++ts.PairTables[PairIndex(3, 2)][1][1];
    EXPECT_FALSE(ResultsOf(ts).oddsRatios.has_value());
    --ts.PairTables[PairIndex(3, 2)][1][1];
    EXPECT_TRUE(ResultsOf(ts).oddsRatios.has_value());
    static_cast<ModelSelection&>(ts) = Selection(1, {2});
    EXPECT_FALSE(ResultsOf(ts).oddsRatios.has_value());
}

}  // namespace
}  // namespace kelvo
