#include "csv_import.h"

#include <gtest/gtest.h>

#include "io_error.h"
#include "table_set_file.h"
#include "test_support.h"

namespace kelvo {
namespace {

TableSet Import(const std::string& csv, CsvImportOptions options = {}, std::size_t pieceSize = 0) {
    CsvTableBuilder builder(std::move(options));
    if (pieceSize == 0) {
        builder.Feed(csv);
    } else {
        for (std::size_t at = 0; at < csv.size(); at += pieceSize) builder.Feed(std::string_view(csv).substr(at, pieceSize));
    }
    TableSet ts;
    builder.Finish(ts);
    return ts;
}

TEST(CsvImportTest, CountsEveryPairFromTheRecords) {
    const std::string csv =
        "Sex,Age,Vote\r\n"
        "M,Young,Yes\r\n"
        "F,Old,No\r\n"
        "M,Old,Yes\r\n"
        "M,Young,No\r\n";
    const TableSet ts = Import(csv);
    ASSERT_EQ(ts.VariableCount, 3);
    EXPECT_EQ(ts.VariableNames[3].str(), "Vote");
    EXPECT_EQ(ts.CategoryNames[2][1].str(), "Young");  // order of first appearance
    EXPECT_EQ(ts.CategoryNames[3][2].str(), "No");
    EXPECT_EQ(PairCell(ts, 1, 1, 2, 1), 2);  // M and Young
    EXPECT_EQ(PairCell(ts, 1, 2, 2, 2), 1);  // F and Old
    EXPECT_EQ(PairCell(ts, 3, 1, 1, 1), 2);  // Yes and M
    EXPECT_EQ(PairCell(ts, 3, 2, 2, 1), 1);  // No and Young
}

TEST(CsvImportTest, QuotesEmbeddedSeparatorsAndPiecesOfAnySize) {
    const std::string csv =
        "\xEF\xBB\xBF\"Na,me\",\"He said \"\"x\"\"\"\n"
        "\"a,b\", \"q\"\"1\" \n"
        "\"two, words\",plain\n"
        "\"a,b\",plain\n";
    for (const std::size_t piece : {0u, 1u, 2u, 7u}) {
        const TableSet ts = Import(csv, {}, piece);
        ASSERT_EQ(ts.VariableCount, 2) << "piece " << piece;
        EXPECT_EQ(ts.VariableNames[1].str(), "Na,me");
        EXPECT_EQ(ts.VariableNames[2].str(), "He said \"x\"");
        EXPECT_EQ(ts.CategoryNames[1][1].str(), "a,b");
        EXPECT_EQ(ts.CategoryNames[1][2].str(), "two, words");
        EXPECT_EQ(ts.CategoryNames[2][1].str(), "q\"1");
        EXPECT_EQ(PairCell(ts, 1, 1, 2, 2), 1);
    }
}

TEST(CsvImportTest, WeightsAndChosenVariables) {
    const std::string csv = "A,W,B,C\nx,3,p,u\ny,0,q,u\nx,2,q,v\ny,1,p,v\n";
    CsvImportOptions options;
    options.weightColumn = "W";
    options.variables = {"C", "A"};
    const TableSet ts = Import(csv, options);
    ASSERT_EQ(ts.VariableCount, 2);
    EXPECT_EQ(ts.VariableNames[1].str(), "C");
    EXPECT_EQ(ts.VariableNames[2].str(), "A");
    EXPECT_EQ(PairCell(ts, 1, 1, 2, 1), 3);  // u and x
    EXPECT_EQ(PairCell(ts, 1, 1, 2, 2), 0);  // u and y, weight 0
    EXPECT_EQ(PairCell(ts, 1, 2, 2, 1), 2);
    EXPECT_EQ(PairCell(ts, 1, 2, 2, 2), 1);
}

TEST(CsvImportTest, Utf8NamesBecomeLatin1) {
    const TableSet ts = Import("Caf\xC3\xA9,B\nna\xC3\xAFve,p\nx,q\n");
    EXPECT_EQ(ts.VariableNames[1].str(), "Caf\xE9");
    EXPECT_EQ(ts.CategoryNames[1][1].str(), "na\xEFve");
}

TEST(CsvImportTest, TruncateCutsNamesAndValues) {
    CsvImportOptions options;
    options.truncate = true;
    const TableSet ts = Import("A very long name,B\nvalue longer than twelve,p\nx,q\n", options);
    EXPECT_EQ(ts.VariableNames[1].str(), "A very long ");
    EXPECT_EQ(ts.CategoryNames[1][1].str(), "value longer");
}

struct RefusalCase {
    const char* name;
    std::string csv;
    const char* message;
    bool truncate;
};

void PrintTo(const RefusalCase& c, std::ostream* os) { *os << c.name; }

class CsvRefusalTest : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(CsvRefusalTest, RefusesWithAClearMessage) {
    const RefusalCase& c = GetParam();
    CsvImportOptions options;
    options.truncate = c.truncate;
    if (std::string(c.name) == "BadWeight") options.weightColumn = "W";
    try {
        Import(c.csv, options);
        FAIL() << "accepted";
    } catch (const ImportError& e) {
        EXPECT_EQ(std::string(e.what()), c.message);
        // Only a name that is too long is one that cutting would mend.
        EXPECT_EQ(e.NameTooLong(), std::string(c.name).starts_with("Long"));
    }
}

std::string ManyColumns(int count) {
    std::string header, row;
    for (int c = 1; c <= count; ++c) {
        header += (c > 1 ? "," : "") + std::string("V") + std::to_string(c);
        row += (c > 1 ? ",a" : "a");
    }
    return header + "\n" + row + "\n";
}

const std::string SeventeenColumns = ManyColumns(17);
const std::string SeventeenCategories = [] {
    std::string csv = "Age,Sex\n";
    for (int n = 1; n <= 17; ++n) csv += std::to_string(n) + "," + (n % 2 ? "M" : "F") + "\n";
    return csv;
}();

INSTANTIATE_TEST_SUITE_P(
    Refusals, CsvRefusalTest,
    ::testing::Values(
        RefusalCase{"Empty", "", "Empty file: the first line must name the variables", false},
        RefusalCase{"HeaderOnly", "A,B\n", "No records: the file holds only the line of names", false},
        RefusalCase{"WrongFieldCount", "A,B\nx,y\nx,y,z\n", "Line 3 has 3 fields, the header has 2", false},
        RefusalCase{"TooManyVariables", SeventeenColumns.c_str(), "Too many variables: 17 (at most 16)", false},
        RefusalCase{"TooManyCategories", SeventeenCategories.c_str(), "Column \"Age\" has 17 categories (at most 16)", false},
        RefusalCase{"LongName", "A name of 13c,B\nx,y\n",
                    "Variable name \"A name of 13c\" is longer than 12 characters (line 1)", false},
        RefusalCase{"LongValue", "A,B\nx,y\nThirteen char,y\n",
                    "Value in column \"A\": \"Thirteen char\" is longer than 12 characters (line 3)",
                    false},
        RefusalCase{"TruncatedNamesCollide", "Twelve chars1,Twelve chars2\nx,y\n",
                    "Cut to 12 characters, two variable names become \"Twelve chars\"", true},
        RefusalCase{"TruncatedValuesCollide", "A,B\nTwelve chars1,y\nTwelve chars2,z\n",
                    "Cut to 12 characters, two values of column \"A\" become \"Twelve chars\" (line 3)", true},
        RefusalCase{"Star", "A*B,C\nx,y\n",
                    "Column \"A*B\": A variable name cannot contain \"*\"", false},
        RefusalCase{"DuplicateNames", "A,A\nx,y\n", "Two columns are named \"A\"", false},
        RefusalCase{"OneCategory", "A,B\nx,y\nx,z\n", "Column \"A\" has only one category (at least 2)", false},
        RefusalCase{"BadWeight", "A,B,W\nx,y,1\nx,z,-1\n",
                    "Invalid weight \"-1\" in line 3: weights are whole numbers from 0 to 2147483647", false},
        RefusalCase{"BadQuotes", "A,B\n\"x\"y,z\n", "Malformed quotes in line 2", false},
        // No name or value holds a control character, cut or not: a line end
        // would split its line of the table-set file.
        RefusalCase{"LineEndInAValue", "Sex,Region\nMale,\"No\nrth\"\nFemale,South\n",
                    "Value in column \"Region\": \"No\\nrth\" holds a line end (line 3)", true},
        RefusalCase{"LineEndInAName", "Sex,\"Reg\r\nion\"\nMale,North\n",
                    "Variable name \"Reg\\r\\nion\" holds a line end (line 2)", true},
        RefusalCase{"TabInAValue", "A,B\nx,y\nz,p\tq\n", "Value in column \"B\": \"p\\tq\" holds a tab (line 3)", false},
        RefusalCase{"NulInAValue", std::string("A,B\nx,y\nz\0w,q\n", 14),
                    "Value in column \"A\": \"z\\0w\" holds a NUL character (line 3)", false},
        RefusalCase{"EscapeInAName", "A,B\x1B\nx,y\n",
                    "Variable name \"B\\x1B\" holds the control character U+001B (line 1)", false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CsvImportTest, CountBeyondACellIsRefused) {
    const std::string csv = "A,B,W\nx,y,2147483647\nx,y,1\nz,q,1\n";
    CsvImportOptions options;
    options.weightColumn = "W";
    EXPECT_THROW(Import(csv, options), ImportError);
}

TEST(CsvImportTest, RefusalLeavesTableSetAsItWas) {
    TableSet ts = test::MakeTableSet({{"Keep", {"a", "b"}}, {"Me", {"c", "d"}}});
    CsvTableBuilder builder({});
    builder.Feed("A,B\nx,y\n");
    EXPECT_THROW(builder.Finish(ts), ImportError);  // one category each
    EXPECT_EQ(ts.VariableNames[1].str(), "Keep");
}

TEST(CsvImportTest, TitanicCountsGiveTheShippedTableSet) {
    TableSet ts;
    CsvImportOptions options;
    options.weightColumn = "Count";
    ImportCsv(test::SourcePath("examples/titanic.csv"), options, ts);
    EXPECT_EQ(TableSetText(ts), test::ReadFile(test::SourcePath("examples/titanic.tbl")));
}

TEST(CsvImportTest, MissingFileIsAnIoError) {
    TableSet ts;
    EXPECT_THROW(ImportCsv("/nonexistent/data.csv", {}, ts), IoError);
}

}  // namespace
}  // namespace kelvo
