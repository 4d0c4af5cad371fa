#include <gtest/gtest.h>

#include "io_error.h"
#include "table_set_edit.h"
#include "table_set_file.h"
#include "test_support.h"

namespace kelvo {
namespace {

TableSet XYZ() {
    TableSet ts = test::MakeTableSet({{"X", {"x1", "x2"}}, {"Y", {"y1", "y2", "y3"}}, {"Z", {"z1", "z2", "z3", "z4"}}});
    test::SetTable(ts, 3, 1, {{1, 2}, {3, 4}, {5, 6}, {7, 8}});
    return ts;
}

TEST(DeleteVariableTest, LaterVariablesMoveDownWithTheirCategories) {
    TableSet ts = XYZ();
    const PairTable tables = ts.PairTables[PairIndex(3, 1)];
    ASSERT_TRUE(DeleteVariable(ts, 2));
    EXPECT_EQ(ts.VariableCount, 2);
    EXPECT_EQ(ts.VariableNames[2].str(), "Z");
    EXPECT_EQ(int(ts.CategoryCounts[2]), 4);
    EXPECT_EQ(ts.CategoryNames[2][4].str(), "z4");
    // Y's slots above Z's count were not in use by Z and keep what they held;
    // the pair tables are not renumbered.
    EXPECT_EQ(ts.PairTables[PairIndex(3, 1)], tables);
    // Two variables always remain.
    EXPECT_FALSE(DeleteVariable(ts, 1));
    EXPECT_EQ(ts.VariableCount, 2);
}

TEST(DeleteVariableTest, RefusesWhatIsNoVariable) {
    for (const int v : {0, 4, -1}) {
        TableSet ts = XYZ();
        EXPECT_FALSE(DeleteVariable(ts, v)) << v;
        EXPECT_EQ(ts.VariableCount, 3);
    }
    TableSet ts = XYZ();
    ASSERT_TRUE(DeleteVariable(ts, 3));  // the last one: nothing moves
    EXPECT_EQ(ts.VariableNames[2].str(), "Y");
}

TEST(AddVariableTest, AppendsAndStopsAtSixteen) {
    TableSet ts;
    ResetCategoryNames(ts);
    for (int v = 1; v <= MaxVariables; ++v) EXPECT_EQ(AddVariable(ts, "A name of 13c", 3), v);
    EXPECT_EQ(ts.VariableNames[16].str(), "A name of 13");  // cut to 12
    EXPECT_EQ(ts.CategoryNames[16][3].str(), "C3");
    EXPECT_EQ(AddVariable(ts, "Another", 2), 0);
    EXPECT_EQ(ts.VariableCount, MaxVariables);
}

TEST(OpenTableSetTest, AFailedReadChangesNothing) {
    test::TempDir dir;
    TableSet ts = XYZ();
    ts.FileName = (dir / "old.tbl").string();
    ts.FileBaseName = "old";
    ts.TableSetModified = true;
    ts.TableSetOpen = true;
    ts.ResultsAvailable = true;
    test::WriteFile(dir / "bad.tbl", "2\r\nA\r\n2\r\na\r\nb\r\nB\r\nx\r\n");
    CollectingWarningSink warnings;
    for (const char* name : {"bad.tbl", "missing.tbl"}) {
        EXPECT_THROW(OpenTableSet(ts, (dir / name).string(), warnings), IoError) << name;
        EXPECT_EQ(ts.FileName, (dir / "old.tbl").string());
        EXPECT_EQ(ts.FileBaseName, "old");
        EXPECT_TRUE(ts.TableSetModified && ts.TableSetOpen && ts.ResultsAvailable);
        EXPECT_EQ(ts.VariableNames[3].str(), "Z");
    }
}

TEST(OpenTableSetTest, AReadTableSetIsOpenUnmodifiedWithoutResults) {
    test::TempDir dir;
    TableSet written = XYZ();
    written.FileName = (dir / "survey.2006.tbl").string();
    WriteTableSet(written);
    TableSet ts;
    ts.TableSetModified = ts.ResultsAvailable = true;
    CollectingWarningSink warnings;
    OpenTableSet(ts, written.FileName, warnings);
    EXPECT_EQ(ts.FileBaseName, "survey");
    EXPECT_FALSE(ts.TableSetModified);
    EXPECT_TRUE(ts.TableSetOpen);
    EXPECT_FALSE(ts.ResultsAvailable);
    EXPECT_EQ(ts.PairTables[PairIndex(3, 1)][4][2], 8);
}

}  // namespace
}  // namespace kelvo
