// Ten thousand random model selections on random consistent tables: the
// estimation never fails unexpectedly and always agrees with least squares
// computed from the records behind the tables.
#include <gtest/gtest.h>

#include <memory>
#include <random>

#include "estimation.h"
#include "estimation_support.h"
#include "least_squares_reference.h"
#include "test_support.h"

namespace kelvo {
namespace {

TEST(RandomModelsTest, TenThousandSelectionsAgreeWithLeastSquares) {
    test::TempDir dir;
    std::mt19937 random(8122026);
    int estimated = 0, singular = 0;
    for (int block = 0; block < 100; ++block) {
        // A new record set every hundred selections.
        const int variables = std::uniform_int_distribution<int>(2, 8)(random);
        std::vector<int> categories;
        for (int v = 0; v < variables; ++v) categories.push_back(std::uniform_int_distribution<int>(2, 6)(random));
        const int count = std::uniform_int_distribution<int>(60, 600)(random);
        const test::Records records = test::DrawRecords(random(), categories, count);
        auto ts = std::make_unique<TableSet>(test::CountPairTables(records));

        for (int run = 0; run < 100; ++run) {
            const int dependent = std::uniform_int_distribution<int>(1, variables)(random);
            std::vector<int> predictors;
            for (int v = 1; v <= variables; ++v)
                if (v != dependent && std::bernoulli_distribution(0.5)(random)) predictors.push_back(v);
            if (predictors.empty()) predictors.push_back(dependent == 1 ? 2 : 1);
            SCOPED_TRACE("block " + std::to_string(block) + " run " + std::to_string(run));

            CollectingWarningSink warnings;
            const bool computed = test::Estimate(*ts, dependent, predictors, warnings, dir / "log");
            ASSERT_TRUE(warnings.warnings.empty() || warnings.warnings == std::vector<std::string>{"Error: Matrix is singular !"});
            // A predictor category without cases makes the model singular; with
            // random records nothing else does.
            bool emptyCategory = false;
            for (const int p : predictors)
                for (int k = 1; k <= ts->CategoryCounts[p]; ++k) emptyCategory |= ts->MarginalTotals[p][k] == 0;
            ASSERT_EQ(computed, !emptyCategory);
            if (!computed) {
                ++singular;
                continue;
            }
            ++estimated;
            const test::Fit fit = test::ReferenceFit(records, dependent, predictors);
            for (int i = 1; i <= ts->ParameterCount; ++i)
                for (int d = 1; d <= ts->DependentCategoryCount; ++d) {
                    ASSERT_NEAR(ts->Coefficients[i][d], static_cast<double>(fit.coefficients[i][d]), 1e-9) << i << "," << d;
                    ASSERT_TRUE(test::NearRelative(ts->StandardErrors[i][d],
                                                   static_cast<double>(fit.standardErrors[i][d]), 1e-9))
                        << i << "," << d;
                }
        }
    }
    EXPECT_EQ(estimated + singular, 10000);
    EXPECT_GT(estimated, 9000) << "too few models were estimable to test much";
}

}  // namespace
}  // namespace kelvo

namespace kelvo {
namespace {

// The largest table set with every cell near the signed 32-bit limit: the
// totals run to 5.5 x 10^11 and must neither wrap nor lose a count.
TEST(RandomModelsTest, LargestTableSetWithCountsNearTheLimit) {
    constexpr std::int32_t cell = 2147483647;
    auto ts = std::make_unique<TableSet>();
    ts->VariableCount = MaxVariables;
    for (int v = 1; v <= MaxVariables; ++v) {
        ts->VariableNames[v] = "V" + std::to_string(v);
        ts->CategoryCounts[v] = MaxCategories;
    }
    // Every category of every variable equally often, independently of the
    // others: consistent tables with every cell the same.
    for (int k = 1; k <= MaxPairTables; ++k)
        for (int x = 1; x <= MaxCategories; ++x)
            for (int y = 1; y <= MaxCategories; ++y) ts->PairTables[k][x][y] = cell;
    test::TempDir dir;
    CollectingWarningSink warnings;
    std::vector<int> predictors;
    for (int v = 2; v <= MaxVariables; ++v) predictors.push_back(v);
    ASSERT_TRUE(test::Estimate(*ts, 1, predictors, warnings, dir / "log"));
    EXPECT_TRUE(warnings.warnings.empty());
    EXPECT_EQ(ts->ParameterCount, MaxParameters);
    const std::int64_t marginal = std::int64_t{cell} * MaxCategories;
    for (int v = 1; v <= MaxVariables; ++v)
        for (int k = 1; k <= MaxCategories; ++k) ASSERT_EQ(ts->MarginalTotals[v][k], marginal);
    EXPECT_EQ(ts->TotalCount, static_cast<double>(marginal * MaxCategories));
    for (int d = 1; d <= MaxCategories; ++d) {
        EXPECT_NEAR(ts->Coefficients[1][d], 1.0 / 16, 1e-12);
        // Independent variables: every deviation is zero.
        for (int i = 2; i <= ts->ParameterCount; ++i) ASSERT_NEAR(ts->Coefficients[i][d], 0.0, 1e-9) << i;
        EXPECT_NEAR(ts->MinimumPrediction[d], 6.25, 1e-6);
        EXPECT_NEAR(ts->MaximumPrediction[d], 6.25, 1e-6);
    }
}

}  // namespace
}  // namespace kelvo
