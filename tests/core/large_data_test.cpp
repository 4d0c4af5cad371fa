// Random and extreme table sets: what the writer writes, the reader reads
// back unchanged.
#include <gtest/gtest.h>

#include <memory>
#include <random>

#include "table_set_file.h"
#include "test_support.h"

namespace kelvo {
namespace {

// A random table set: 0..16 variables of 0..16 categories, names of 0..12
// printable bytes (Latin-1 included, "*" and line ends excluded, variable
// names distinct), counts anywhere in the signed 32-bit range.
std::unique_ptr<TableSet> RandomTableSet(std::mt19937& random) {
    auto ts = std::make_unique<TableSet>();
    std::uniform_int_distribution<int> variables(0, MaxVariables), categories(0, MaxCategories), length(0, MaxNameLength);
    std::uniform_int_distribution<int> byte(32, 255);
    std::uniform_int_distribution<std::int32_t> count(std::numeric_limits<std::int32_t>::min(),
                                                      std::numeric_limits<std::int32_t>::max());
    const auto name = [&] {
        std::string text;
        const int n = length(random);
        while (static_cast<int>(text.size()) < n) {
            const int c = byte(random);
            if (c != '*' && c != 127) text.push_back(static_cast<char>(c));
        }
        return text;
    };
    ts->VariableCount = variables(random);
    for (int v = 1; v <= ts->VariableCount; ++v) {
        do ts->VariableNames[v] = name() + std::to_string(v);  // the number keeps names distinct
        while (FindVariable(*ts, ts->VariableNames[v].str()) != v);
        ts->CategoryCounts[v] = static_cast<std::uint8_t>(categories(random));
        for (int n = 1; n <= ts->CategoryCounts[v]; ++n) ts->CategoryNames[v][n] = name();
    }
    for (int i = 2; i <= ts->VariableCount; ++i)
        for (int j = 1; j < i; ++j)
            for (int x = 1; x <= ts->CategoryCounts[i]; ++x)
                for (int y = 1; y <= ts->CategoryCounts[j]; ++y) ts->PairTables[PairIndex(i, j)][x][y] = count(random);
    return ts;
}

TEST(LargeDataTest, TenThousandRandomTableSetsRoundTrip) {
    std::mt19937 random(20261208);
    for (int round = 0; round < 10000; ++round) {
        const auto original = RandomTableSet(random);
        const std::string text = TableSetText(*original);
        auto read = std::make_unique<TableSet>();
        CollectingWarningSink warnings;
        ReadInputSide(*read, text, warnings);
        ASSERT_TRUE(warnings.warnings.empty()) << "round " << round << ": " << warnings.warnings.front();
        ASSERT_EQ(TableSetText(*read), text) << "round " << round;
        ASSERT_EQ(read->VariableCount, original->VariableCount);
        for (int i = 2; i <= read->VariableCount; ++i)
            for (int j = 1; j < i; ++j)
                for (int x = 1; x <= read->CategoryCounts[i]; ++x)
                    for (int y = 1; y <= read->CategoryCounts[j]; ++y)
                        ASSERT_EQ(read->PairTables[PairIndex(i, j)][x][y], original->PairTables[PairIndex(i, j)][x][y]);
    }
}

TEST(LargeDataTest, ExtremeCountsSurviveAFileOnDisk) {
    test::TempDir dir;
    auto ts = std::make_unique<TableSet>();
    ts->VariableCount = MaxVariables;
    for (int v = 1; v <= MaxVariables; ++v) {
        ts->VariableNames[v] = "V" + std::to_string(v);
        ts->CategoryCounts[v] = MaxCategories;
        for (int n = 1; n <= MaxCategories; ++n) ts->CategoryNames[v][n] = "C" + std::to_string(n);
    }
    for (int k = 1; k <= MaxPairTables; ++k)
        for (int x = 1; x <= MaxCategories; ++x)
            for (int y = 1; y <= MaxCategories; ++y)
                ts->PairTables[k][x][y] = (x + y) % 2 ? std::numeric_limits<std::int32_t>::max()
                                                      : std::numeric_limits<std::int32_t>::min();
    ts->FileName = (dir / "extreme.tbl").string();
    WriteTableSet(*ts);
    auto read = std::make_unique<TableSet>();
    read->FileName = ts->FileName;
    CollectingWarningSink warnings;
    ReadTableSet(*read, warnings);
    EXPECT_TRUE(warnings.warnings.empty());
    EXPECT_EQ(TableSetText(*read), TableSetText(*ts));
    EXPECT_EQ(read->PairTables[120][16][15], std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(read->PairTables[120][16][16], std::numeric_limits<std::int32_t>::min());
}

}  // namespace
}  // namespace kelvo
