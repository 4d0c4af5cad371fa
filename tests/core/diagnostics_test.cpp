#include "diagnostics.h"

#include <gtest/gtest.h>

#include "table_set_file.h"
#include "test_support.h"

namespace kelvo {
namespace {

// A: a1 a2, B: b1 b2, C: c1 c2 c3. Table C by A gives A other totals than
// B by A; category c3 has no cases; C by B is all zeros.
TableSet WithKnownFaults() {
    TableSet ts = test::MakeTableSet({{"A", {"a1", "a2"}}, {"B", {"b1", "b2"}}, {"C", {"c1", "c2", "c3"}}});
    test::SetTable(ts, 2, 1, {{3, 4}, {0, 5}});          // A totals 3, 9
    test::SetTable(ts, 3, 1, {{3, 4}, {0, 6}, {0, 0}});  // A totals 3, 10
    return ts;
}

TEST(DiagnosticsTest, FindsMismatchesEmptyCategoriesAndEmptyTables) {
    const TableSet ts = WithKnownFaults();
    const TableSetDiagnostics found = DiagnoseTableSet(ts);
    ASSERT_EQ(found.mismatches.size(), 3u);  // A, and B and C through the empty table
    const TotalsMismatch& a = found.mismatches[0];
    EXPECT_EQ(a.variable, 1);
    ASSERT_EQ(a.tables.size(), 2u);
    EXPECT_EQ(a.tables[0].table, 1);
    EXPECT_EQ(a.tables[0].totals, (std::vector<std::int64_t>{0, 3, 9}));
    EXPECT_EQ(a.tables[1].totals, (std::vector<std::int64_t>{0, 3, 10}));
    EXPECT_EQ(a.tables[1].grandTotal, 13);
    EXPECT_EQ(found.emptyCategories, (std::vector<std::pair<int, int>>{{3, 3}}));
    EXPECT_EQ(found.emptyTables, std::vector<int>{3});

    const auto lines = DescribeDiagnostics(ts, found);
    EXPECT_EQ(lines[0], "Totals do not match for variable A:");
    EXPECT_EQ(lines[1], "  table 1 (B by A): a1 3, a2 9; total 12");
    EXPECT_EQ(lines[2], "  table 2 (C by A): a1 3, a2 10; total 13");
    EXPECT_NE(std::find(lines.begin(), lines.end(),
                        "No cases in category c3 of variable C: a model with C as a predictor is singular"),
              lines.end());
    EXPECT_EQ(lines.back(), "All cells are 0 in table 3 (C by B)");
}

TEST(DiagnosticsTest, ConsistentTableSetHasNothingToReport) {
    const auto ts = test::ReadExample("titanic.tbl");
    const TableSetDiagnostics found = DiagnoseTableSet(*ts);
    EXPECT_TRUE(found.mismatches.empty());
    EXPECT_TRUE(found.emptyTables.empty());
    EXPECT_TRUE(found.emptyCategories.empty());
    EXPECT_TRUE(DescribeDiagnostics(*ts, found).empty());
}

TEST(DiagnosticsTest, TotalsBeyondThirtyTwoBitsAreShownExactly) {
    TableSet ts = test::MakeTableSet({{"A", {"a1", "a2"}}, {"B", {"b1", "b2"}}, {"C", {"c1", "c2"}}});
    test::SetTable(ts, 2, 1, {{2000000000, 1}, {2000000000, 1}});
    test::SetTable(ts, 3, 1, {{2000000000, 1}, {2000000000, 2}});
    test::SetTable(ts, 3, 2, {{1, 2000000000}, {1, 2000000001}});
    const auto lines = DescribeDiagnostics(ts, DiagnoseTableSet(ts));
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines[1], "  table 1 (B by A): a1 4000000000, a2 2; total 4000000002");
    EXPECT_EQ(lines[2], "  table 2 (C by A): a1 4000000000, a2 3; total 4000000003");
}

}  // namespace
}  // namespace kelvo
