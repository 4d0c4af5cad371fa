#include "table_set.h"

#include <gtest/gtest.h>

#include "test_support.h"

namespace kelvo {
namespace {

TEST(PairIndexTest, NumbersPairsInOrderWithoutGaps) {
    EXPECT_EQ(PairIndex(2, 1), 1);
    EXPECT_EQ(PairIndex(3, 2), 3);
    EXPECT_EQ(PairIndex(16, 1), 106);
    EXPECT_EQ(PairIndex(16, 15), 120);
    int expected = 0;
    for (int i = 2; i <= MaxVariables; ++i)
        for (int j = 1; j < i; ++j) EXPECT_EQ(PairIndex(i, j), ++expected);
}

TEST(FindVariableTest, ExactMatchAndLastOneWins) {
    TableSet ts = test::MakeTableSet({{"Sex", {"M", "F"}}, {"Age", {"Y", "O"}}, {"Sex", {"A", "B"}}});
    EXPECT_EQ(FindVariable(ts, "Sex"), 3);
    EXPECT_EQ(FindVariable(ts, "Age"), 2);
    EXPECT_EQ(FindVariable(ts, "age"), 0);
    EXPECT_EQ(FindVariable(ts, "Age "), 0);
    EXPECT_EQ(FindVariable(ts, ""), 0);
    ts.VariableCount = 0;
    EXPECT_EQ(FindVariable(ts, "Sex"), 0);
}

TEST(ShortStringTest, KeepsTwelveCharactersAndSpaces) {
    ShortString name = "ABCDEFGHIJKLMNO";
    EXPECT_EQ(name.str(), "ABCDEFGHIJKL");
    name = "  spaced  ";
    EXPECT_EQ(name.str(), "  spaced  ");
}

TEST(TableSetTest, ResetCategoryNamesGivesDefaults) {
    TableSet ts;
    ts.CategoryNames[4][7] = "Other";
    ResetCategoryNames(ts);
    for (int v = 1; v <= MaxVariables; ++v)
        for (int n = 1; n <= MaxCategories; ++n) EXPECT_EQ(ts.CategoryNames[v][n].str(), "C" + std::to_string(n));
}

TEST(TableSetTest, BaseNameIsCutAtFirstDot) {
    EXPECT_EQ(BaseNameOf("/data/survey.2006.tbl"), "survey");
    EXPECT_EQ(BaseNameOf("survey.tbl"), "survey");
    EXPECT_EQ(BaseNameOf("/data.d/noextension"), "");
    EXPECT_EQ(BaseNameOf("/data.d/x.tbl"), "x");
}

TEST(TableSetTest, PairCellReadsEitherOrientation) {
    TableSet ts = test::MakeTableSet({{"A", {"a1", "a2"}}, {"B", {"b1", "b2", "b3"}}});
    test::SetTable(ts, 1, 2, {{1, 2, 3}, {4, 5, 6}});  // rows of A by columns of B
    EXPECT_EQ(ts.PairTables[1][3][2], 6);              // stored rows = B (the later variable)
    EXPECT_EQ(PairCell(ts, 1, 2, 2, 3), 6);
    EXPECT_EQ(PairCell(ts, 2, 3, 1, 2), 6);
}

}  // namespace
}  // namespace kelvo
