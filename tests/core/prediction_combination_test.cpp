#include <gtest/gtest.h>

#include <memory>

#include "estimation.h"
#include "model_results.h"
#include "estimation_support.h"
#include "table_set_file.h"
#include "test_support.h"

namespace kelvo {
namespace {

// Survival of the Titanic's passengers on class and sex: the extremes are
// known: first-class women fared best and, once sex is taken into account,
// third-class men worst (the crew were nearly all men).
TEST(PredictionCombinationTest, TitanicExtremesAndTheirPredictions) {
    test::TempDir dir;
    auto ts = test::ReadExample("titanic.tbl");
    CollectingWarningSink warnings;
    ASSERT_TRUE(test::Estimate(*ts, 4, {1, 2}, warnings, dir / "log"));
    const int yes = 2;
    EXPECT_EQ(ResultsOf(*ts).Combination(yes, true), (std::vector<int>{1, 2}));   // 1st, Female
    EXPECT_EQ(ResultsOf(*ts).Combination(yes, false), (std::vector<int>{3, 1}));  // 3rd, Male
    EXPECT_EQ(ResultsOf(*ts).Combination(1, true), (std::vector<int>{3, 1}));     // dying: the mirror image

    // Every combination's prediction lies within the range, and the chosen
    // combinations give exactly its ends.
    for (int d = 1; d <= 2; ++d) {
        const auto prediction = [&](const std::vector<int>& categories) {
            double sum = ts->Coefficients[1][d];
            for (int t = 1; t <= ts->PredictorCount; ++t) sum += ts->Coefficients[test::Parameter(*ts, t, categories[t - 1])][d];
            return 100.0 * sum;
        };
        for (int c = 1; c <= 4; ++c)
            for (int s = 1; s <= 2; ++s) {
                EXPECT_GE(prediction({c, s}), ts->MinimumPrediction[d] - 1e-9);
                EXPECT_LE(prediction({c, s}), ts->MaximumPrediction[d] + 1e-9);
            }
        EXPECT_DOUBLE_EQ(prediction(ResultsOf(*ts).Combination(d, false)), ts->MinimumPrediction[d]);
        EXPECT_DOUBLE_EQ(prediction(ResultsOf(*ts).Combination(d, true)), ts->MaximumPrediction[d]);
    }
}

TEST(PredictionCombinationTest, TiesGoToTheFirstCategory) {
    TableSet ts;
    ts.VariableCount = 2;
    ts.DependentVariable = 2;
    ts.CategoryCounts[2] = 1;
    ts.PredictorCount = 1;
    ts.PredictorList[1] = 1;
    ts.CategoryCounts[1] = 3;
    ts.Coefficients[2][1] = 0.1;
    ts.Coefficients[3][1] = 0.1;
    ts.Coefficients[4][1] = -0.2;
    EXPECT_EQ(ResultsOf(ts).Combination(1, true), std::vector<int>{1});
    EXPECT_EQ(ResultsOf(ts).Combination(1, false), std::vector<int>{3});
}

}  // namespace
}  // namespace kelvo
