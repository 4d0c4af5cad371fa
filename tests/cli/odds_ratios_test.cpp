// kelvo-cli estimate --odds-ratios and report --sections odds-ratios: the
// odds-ratio model beside the linear one, in JSON, text and the reports.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "cli_runner.h"
#include "model_results.h"
#include "odds_ratio_fit.h"
#include "test_support.h"

namespace kelvo {
namespace {

using nlohmann::json;
using test::RunCli;

const std::string Titanic = test::SourcePath("examples/titanic.tbl").string();
const std::vector<std::string> Survived = {"--dependent", "Survived", "--predictors", "Class,Sex,Age"};

// Q groups P's categories a and b into x and c into y: the linear model is
// singular, and Q*P has empty cells.
const std::string Collinear =
    "3\r\nP\r\n3\r\na\r\nb\r\nc\r\nQ\r\n2\r\nx\r\ny\r\nY\r\n2\r\nyes\r\nno\r\n"
    "Q*P\r\n10 20 0\r\n0 0 30\r\nY*P\r\n4 15 10\r\n6 5 20\r\nY*Q\r\n19 10\r\n11 20\r\n";

std::vector<std::string> With(std::vector<std::string> arguments, const std::vector<std::string>& more) {
    arguments.insert(arguments.end(), more.begin(), more.end());
    return arguments;
}

std::vector<std::string> Keys(const nlohmann::ordered_json& object) {
    std::vector<std::string> keys;
    for (const auto& [key, value] : object.items()) keys.push_back(key);
    return keys;
}

// The object's fields in the order of the JSON, and the numbers of the fit
// that the program's own results hold; the rest of the output is as without
// the flag.
TEST(CliOddsRatiosTest, JsonHoldsTheModelAndLeavesTheRest) {
    test::TempDir dir;
    const auto base = With({"estimate", Titanic, "--json", "--log", (dir / "log").string()}, Survived);
    const auto plain = RunCli(base);
    const auto result = RunCli(With(base, {"--odds-ratios"}));
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.err, "");
    json document = json::parse(result.out);
    const json model = document.at("odds_ratio_model");
    document.erase("odds_ratio_model");
    EXPECT_EQ(document, json::parse(plain.out));
    const nlohmann::ordered_json ordered = nlohmann::ordered_json::parse(result.out).at("odds_ratio_model");

    EXPECT_EQ(Keys(ordered), (std::vector<std::string>{"cells", "iterations", "converged", "tests", "parameters",
                                                     "predictions"}));
    EXPECT_EQ(model.at("cells"), 32);
    EXPECT_TRUE(model.at("converged").get<bool>());
    EXPECT_EQ(Keys(ordered.at("tests")[0]), (std::vector<std::string>{"predictor", "g2", "df", "p_value"}));
    EXPECT_EQ(Keys(ordered.at("parameters")[0]),
              (std::vector<std::string>{"predictor", "category", "dependent_category", "log_odds_ratio",
                                        "standard_error", "odds_ratio", "lower95", "upper95"}));
    EXPECT_EQ(Keys(ordered.at("predictions")[0]), (std::vector<std::string>{"dependent_category", "minimum", "maximum",
                                                                          "minimum_at", "maximum_at"}));

    auto ts = test::ReadExample("titanic.tbl");
    ts->DependentVariable = 4;
    ts->PredictorCount = 3;
    for (int t = 1; t <= 3; ++t) ts->PredictorList[t] = t;
    const OddsRatioModel fit = FitOddsRatioModel(*ts, *ts);
    ASSERT_EQ(model.at("parameters").size(), fit.parameters.size());
    for (std::size_t i = 0; i < fit.parameters.size(); ++i) {
        const json& p = model.at("parameters")[i];
        EXPECT_EQ(p.at("log_odds_ratio").get<double>(), fit.parameters[i].logOddsRatio);
        EXPECT_EQ(p.at("upper95").get<double>(), fit.parameters[i].Upper());
    }
    EXPECT_EQ(model.at("parameters")[3].at("predictor"), "Sex");
    EXPECT_EQ(model.at("parameters")[3].at("category"), "Female");
    EXPECT_EQ(model.at("tests")[1].at("df"), 1);
    EXPECT_EQ(model.at("tests")[0].at("p_value").get<double>(), fit.tests[0].pValue);
    // Women and children of the first class: the most likely to survive.
    EXPECT_EQ(model.at("predictions")[1].at("maximum_at"),
              json::parse(R"({"Class": "1st", "Sex": "Female", "Age": "Child"})"));
}

// A singular linear model still has its odds ratios; those that the empty
// cells leave undetermined are null and named in a warning.
TEST(CliOddsRatiosTest, SingularModelGivesNullsWhereNotEstimable) {
    test::TempDir dir;
    test::WriteFile(dir / "c.tbl", Collinear);
    const auto result =
        RunCli({"estimate", "c.tbl", "--dependent", "Y", "--predictors", "P,Q", "--odds-ratios", "--json"}, dir.path());
    EXPECT_EQ(result.status, 1);
    const json document = json::parse(result.out);
    EXPECT_EQ(document.at("status"), "singular");
    const json& parameters = document.at("odds_ratio_model").at("parameters");
    ASSERT_EQ(parameters.size(), 3u);
    EXPECT_TRUE(parameters[0].at("standard_error").is_number());
    for (const char* key : {"log_odds_ratio", "standard_error", "odds_ratio", "lower95", "upper95"}) {
        EXPECT_TRUE(parameters[1].at(key).is_null()) << key;
        EXPECT_TRUE(parameters[2].at(key).is_null()) << key;
    }
    const std::vector<std::string> warnings = document.at("warnings");
    ASSERT_EQ(warnings.size(), 3u);
    EXPECT_EQ(warnings[1], "Odds ratio for P = c, Y = no not estimable: empty cells of the other tables leave it "
                           "undetermined");
}

// In text, the section comes after everything the command printed before.
TEST(CliOddsRatiosTest, TextSectionFollowsTheSummary) {
    test::TempDir dir;
    const auto base = With({"estimate", Titanic, "--log", (dir / "log").string()}, Survived);
    const auto plain = RunCli(base);
    const auto result = RunCli(With(base, {"--odds-ratios"}));
    ASSERT_EQ(result.status, 0) << result.err;
    ASSERT_EQ(result.out.compare(0, plain.out.size(), plain.out), 0);
    const std::string added = result.out.substr(plain.out.size());
    EXPECT_EQ(added.rfind("Tests of the associations with Survived (N = 2201)\n", 0), 0u) << added;
    EXPECT_NE(added.find("Female          2.4242      0.1406      11.293       8.573      14.877\n"),
              std::string::npos)
        << added;
}

// A joint table beyond 2^24 cells is refused with its size; the linear model
// is not printed as if all had gone well.
TEST(CliOddsRatiosTest, RefusesAModelTooLarge) {
    test::TempDir dir;
    std::string text = "7\r\n";
    for (int v = 1; v <= 7; ++v) {
        text += "V" + std::to_string(v) + "\r\n16\r\n";
        for (int c = 1; c <= 16; ++c) text += "c" + std::to_string(c) + "\r\n";
    }
    for (int i = 2; i <= 7; ++i)
        for (int j = 1; j < i; ++j) {
            text += "V" + std::to_string(i) + "*V" + std::to_string(j) + "\r\n";
            for (int r = 0; r < 16; ++r) {
                for (int c = 0; c < 16; ++c) text += (c ? " " : "") + std::to_string(1 + (r == c));
                text += "\r\n";
            }
        }
    test::WriteFile(dir / "big.tbl", text);
    const auto result = RunCli({"estimate", "big.tbl", "--dependent", "V1", "--predictors", "V2,V3,V4,V5,V6,V7",
                                "--odds-ratios"},
                               dir.path());
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err,
              "kelvo-cli: Model too large for the odds-ratio model: 268,435,456 cells (at most 16,777,216)\n");
}

// The report section, in both formats, after the summary, with the chart in
// HTML; its tables are those the estimate command prints.
TEST(CliOddsRatiosTest, ReportSection) {
    test::TempDir dir;
    const auto estimate = RunCli(With({"estimate", Titanic, "--odds-ratios", "--log", (dir / "log").string()}, Survived));
    const std::string tests = estimate.out.substr(estimate.out.find("Tests of the associations"));
    for (const char* format : {"text", "html"}) {
        const auto result = RunCli(With({"report", Titanic, "--format", format, "--sections", "odds-ratios,summary",
                                         "-o", "r", "--log", (dir / "log").string()},
                                        Survived),
                                   dir.path());
        ASSERT_EQ(result.status, 0) << result.err;
        std::string report = test::ReadFile(dir / "r");
        std::erase(report, '\r');
        const std::size_t summary = report.find("Model fit for Survived");
        const std::size_t section = report.find("Tests of the associations with Survived");
        ASSERT_NE(summary, std::string::npos);
        ASSERT_NE(section, std::string::npos);
        EXPECT_LT(summary, section);
        if (std::string(format) == "text") {
            EXPECT_NE(report.find(tests), std::string::npos);
        } else {
            EXPECT_NE(report.find("(log scale)</text>"), std::string::npos);
            EXPECT_NE(report.find("<td class=\"kop\" align=right>11.293"), std::string::npos);
        }
    }
}

}  // namespace
}  // namespace kelvo
