#include "text_report.h"

#include <gtest/gtest.h>

#include <sstream>
#include <vector>

#include "report_fixtures.h"
#include "test_support.h"

namespace kelvo {
namespace {

using test::Crlf;
using test::WrittenText;

std::string AllSections(const TableSet& ts) {
    return test::WrittenSections(ts,
                                 {test::WriteTextHeader, test::WriteTextTables, test::WriteTextCoefficients, test::WriteTextStandardErrors});
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    EXPECT_EQ(start, text.size()) << "text does not end with CR LF";
    return lines;
}

struct AlignCase {
    const char* text;
    int width;
    const char* right;
    const char* left;
};

void PrintTo(const AlignCase& c, std::ostream* os) {
    *os << '"' << c.text << "\" in " << c.width;
}

class AlignTest : public ::testing::TestWithParam<AlignCase> {};

TEST_P(AlignTest, CutsToTenThenPads) {
    const auto& c = GetParam();
    EXPECT_EQ(AlignRight(c.text, c.width), c.right);
    EXPECT_EQ(AlignLeft(c.text, c.width), c.left);
}

INSTANTIATE_TEST_SUITE_P(Cases, AlignTest,
                         ::testing::Values(AlignCase{"Male", 12, "        Male", "Male        "},
                                           AlignCase{"Total", 10, "     Total", "Total     "},
                                           AlignCase{"TenLetters", 12, "  TenLetters", "TenLetters  "},
                                           AlignCase{"Eleven12345", 12, "  Eleven1234", "Eleven1234  "},
                                           AlignCase{"TwelveLetter", 10, "TwelveLett", "TwelveLett"},
                                           AlignCase{"", 3, "   ", "   "},
                                           // the cut applies whatever the width
                                           AlignCase{"TwelveLetter", 0, "TwelveLett", "TwelveLett"}));

// The worked example of the report, line for line: header, the first table
// and the coefficient table of Sex.
TEST(TextReportTest, MatchesTheWorkedExample) {
    const auto ts = test::VoteExample();
    const std::string headerAndFirstTable = Crlf(
        "KELVO - Quendar - Version 7.0\n"
        "\n"
        "Model:\n"
        "--------------------------------\n"
        "Indepedent variable: Vote\n"
        "Predictor variables: Sex, Region\n"
        "--------------------------------\n"
        "\n"
        "Table: Vote by Sex\n"
        "----------------------------------------------\n"
        "                  Male      Female       Total\n"
        "----------------------------------------------\n"
        "Yes                 10          20          30\n"
        "No                   5          15          20\n"
        "----------------------------------------------\n"
        "Total               15          35          50\n"
        "----------------------------------------------\n"
        "\n");
    const std::string sexCoefficients = Crlf(
        "Coeficients for variable: Sex\n"
        "----------------------------------------------\n"
        "Vote           Average        Male      Female\n"
        "----------------------------------------------\n"
        "Yes               60.0        -6.7         2.9\n"
        "No                40.0         6.7        -2.9\n"
        "----------------------------------------------\n"
        "\n");
    const std::string report = AllSections(*ts);
    EXPECT_EQ(report.substr(0, headerAndFirstTable.size()), headerAndFirstTable);
    EXPECT_NE(report.find(Crlf("\n") + sexCoefficients + "Coeficients for variable: Region\r\n"), std::string::npos);
    EXPECT_TRUE(test::MatchesGolden("text_report_example.txt", report));
}

TEST(TextReportTest, EdgeCasesKeepTheLayout) {
    const auto ts = test::EdgeCaseExample();
    const std::string report = AllSections(*ts);
    EXPECT_TRUE(test::MatchesGolden("text_report_edge_cases.txt", report));

    const auto lines = Lines(report);
    // One predictor: no comma; the dashes are as long as the predictor line,
    // not the longer dependent line; names whole in the model lines.
    EXPECT_EQ(lines[3], std::string(33, '-'));
    EXPECT_EQ(lines[4], "Indepedent variable: Satisfied11");
    EXPECT_EQ(lines[5], "Predictor variables: Department12");
    EXPECT_EQ(lines[8], "Table: Satisfied11 by Department12");
    // A 12-character category name stands as its first 10 characters, with
    // two leading spaces as a heading and no trailing space as a row label.
    EXPECT_EQ(lines[10], "                   R&D     <Sales>         Q\"A       Total");
    EXPECT_EQ(lines[12].substr(0, 10), "Yes, a lot");
    EXPECT_EQ(lines[13].substr(0, 10), "No, not at");
    // Numbers are never cut: an 11-character count and an 11-digit total
    // (64-bit sums of 32-bit cells) fill their 12-character fields.
    EXPECT_EQ(lines[13], "No, not at -1234567890  2147483647  2147483647  3060399404");
    EXPECT_EQ(lines[16], "Total       3060399404  6442450941  4294967294 13797817639");
    EXPECT_EQ(lines[15], std::string(58, '-'));
    // The dependent variable's name heads the first column cut to 10.
    EXPECT_EQ(lines[21], "Satisfied1     Average         R&D     <Sales>         Q\"A");
    // -0.0004 x 100 is -0.0; 6.25 is 6.3 and -6.25 is -6.3.
    EXPECT_EQ(lines[23], "Yes, a lot        50.0        -0.0         6.3         2.0");
    EXPECT_EQ(lines[24], "No, not at        50.0         0.0        -6.3        -5.0");
    // Standard errors are written as stored: 3.25 gives 3.3, 0.15 gives 0.1.
    EXPECT_EQ(lines[33], "No, not at         1.3         0.0         3.3         2.0");
    EXPECT_EQ(lines[34], "-                  0.0         0.0         0.1         0.0");
}

TEST(TextReportTest, OneVariableHasAnEmptyTablesSection) {
    auto ts = test::MakeTableSet({{"Only", {"a", "b"}}});
    EXPECT_EQ(WrittenText([&ts](OutputFile& f) { test::WriteTextTables(ts, f); }), "");
}

TEST(TextReportTest, SixteenVariablesGiveAllTablesInPairOrder) {
    const auto ts = test::LargestExample();
    const std::string text = WrittenText([&ts](OutputFile& f) { test::WriteTextTables(*ts, f); });
    std::vector<std::string> titles;
    for (const auto& line : Lines(text))
        if (line.rfind("Table: ", 0) == 0) titles.push_back(line);
    ASSERT_EQ(titles.size(), 120u);
    EXPECT_EQ(titles[0], "Table: Variable2 by Variable1");
    EXPECT_EQ(titles[1], "Table: Variable3 by Variable1");
    EXPECT_EQ(titles[2], "Table: Variable3 by Variable2");
    EXPECT_EQ(titles[105], "Table: Variable16 by Variable1");
    EXPECT_EQ(titles[119], "Table: Variable16 by Variable15");
    // Every line of a table is as wide as its dashes: 12 x 16 + 22.
    for (const auto& line : Lines(text)) {
        if (!line.empty() && line.rfind("Table: ", 0) != 0) {
            EXPECT_EQ(line.size(), 214u) << line;
        }
    }
}

TEST(TextReportTest, PredictorTablesFollowTheParameterBlocks) {
    // Second predictor's coefficients start after the first predictor's K
    // parameters, and the average is repeated in every table.
    auto ts = test::VoteExample();
    ts->PredictorList[1] = 3;  // Region first, then Sex: parameters 2..4 Region, 5..6 Sex
    ts->PredictorList[2] = 1;
    const std::string text = WrittenText([&ts](OutputFile& f) { test::WriteTextCoefficients(*ts, f); });
    const auto lines = Lines(text);
    ASSERT_EQ(lines.size(), 16u);
    EXPECT_EQ(lines[0], "Coeficients for variable: Region");
    EXPECT_EQ(lines[4], "Yes               60.0        -6.7         2.9         6.3");
    EXPECT_EQ(lines[8], "Coeficients for variable: Sex");
    EXPECT_EQ(lines[12], "Yes               60.0         1.5        -0.0");
}

}  // namespace
}  // namespace kelvo
