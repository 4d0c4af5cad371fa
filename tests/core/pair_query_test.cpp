#include "pair_query.h"

#include <gtest/gtest.h>

#include "csv_import.h"
#include "test_support.h"

namespace kelvo {
namespace {

struct QuoteCase {
    SqlDialect dialect;
    const char* name;
    const char* quoted;
};

class QuoteIdentifierTest : public ::testing::TestWithParam<QuoteCase> {};

TEST_P(QuoteIdentifierTest, QuotesAreDoubledInside) {
    EXPECT_EQ(QuoteIdentifier(GetParam().dialect, GetParam().name), GetParam().quoted);
}

INSTANTIATE_TEST_SUITE_P(Dialects, QuoteIdentifierTest,
                         ::testing::Values(QuoteCase{SqlDialect::Ansi, "Age", "\"Age\""},
                                           QuoteCase{SqlDialect::Postgres, "a\"; DROP TABLE t; --", "\"a\"\"; DROP TABLE t; --\""},
                                           QuoteCase{SqlDialect::Sqlite, "x`y\"", "\"x`y\"\"\""},
                                           QuoteCase{SqlDialect::Spark, "x`y\"", "`x``y\"`"}));

TEST(PairQueryTest, RefusesWhatCannotBeQueried) {
    PairQueryOptions spec;
    spec.table = "t";
    spec.columns = {"A", "B"};
    spec.order = CategoryOrder::FirstSeen;
    EXPECT_THROW(PairQuery(spec), ImportError);  // no record order outside SQLite
    spec.dialect = SqlDialect::Sqlite;
    EXPECT_NO_THROW(PairQuery(spec));
    spec.columns = {"A", "kelvo_count"};
    EXPECT_THROW(PairQuery(spec), ImportError);  // a name of the result
    spec.columns = {"A"};
    EXPECT_THROW(PairQuery(spec), ImportError);
}

TEST(PairCounterTest, ValueOrderIsNumericOnlyWhenEveryValueIsANumber) {
    CsvImportOptions options;
    options.order = CategoryOrder::Value;
    CsvTableBuilder builder(options);
    builder.Feed("Num,Text\n10,b10\n9,b9\n-1.5,\n10,B\n");
    TableSet ts;
    builder.Finish(ts);
    EXPECT_EQ(ts.CategoryNames[1][1].str(), "-1.5");
    EXPECT_EQ(ts.CategoryNames[1][2].str(), "9");
    EXPECT_EQ(ts.CategoryNames[1][3].str(), "10");
    EXPECT_EQ(ts.CategoryNames[2][1].str(), "");  // the empty value first
    EXPECT_EQ(ts.CategoryNames[2][2].str(), "B");
    EXPECT_EQ(ts.CategoryNames[2][3].str(), "b10");
    EXPECT_EQ(ts.CategoryNames[2][4].str(), "b9");
    EXPECT_EQ(PairCell(ts, 1, 3, 2, 2), 1);  // 10 with B, counted before the reordering
    EXPECT_EQ(PairCell(ts, 1, 1, 2, 1), 1);
}

const PairCountOptions ByValue{false, CategoryOrder::Value};

// Rows of the counting query's result for two variables A and B.
struct ResultCase {
    const char* name;
    std::vector<std::vector<std::string>> rows;  // kelvo_set, A, B, kelvo_count
    const char* message;                          // empty: accepted
};

void PrintTo(const ResultCase& c, std::ostream* os) { *os << c.name; }

class PairCountsReaderTest : public ::testing::TestWithParam<ResultCase> {};

TEST_P(PairCountsReaderTest, ReadsOnlyTheWholeResult) {
    const ResultCase& c = GetParam();
    std::int64_t row = 0;
    PairCountsReader reader({"kelvo_set", "A", "B", "kelvo_count"}, ByValue, [&] { return " (row " + std::to_string(row) + ")"; });
    TableSet ts;
    try {
        for (const auto& fields : c.rows) {
            ++row;
            reader.AddRow(fields);
        }
        reader.Finish(ts);
        EXPECT_STREQ(c.message, "") << "accepted";
        EXPECT_EQ(ts.CategoryNames[1][1].str(), "");  // a NULL, named as an empty field, first by value
        EXPECT_EQ(PairCell(ts, 2, 1, 1, 1), 4);
        EXPECT_EQ(PairCell(ts, 2, 1, 1, 2), 3);
    } catch (const ImportError& e) {
        EXPECT_EQ(std::string(e.what()), c.message);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Results, PairCountsReaderTest,
    ::testing::Values(
        ResultCase{"Whole", {{"0", ":x", ":p", "3"}, {"0", "\\N", ":p", "4"}, {"0", ":x", ":q", "0"}}, ""},
        ResultCase{"NoRows", {}, "No records: the counting query found none"},
        ResultCase{"NotAPair", {{"1", ":x", "", "3"}}, "The kelvo_set 1 is not a pair of the 2 variables (row 1)"},
        ResultCase{"Twice", {{"0", ":x", ":p", "3"}, {"0", ":x", ":p", "3"}},
                   "The count of \"B\" and \"A\" for one pair of values is given twice (row 2)"},
        ResultCase{"NegativeCount", {{"0", ":x", ":p", "-3"}},
                   "Invalid kelvo_count \"-3\" (row 1): it must be a whole number from 0"},
        ResultCase{"FieldMissing", {{"0", ":x", ":p"}}, "A row has 3 fields, the header has 4 (row 1)"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PairCountsReaderTest, AMissingPairIsAnIncompleteResult) {
    PairCountsReader reader({"kelvo_set", "A", "B", "C", "kelvo_count"}, ByValue);
    reader.AddRow({"1", ":x", ":y", "", "2"});  // A and B only
    reader.AddRow({"1", ":z", ":w", "", "2"});
    TableSet ts;
    EXPECT_THROW(reader.Finish(ts), ImportError);
    EXPECT_THROW(PairCountsReader({"A", "B", "count"}, ByValue), ImportError);  // not the query's header
}

}  // namespace
}  // namespace kelvo
