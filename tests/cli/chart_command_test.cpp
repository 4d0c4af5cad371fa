#include <gtest/gtest.h>

#include <filesystem>

#include "chart_svg.h"
#include "cli_runner.h"
#include "estimation_support.h"
#include "model_fit.h"
#include "test_support.h"

namespace kelvo {
namespace {

using test::RunCli;

const std::string Titanic = test::SourcePath("examples/titanic.tbl").string();

// What the core draws for the Titanic model, with the summary as kelvo-cli
// computes it.
std::string Expected(int d, int t) {
    auto ts = test::ReadExample("titanic.tbl");
    test::TempDir dir;
    CollectingWarningSink warnings;
    EXPECT_TRUE(test::Estimate(*ts, FindVariable(*ts, "Survived"), {FindVariable(*ts, "Class"), FindVariable(*ts, "Sex")},
                               warnings, dir / "log"));
    ComputeModelSummary(*ts);
    return CoefficientChartSvg(ResultsOf(*ts), d, t);
}

std::vector<std::string> Arguments(const test::TempDir& dir, std::vector<std::string> extra) {
    std::vector<std::string> arguments = {"chart", Titanic, "--dependent", "Survived", "--predictors", "Class,Sex",
                                          "--log", (dir / "log").string()};
    arguments.insert(arguments.end(), extra.begin(), extra.end());
    return arguments;
}

TEST(CliChartTest, OneFileOrAFolderOfCharts) {
    test::TempDir dir;
    auto result = RunCli(Arguments(dir, {"-o", (dir / "all.svg").string()}));
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(test::ReadFile(dir / "all.svg"), Expected(1, 0));  // every predictor, the first category
    result = RunCli(Arguments(dir, {"--category", "Yes", "--predictor", "Sex", "-o", (dir / "sex.svg").string()}));
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(test::ReadFile(dir / "sex.svg"), Expected(2, 2));

    std::filesystem::create_directory(dir / "charts");
    result = RunCli(Arguments(dir, {"--category", "Yes", "-o", (dir / "charts").string()}));
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(test::ReadFile(dir / "charts" / "Class-Yes.svg"), Expected(2, 1));
    EXPECT_EQ(test::ReadFile(dir / "charts" / "Sex-Yes.svg"), Expected(2, 2));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir / "charts"), {}), 2);
}

TEST(CliChartTest, RefusalsWriteNothing) {
    test::TempDir dir;
    for (const auto& extra : std::vector<std::vector<std::string>>{{"--category", "Maybe"}, {"--predictor", "Age"}}) {
        std::vector<std::string> arguments = extra;
        arguments.insert(arguments.end(), {"-o", (dir / "c.svg").string()});
        const auto result = RunCli(Arguments(dir, arguments));
        EXPECT_EQ(result.status, 2) << extra[0];
        EXPECT_FALSE(result.err.empty());
        EXPECT_FALSE(std::filesystem::exists(dir / "c.svg"));
    }
    const auto missing = RunCli(Arguments(dir, {"-o", (dir / "no" / "c.svg").string()}));
    EXPECT_EQ(missing.status, 2);
    EXPECT_NE(missing.err.find("Path not found"), std::string::npos) << missing.err;
}

}  // namespace
}  // namespace kelvo
