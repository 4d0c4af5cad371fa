#include <gtest/gtest.h>

#include "cli_runner.h"
#include "estimation.h"
#include "model_fit.h"
#include "report.h"
#include "test_support.h"

namespace kelvo {
namespace {

using test::RunCli;

const std::string Titanic = test::SourcePath("examples/titanic.tbl").string();

// Q groups P's categories a and b into x and c into y: collinear, singular.
const std::string Collinear =
    "3\r\nP\r\n3\r\na\r\nb\r\nc\r\nQ\r\n2\r\nx\r\ny\r\nY\r\n2\r\nyes\r\nno\r\n"
    "Q*P\r\n10 20 0\r\n0 0 30\r\nY*P\r\n4 15 10\r\n6 5 20\r\nY*Q\r\n19 10\r\n11 20\r\n";

// The report the desktop program writes for Survived on Class, Sex and Age
// of the Titanic table set: the same estimation and the same dispatch.
std::string CoreReport(std::uint8_t type, SectionChoice sections, const test::TempDir& dir) {
    auto read = test::ReadExample("titanic.tbl");
    TableSet& ts = *read;
    CollectingWarningSink warnings;
    for (int v = 1; v <= ts.VariableCount; ++v) ts.VariableRoles[v] = 2;
    ts.VariableRoles[FindVariable(ts, "Survived")] = 1;
    SelectModelFromRoles(ts, ts);
    EXPECT_TRUE(ComputeEstimates(ts, warnings, dir / "core-log"));
    ComputeModelSummary(ts);  // as the desktop program does after every estimation
    ts.ReportFileName = (dir / "core-report").string();
    ts.ReportType = type;
    ts.OutputSections = sections;
    WriteReport(ts);
    return test::ReadFile(ts.ReportFileName);
}

struct FormatCase {
    const char* name;
    std::vector<std::string> options;  // --format and --sections
    std::uint8_t type;
    SectionChoice sections;
};

void PrintTo(const FormatCase& c, std::ostream* os) { *os << c.name; }

class CliReportTest : public ::testing::TestWithParam<FormatCase> {};

TEST_P(CliReportTest, WritesWhatTheDesktopProgramWrites) {
    const auto& c = GetParam();
    test::TempDir dir;
    const std::string out = (dir / "report.out").string();
    std::vector<std::string> arguments = {"report", Titanic, "--dependent", "Survived", "--predictors", "Class,Sex,Age",
                                          "-o", out, "--log", (dir / "log").string()};
    arguments.insert(arguments.end(), c.options.begin(), c.options.end());
    const auto result = RunCli(arguments);
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out + result.err, "");
    EXPECT_EQ(test::ReadFile(out), CoreReport(c.type, c.sections, dir));
    EXPECT_FALSE(test::ReadFile(dir / "log").empty());
}

INSTANTIATE_TEST_SUITE_P(
    Formats, CliReportTest,
    ::testing::Values(
        FormatCase{"HtmlEverySectionByDefault", {"--format", "html"}, HtmlReport, {false, true, true, true, true}},
        FormatCase{"TextEverySectionByDefault", {"--format", "text"}, TextReport, {false, true, true, true, true}},
        FormatCase{"HtmlNone", {"--format", "html", "--sections", "none"}, HtmlReport, {}},
        FormatCase{"TextNone", {"--format", "text", "--sections", "none"}, TextReport, {}},
        // Any order gives the fixed order; enhanced alone in text is nothing.
        FormatCase{"HtmlChosen", {"--format", "html", "--sections", "enhanced,tables"}, HtmlReport,
                   {false, true, false, false, true}},
        FormatCase{"TextEnhancedIgnored", {"--format", "text", "--sections", "errors,enhanced"}, TextReport,
                   {false, false, false, true, true}},
        FormatCase{"HtmlSummary", {"--format", "html", "--sections", "summary,enhanced"}, HtmlReport,
                   {false, false, false, false, true, true}},
        FormatCase{"TextSummary", {"--format", "text", "--sections", "summary,coefficients"}, TextReport,
                   {false, false, true, false, false, true}}));

// The model summary section after the four standard ones, in both formats.
TEST(CliReportTest, TitanicSummaryGoldens) {
    for (const auto& [format, golden] : {std::pair{"html", "report_summary_titanic.html"},
                                         std::pair{"text", "report_summary_titanic.txt"}}) {
        test::TempDir dir;
        const auto result = RunCli({"report", Titanic, "--dependent", "Survived", "--predictors", "Class,Sex,Age",
                                    "--format", format, "--sections", "coefficients,summary", "-o", "titanic"},
                                   dir.path().string());
        ASSERT_EQ(result.status, 0) << result.err;
        EXPECT_TRUE(test::MatchesGolden(golden, test::ReadFile(dir / "titanic")));
    }
}

TEST(CliReportTest, TitanicTextReport) {
    test::TempDir dir;
    const auto result = RunCli({"report", Titanic, "--dependent", "Survived", "--predictors", "Class,Sex,Age", "--format",
                             "text", "-o", "titanic.txt"},
                            dir.path().string());
    ASSERT_EQ(result.status, 0) << result.err;
    // Relative names are relative to the working directory, as is the log.
    EXPECT_TRUE(std::filesystem::exists(dir / "log"));
    EXPECT_TRUE(test::MatchesGolden("cli_report_titanic.txt", test::ReadFile(dir / "titanic.txt")));
}

TEST(CliReportTest, SingularModelWritesNoReport) {
    test::TempDir dir;
    test::WriteFile(dir / "c.tbl", Collinear);
    test::WriteFile(dir / "old.html", "kept");
    const auto result = RunCli({"report", (dir / "c.tbl").string(), "--dependent", "Y", "--predictors", "P,Q", "--format",
                             "html", "-o", (dir / "old.html").string(), "--log", (dir / "log").string()});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, "warning: Error: Matrix is singular !\nkelvo-cli: the model is singular; no report written\n");
    EXPECT_EQ(test::ReadFile(dir / "old.html"), "kept");
}

struct UsageCase {
    const char* name;
    std::vector<std::string> arguments;  // after FILE; "@" is the temporary directory
    const char* error;                   // the start of the message; empty: any message
};

void PrintTo(const UsageCase& c, std::ostream* os) { *os << c.name; }

class CliReportUsageTest : public ::testing::TestWithParam<UsageCase> {};

TEST_P(CliReportUsageTest, ExitsTwoAndWritesNothing) {
    const auto& c = GetParam();
    test::TempDir dir;
    std::vector<std::string> arguments = {"report", Titanic, "--log", (dir / "log").string()};
    for (std::string argument : c.arguments) {
        if (argument.rfind('@', 0) == 0) argument = dir.path().string() + argument.substr(1);
        arguments.push_back(argument);
    }
    const auto result = RunCli(arguments);
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err.rfind(std::string("kelvo-cli: ") + c.error, 0), 0u) << result.err;
    EXPECT_FALSE(std::filesystem::exists(dir / "r"));
}

const std::vector<std::string> Model = {"--dependent", "Survived", "--predictors", "Sex"};

std::vector<std::string> With(std::vector<std::string> extra) {
    extra.insert(extra.begin(), Model.begin(), Model.end());
    return extra;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CliReportUsageTest,
    ::testing::Values(
        UsageCase{"UnknownSection", With({"--format", "html", "-o", "@/r", "--sections", "tables,graphs"}),
                  "unknown section \"graphs\""},
        UsageCase{"NoneWithOthers", With({"--format", "html", "-o", "@/r", "--sections", "none,tables"}),
                  "unknown section \"none\""},
        UsageCase{"EmptySection", With({"--format", "html", "-o", "@/r", "--sections", "tables,"}),
                  "unknown section \"\""},
        UsageCase{"UnknownFormat", With({"--format", "docx", "-o", "@/r"}), ""},
        UsageCase{"NoFormat", With({"-o", "@/r"}), ""},
        UsageCase{"NoOutput", With({"--format", "text"}), ""},
        UsageCase{"UnknownVariable",
                  {"--dependent", "Survived", "--predictors", "Sex,Height", "--format", "text", "-o", "@/r"},
                  "no variable named \"Height\""},
        UsageCase{"MissingFolder", With({"--format", "text", "-o", "@/no/r"}), "Path not found"}));

}  // namespace
}  // namespace kelvo
