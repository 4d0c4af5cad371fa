#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "cli_runner.h"
#include "test_support.h"

namespace kelvo {
namespace {

using test::RunCli;

const std::string Titanic = test::SourcePath("examples/titanic.tbl").string();

// One predictor, Group (30 and 70 cases), and Vote: 10 of the 30 and 35 of
// the 70 vote Yes.
const std::string WorkedExample =
    "2\r\nGroup\r\n2\r\nA\r\nB\r\nVote\r\n2\r\nYes\r\nNo\r\nVote*Group\r\n10 35\r\n20 35\r\n";

// Q groups P's categories a and b into x and c into y: collinear.
const std::string Collinear =
    "3\r\nP\r\n3\r\na\r\nb\r\nc\r\nQ\r\n2\r\nx\r\ny\r\nY\r\n2\r\nyes\r\nno\r\n"
    "Q*P\r\n10 20 0\r\n0 0 30\r\nY*P\r\n4 15 10\r\n6 5 20\r\nY*Q\r\n19 10\r\n11 20\r\n";

// Table Y*Q disagrees on Q with Q*P.
const std::string Mismatched =
    "3\r\nP\r\n2\r\na\r\nb\r\nQ\r\n2\r\nx\r\ny\r\nY\r\n2\r\nyes\r\nno\r\n"
    "Q*P\r\n10 20\r\n5 15\r\nY*P\r\n4 15\r\n11 20\r\nY*Q\r\n12 7\r\n19 12\r\n";

TEST(CliCheckTest, ExitStatusTellsWhetherTotalsAgree) {
    test::TempDir dir;
    auto result = RunCli({"check", Titanic});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out + result.err, "");

    test::WriteFile(dir / "m.tbl", Mismatched);
    result = RunCli({"check", (dir / "m.tbl").string()});
    EXPECT_EQ(result.status, 1);
    // Found in the last table, for its column variable.
    EXPECT_EQ(result.err, "warning: Totals do not match for variable Q\n");

    result = RunCli({"check", (dir / "missing.tbl").string()});
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.err, "kelvo-cli: File not found\n");
}

TEST(CliCheckTest, RepeatsTheWarningAfterEveryLaterTable) {
    test::TempDir dir;
    // Four variables; Sex*Class gives Class totals that Age*Class and
    // Survived*Class contradict.
    std::string text = test::ReadFile(Titanic);
    const std::string from = "       180        179        510        862 ";
    ASSERT_NE(text.find(from), std::string::npos);
    text.replace(text.find(from), from.size(), "       181        178        510        862 ");
    test::WriteFile(dir / "t.tbl", text);
    const auto result = RunCli({"check", (dir / "t.tbl").string()});
    EXPECT_EQ(result.status, 1);
    // Pair (3,1) finds it; (3,2), (4,1), (4,2), (4,3) repeat it.
    std::string expected;
    for (int n = 0; n < 5; ++n) expected += "warning: Totals do not match for variable Class\n";
    EXPECT_EQ(result.err, expected);
}

TEST(CliEstimateTest, PrintsTablesLikeTheTextReport) {
    test::TempDir dir;
    test::WriteFile(dir / "w.tbl", WorkedExample);
    const auto result = RunCli({"estimate", "w.tbl", "--dependent", "Vote", "--predictors", "Group"}, dir.path());
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.err, "");
    // The report's tables, then the prediction range and the model summary.
    const std::string summary = "Model fit for Vote (N = 100, residual df 98)\n";
    const std::size_t fit = result.out.find(summary);
    ASSERT_NE(fit, std::string::npos) << result.out;
    EXPECT_EQ(result.out.substr(0, fit),
              "Coeficients for variable: Group\n"
              "----------------------------------------------\n"
              "Vote           Average           A           B\n"
              "----------------------------------------------\n"
              "Yes               45.0       -11.7         5.0\n"
              "No                55.0        11.7        -5.0\n"
              "----------------------------------------------\n"
              "\n"
              "Standard errors for variable: Group\n"
              "----------------------------------------------\n"
              "Vote           Average           A           B\n"
              "----------------------------------------------\n"
              "Yes                5.0         7.6         3.3\n"
              "No                 5.0         7.6         3.3\n"
              "----------------------------------------------\n"
              "\n"
              "Predictions for the dependent variable\n"
              "----------------------------------\n"
              "Category       Minimum     Maximum\n"
              "----------------------------------\n"
              "Yes               33.3        50.0\n"
              "No                50.0        66.7\n"
              "----------------------------------\n"
              "\n");
    // R squared 0.0236 and F 2.37 (p 0.1273) of the worked example; the
    // deviation of A keeps its classical standard error, t and p.
    EXPECT_NE(result.out.find("Yes                 45      0.0236      0.0136        49.7\n"), std::string::npos);
    EXPECT_NE(result.out.find("Group           0.1535      0.1535        2.37           1          98      0.1273\n"),
              std::string::npos);
    EXPECT_NE(result.out.find("A                   30       -11.7       -11.7             7.6       -1.54      0.1273\n"),
              std::string::npos);
    // The log goes to "log" in the current directory by default.
    const std::string log = test::ReadFile(dir / "log");
    EXPECT_EQ(log.substr(0, 20), "    45.0    55.0\r\n  ");
}

TEST(CliEstimateTest, JsonHoldsTheWholeResult) {
    test::TempDir dir;
    const auto log = (dir / "titanic.log").string();
    // Predictors in any order are taken in variable order.
    const auto result =
        RunCli({"estimate", Titanic, "--dependent", "Survived", "--predictors", "Sex,Class", "--json", "--log", log});
    ASSERT_EQ(result.status, 0) << result.err;
    const auto json = nlohmann::json::parse(result.out);
    EXPECT_EQ(json["status"], "ok");
    EXPECT_EQ(json["dependent"], "Survived");
    EXPECT_EQ(json["dependent_categories"], nlohmann::json::parse(R"(["No", "Yes"])"));
    EXPECT_EQ(json["predictors"], nlohmann::json::parse(R"(["Class", "Sex"])"));
    EXPECT_EQ(json["total_count"], 2201);
    EXPECT_EQ(json["parameter_count"], 7);
    ASSERT_EQ(json["parameters"].size(), 7u);
    EXPECT_TRUE(json["parameters"][0]["variable"].is_null());
    EXPECT_EQ(json["parameters"][0]["category"], "Average");
    EXPECT_EQ(json["parameters"][5]["variable"], "Sex");
    EXPECT_EQ(json["parameters"][5]["category"], "Male");
    ASSERT_EQ(json["coefficients"].size(), 7u);
    EXPECT_NEAR(json["coefficients"][0][0].get<double>(), 1490.0 / 2201, 1e-15);
    EXPECT_NEAR(json["coefficients"][0][1].get<double>(), 711.0 / 2201, 1e-15);
    EXPECT_EQ(json["standard_errors"].size(), 7u);
    EXPECT_EQ(json["minimum_prediction"].size(), 2u);
    EXPECT_LT(json["minimum_prediction"][1].get<double>(), json["maximum_prediction"][1].get<double>());
    // Who fared worst and best: per dependent category, one category per predictor.
    EXPECT_EQ(json["minimum_combination"], nlohmann::json::parse(R"([["1st", "Female"], ["3rd", "Male"]])"));
    EXPECT_EQ(json["maximum_combination"], nlohmann::json::parse(R"([["3rd", "Male"], ["1st", "Female"]])"));
    EXPECT_EQ(json["warnings"], nlohmann::json::array());
    // 17 significant digits.
    EXPECT_NE(result.out.find("0.67696501590186264"), std::string::npos) << result.out;
    EXPECT_FALSE(test::ReadFile(log).empty());
}

TEST(CliEstimateTest, SingularModelExitsOneWithoutResults) {
    test::TempDir dir;
    test::WriteFile(dir / "c.tbl", Collinear);
    const std::string file = (dir / "c.tbl").string();
    const std::string log = (dir / "log").string();
    auto result = RunCli({"estimate", file, "--dependent", "Y", "--predictors", "P,Q", "--log", log});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, "warning: Error: Matrix is singular !\n");

    result = RunCli({"estimate", file, "--dependent", "Y", "--predictors", "P,Q", "--json", "--log", log});
    EXPECT_EQ(result.status, 1);
    const auto json = nlohmann::json::parse(result.out);
    EXPECT_EQ(json["status"], "singular");
    EXPECT_EQ(json["parameter_count"], 6);
    EXPECT_FALSE(json.contains("coefficients"));
    EXPECT_FALSE(json.contains("standard_errors"));
    EXPECT_FALSE(json.contains("minimum_prediction"));
    EXPECT_EQ(json["warnings"], nlohmann::json::parse(R"(["Error: Matrix is singular !"])"));
}

TEST(CliEstimateTest, MismatchWarningsGoToStderrAndJson) {
    test::TempDir dir;
    test::WriteFile(dir / "m.tbl", Mismatched);
    const auto result = RunCli({"estimate", (dir / "m.tbl").string(), "--dependent", "Y", "--predictors", "P", "--json",
                                "--log", (dir / "log").string()});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.err, "warning: Totals do not match for variable Q\n");
    const auto json = nlohmann::json::parse(result.out);
    EXPECT_EQ(json["status"], "ok");
    EXPECT_EQ(json["warnings"], nlohmann::json::parse(R"(["Totals do not match for variable Q"])"));
}

TEST(CliEstimateTest, NameTypedInUtf8FindsLatin1Variable) {
    test::TempDir dir;
    std::string text = WorkedExample;
    text.replace(text.find("Group\r\n"), 5,
                 "Gr\xF6\xDF"
                 "e");
    text.replace(text.find("Vote*Group"), 10,
                 "Vote*Gr\xF6\xDF"
                 "e");
    test::WriteFile(dir / "w.tbl", text);
    const auto result = RunCli({"estimate", (dir / "w.tbl").string(), "--dependent", "Vote", "--predictors",
                                "Gr\xC3\xB6\xC3\x9F"
                                "e",
                                "--json", "--log", (dir / "log").string()});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(nlohmann::json::parse(result.out)["predictors"][0], "Gr\u00f6\u00dfe");
}

struct UsageCase {
    const char* name;
    std::vector<std::string> options;
    std::string message;
};

void PrintTo(const UsageCase& c, std::ostream* os) {
    *os << c.name;
}

class CliEstimateUsageTest : public ::testing::TestWithParam<UsageCase> {};

TEST_P(CliEstimateUsageTest, RefusedWithExitTwoAndNoLog) {
    const UsageCase& c = GetParam();
    test::TempDir dir;
    std::vector<std::string> arguments = {"estimate", Titanic};
    arguments.insert(arguments.end(), c.options.begin(), c.options.end());
    const auto result = RunCli(arguments, dir.path());
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.out, "");
    EXPECT_NE(result.err.find(c.message), std::string::npos) << result.err;
    EXPECT_FALSE(std::filesystem::exists(dir / "log"));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CliEstimateUsageTest,
    ::testing::Values(
        UsageCase{
            "UnknownDependent", {"--dependent", "survived", "--predictors", "Sex"}, "no variable named \"survived\""},
        UsageCase{
            "UnknownPredictor", {"--dependent", "Survived", "--predictors", "Sex, Age"}, "no variable named \" Age\""},
        UsageCase{"DependentAsPredictor",
                  {"--dependent", "Survived", "--predictors", "Sex,Survived"},
                  "\"Survived\" is the dependent variable"},
        UsageCase{"EmptyList", {"--dependent", "Survived", "--predictors", ""}, "--predictors names no variable"},
        UsageCase{"EmptyName", {"--dependent", "Survived", "--predictors", "Sex,,Age"}, "empty variable name"},
        UsageCase{"PredictorTwice", {"--dependent", "Survived", "--predictors", "Sex,Age,Sex"}, "given twice"},
        UsageCase{"NoDependent", {"--predictors", "Sex"}, "--dependent is required"},
        UsageCase{"NoPredictors", {"--dependent", "Survived"}, "--predictors is required"}));

TEST(CliEstimateTest, LogThatCannotBeWrittenIsAnError) {
    test::TempDir dir;
    const auto result = RunCli({"estimate", Titanic, "--dependent", "Survived", "--predictors", "Sex", "--log",
                                (dir / "missing" / "log").string()});
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, "kelvo-cli: Path not found\n");
}

TEST(CliEstimateTest, ALogThatIsASymbolicLinkIsNotWrittenThrough) {
    test::TempDir dir;
    test::WriteFile(dir / "notes", "precious notes");
    std::filesystem::create_symlink(dir / "notes", dir / "log");
    const auto result = RunCli({"estimate", Titanic, "--dependent", "Survived", "--predictors", "Sex"}, dir.path());
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.err, "kelvo-cli: Not a regular file: log (a symbolic link, which is not followed)\n");
    EXPECT_EQ(test::ReadFile(dir / "notes"), "precious notes");
}

// A table header that stops the reading leaves the later tables at 0: the
// commands that estimate still give their output, with the warning and exit
// status 3, even for a model that uses none of the tables left out.
class CliPartialReadTest : public ::testing::TestWithParam<std::vector<std::string>> {};

TEST_P(CliPartialReadTest, ExitsWithStatus3AndTheWarning) {
    test::TempDir dir;
    std::string text = test::ReadFile(Titanic);
    text.replace(text.find("Survived*Age"), 12, "Survived*Agx");
    test::WriteFile(dir / "t.tbl", text);
    std::vector<std::string> arguments = GetParam();
    arguments.insert(arguments.begin() + 1, (dir / "t.tbl").string());
    arguments.insert(arguments.end(), {"--dependent", "Survived", "--predictors", "Class,Sex"});
    const auto result = RunCli(arguments, dir.path());
    EXPECT_EQ(result.status, 3) << result.err;
    EXPECT_NE(result.err.find("warning: Incorrect variable name in file: Agx\n"), std::string::npos) << result.err;
    EXPECT_NE(result.err.find("was read only up to the faulty table header above"), std::string::npos) << result.err;
    // The output is there all the same.
    EXPECT_TRUE(!result.out.empty() || std::filesystem::exists(dir / "out")) << arguments[0];

    // The whole file: status 0.
    arguments[1] = Titanic;
    EXPECT_EQ(RunCli(arguments, dir.path()).status, 0);
}

INSTANTIATE_TEST_SUITE_P(Commands, CliPartialReadTest,
                         ::testing::Values(std::vector<std::string>{"estimate"},
                                           std::vector<std::string>{"report", "--format", "text", "-o", "out"},
                                           std::vector<std::string>{"chart", "-o", "out"}));

}  // namespace
}  // namespace kelvo

namespace kelvo {
namespace {

TEST(CliCheckTest, DetailsListTheDisagreeingTables) {
    test::TempDir dir;
    test::WriteFile(dir / "d.tbl",
                    "3\r\nA\r\n2\r\na1\r\na2\r\nB\r\n2\r\nb1\r\nb2\r\nC\r\n2\r\nc1\r\nc2\r\n"
                    "B*A\r\n3 4\r\n0 5\r\nC*A\r\n3 4\r\n0 6\r\n");
    const auto result = test::RunCli({"check", (dir / "d.tbl").string(), "--details"});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out.substr(0, result.out.find("Totals do not match for variable B")),
              "Totals do not match for variable A:\n"
              "  table 1 (B by A): a1 3, a2 9; total 12\n"
              "  table 2 (C by A): a1 3, a2 10; total 13\n");
    EXPECT_NE(result.out.find("All cells are 0 in table 3 (C by B)\n"), std::string::npos);
    EXPECT_NE(result.err.find("warning: Totals do not match for variable A\n"), std::string::npos);
}

}  // namespace
}  // namespace kelvo
