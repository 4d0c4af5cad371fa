// The coefficient chart: its marks are read back from the SVG text and held
// against the results (no pictures are compared), and the document is checked
// against the SVG 1.1 DTD with xmllint.
#include "chart_svg.h"

#include <gtest/gtest.h>

#include <cmath>
#include <regex>

#include "cli_runner.h"
#include "estimation_support.h"
#include "largest_table_set.h"
#include "model_fit.h"
#include "odds_ratio_fit.h"
#include "significance.h"
#include "test_support.h"

namespace kelvo {
namespace {

struct Mark {
    double x = 0, y = 0;
    bool filled = false;
};

struct Parsed {
    std::vector<Mark> points;
    std::vector<std::pair<double, double>> intervals;  // left and right end
    std::vector<std::pair<double, double>> ticks;      // position and value
    std::vector<double> unadjusted;                    // centres of the diamonds
    std::vector<std::string> labels;
    double width = 0, height = 0;
};

Parsed Parse(const std::string& svg) {
    Parsed p;
    std::smatch m;
    const std::regex size(R"re(<svg [^>]*width="([0-9.]+)" height="([0-9.]+)")re");
    if (std::regex_search(svg, m, size)) {
        p.width = std::stod(m[1]);
        p.height = std::stod(m[2]);
    }
    const auto each = [&svg](const std::regex& pattern, const auto& take) {
        for (auto it = std::sregex_iterator(svg.begin(), svg.end(), pattern); it != std::sregex_iterator(); ++it)
            take(*it);
    };
    each(std::regex(R"re(<circle class="point( significant)?" cx="([-0-9.]+)" cy="([-0-9.]+)" r="[0-9.]+" fill="([^"]+)")re"),
         [&](const std::smatch& c) {
             EXPECT_EQ(c[1].matched, c[4] != "#ffffff") << "filled exactly when marked significant";
             p.points.push_back({std::stod(c[2]), std::stod(c[3]), c[1].matched});
         });
    each(std::regex(R"re(<line class="interval" x1="([-0-9.]+)" y1="[-0-9.]+" x2="([-0-9.]+)")re"),
         [&](const std::smatch& c) { p.intervals.emplace_back(std::stod(c[1]), std::stod(c[2])); });
    each(std::regex(R"re(<text x="([-0-9.]+)" y="[-0-9.]+" class="tick"[^>]*>([^<]+)</text>)re"),
         [&](const std::smatch& c) { p.ticks.emplace_back(std::stod(c[1]), std::stod(c[2])); });
    each(std::regex(R"re(<polygon class="unadjusted" points="([-0-9.]+),)re"),
         [&](const std::smatch& c) { p.unadjusted.push_back(std::stod(c[1])); });
    each(std::regex(R"re(class="label">([^<]*)</text>)re"), [&](const std::smatch& c) { p.labels.push_back(c[1]); });
    return p;
}

// The position of `value` by the axis: the ticks are labelled with their
// values, so two of them fix the scale.
double Position(const Parsed& p, double value) {
    const auto& [x0, v0] = p.ticks.front();
    const auto& [x1, v1] = p.ticks.back();
    return x0 + (value - v0) / (v1 - v0) * (x1 - x0);
}

TableSet Titanic() {
    auto ts = test::ReadExample("titanic.tbl");
    test::TempDir dir;
    CollectingWarningSink warnings;
    EXPECT_TRUE(test::Estimate(*ts, FindVariable(*ts, "Survived"), {FindVariable(*ts, "Class"), FindVariable(*ts, "Sex")},
                               warnings, dir / "log"));
    return *ts;
}

TEST(ChartTest, MarksFollowTheResults) {
    TableSet ts = Titanic();
    for (const bool classical : {false, true}) {
        ComputeModelSummary(ts);
        ChartOptions options;
        options.classical = classical;
        for (int d = 1; d <= 2; ++d) {
            const Parsed p = Parse(CoefficientChartSvg(ResultsOf(ts), d, 1, options));
            ASSERT_EQ(p.points.size(), 4u);  // the four classes
            ASSERT_EQ(p.intervals.size(), 4u);
            ASSERT_EQ(p.unadjusted.size(), 4u);
            ASSERT_GE(p.ticks.size(), 2u);
            EXPECT_EQ(p.labels, (std::vector<std::string>{"1st", "2nd", "3rd", "Crew"}));
            for (int k = 1; k <= 4; ++k) {
                const double b = ts.Coefficients[1 + k][d];
                const double s = classical ? ts.Summary.classicalStandardErrors(1 + k, d) : ts.StandardErrors[1 + k][d];
                const Mark& point = p.points[static_cast<std::size_t>(k) - 1];
                // Coordinates have two decimals.
                EXPECT_NEAR(point.x, Position(p, 100 * b), 0.01) << k;
                EXPECT_NEAR(p.intervals[k - 1].first, Position(p, 100 * b - 1.96 * s), 0.01) << k;
                EXPECT_NEAR(p.intervals[k - 1].second, Position(p, 100 * b + 1.96 * s), 0.01) << k;
                EXPECT_EQ(point.filled, IsSignificant(b, s)) << k;
                EXPECT_NEAR(p.unadjusted[k - 1], Position(p, 100 * ts.Summary.predictors[0].unadjusted(k, d)), 0.01);
            }
            // Rows go down the chart in category order, and the ticks are
            // round numbers.
            for (std::size_t k = 1; k < p.points.size(); ++k) EXPECT_GT(p.points[k].y, p.points[k - 1].y);
            const double step = p.ticks[1].second - p.ticks[0].second;
            const double power = std::pow(10.0, std::floor(std::log10(step)));
            const double leading = step / power;
            EXPECT_TRUE(std::fabs(leading - 1) < 1e-9 || std::fabs(leading - 2) < 1e-9 || std::fabs(leading - 5) < 1e-9);
        }
    }
    // Without the summary there are no unadjusted marks, and no classical
    // errors to draw.
    ts.Summary.present = false;
    EXPECT_TRUE(Parse(CoefficientChartSvg(ResultsOf(ts), 1, 1)).unadjusted.empty());
    ChartOptions classical;
    classical.classical = true;
    EXPECT_THROW(CoefficientChartSvg(ResultsOf(ts), 1, 1, classical), std::invalid_argument);
    EXPECT_THROW(CoefficientChartSvg(ResultsOf(ts), 3, 1), std::invalid_argument);
    EXPECT_THROW(CoefficientChartSvg(ResultsOf(ts), 1, 3), std::invalid_argument);
}

TEST(ChartTest, StackedChartHasEveryPredictorAndIsTheSameEachTime) {
    TableSet ts = Titanic();
    ComputeModelSummary(ts);
    const std::string svg = CoefficientChartSvg(ResultsOf(ts), 2, 0);
    const Parsed p = Parse(svg);
    EXPECT_EQ(p.points.size(), 6u);  // four classes and two sexes
    EXPECT_NE(svg.find(">Yes of Survived</text>"), std::string::npos);
    EXPECT_NE(svg.find("font-weight=\"bold\">Sex</text>"), std::string::npos);
    TableSet copy = ts;
    EXPECT_EQ(CoefficientChartSvg(ResultsOf(copy), 2, 0), svg);
}

TEST(ChartTest, NamesAreEscapedAndZeroErrorsHaveNoWhiskers) {
    TableSet ts = test::ThirtySeventy();
    ts.CategoryNames[1][1] = "R&D <new>";
    ts.CategoryNames[1][2] = "Caf\xE9";
    ts.VariableNames[2] = "\"Vote\"";
    test::TempDir dir;
    CollectingWarningSink warnings;
    ASSERT_TRUE(test::Estimate(ts, 2, {1}, warnings, dir / "log"));
    ts.StandardErrors[2][1] = 0;  // category R&D: no whiskers, and significant
    const std::string svg = CoefficientChartSvg(ResultsOf(ts), 1, 1);
    const Parsed p = Parse(svg);
    EXPECT_EQ(p.labels, (std::vector<std::string>{"R&amp;D &lt;new&gt;", "Caf&#233;"}));
    EXPECT_NE(svg.find("<title>Group: Yes of &quot;Vote&quot;</title>"), std::string::npos);
    EXPECT_EQ(p.points.size(), 2u);
    EXPECT_EQ(p.intervals.size(), 1u);
    EXPECT_TRUE(p.points[0].filled);
    for (const char c : svg) EXPECT_LT(static_cast<unsigned char>(c), 0x80);
}

// Sixteen categories of 12 wide letters: every mark and label inside the
// drawing, which is 600 wide and scales (viewBox).
TEST(ChartTest, SixteenCategoriesFit) {
    auto ts = test::CountedTableSet(2, 16, 20000);
    for (int k = 1; k <= 16; ++k) ts->CategoryNames[2][k] = "WWWWWWWWWW" + std::to_string(10 + k);
    test::TempDir dir;
    CollectingWarningSink warnings;
    ASSERT_TRUE(test::Estimate(*ts, 1, {2}, warnings, dir / "log"));
    ComputeModelSummary(*ts);
    const std::string svg = CoefficientChartSvg(ResultsOf(*ts), 1, 1);
    const Parsed p = Parse(svg);
    EXPECT_EQ(p.width, 600);
    EXPECT_NE(svg.find("viewBox=\"0 0 600 " + std::to_string(static_cast<int>(p.height)) + "\""), std::string::npos);
    ASSERT_EQ(p.points.size(), 16u);
    for (const Mark& point : p.points) {
        EXPECT_GT(point.x, 160 - 1e-9);  // right of the labels
        EXPECT_LT(point.x, 600);
        EXPECT_LT(point.y, p.height);
    }
    for (const auto& [left, right] : p.intervals) EXPECT_TRUE(left >= 160 - 1e-9 && right <= 580 + 1e-9);
}

// On the odds-ratio chart's logarithmic axis: two labelled ticks fix it.
double LogPosition(const Parsed& p, double value) {
    const auto& [x0, v0] = p.ticks.front();
    const auto& [x1, v1] = p.ticks.back();
    return x0 + std::log(value / v0) / std::log(v1 / v0) * (x1 - x0);
}

// Q groups P's categories a and b into x and c into y: two odds ratios of
// Y are not estimable.
TableSet Collinear() {
    TableSet ts = test::MakeTableSet({{"P", {"a", "b", "c"}}, {"Q", {"x", "y"}}, {"Y", {"yes", "no"}}});
    test::SetTable(ts, 2, 1, {{10, 20, 0}, {0, 0, 30}});
    test::SetTable(ts, 3, 1, {{4, 15, 10}, {6, 5, 20}});
    test::SetTable(ts, 3, 2, {{19, 10}, {11, 20}});
    ts.DependentVariable = 3;
    ts.PredictorCount = 2;
    ts.PredictorList[1] = 1;
    ts.PredictorList[2] = 2;
    return ts;
}

// Each odds ratio and its interval stand where the log axis puts them, 1
// among the ticks; a row that is not estimable has its label and no mark.
TEST(ChartTest, OddsRatiosOnALogAxis) {
    TableSet ts = Titanic();
    ComputeOddsRatioModel(ts);
    const ModelResults results = ResultsOf(ts);
    const Parsed p = Parse(ChartSvg(BuildOddsRatioChart(results, 2, 1)));
    ASSERT_EQ(p.points.size(), 3u);
    ASSERT_EQ(p.intervals.size(), 3u);
    EXPECT_TRUE(std::any_of(p.ticks.begin(), p.ticks.end(), [](const auto& tick) { return tick.second == 1; }));
    for (std::size_t i = 0; i < 3; ++i) {
        const OddsRatioParameter& parameter = ts.OddsRatios.parameters[i];
        EXPECT_NEAR(p.points[i].x, LogPosition(p, parameter.OddsRatio()), 0.01);
        EXPECT_NEAR(p.intervals[i].first, LogPosition(p, parameter.Lower()), 0.01);
        EXPECT_NEAR(p.intervals[i].second, LogPosition(p, parameter.Upper()), 0.01);
        EXPECT_EQ(p.points[i].filled, parameter.Significant());
    }

    TableSet collinear = Collinear();
    ComputeOddsRatioModel(collinear);
    const std::string svg = ChartSvg(BuildOddsRatioChart(ResultsOf(collinear), 2, 0));
    const Parsed stacked = Parse(svg);
    EXPECT_EQ(stacked.labels, (std::vector<std::string>{"b", "c", "y"}));
    EXPECT_EQ(stacked.points.size(), 1u);
    EXPECT_NE(svg.find(">not estimable</text>"), std::string::npos);
    EXPECT_THROW(BuildOddsRatioChart(ResultsOf(collinear), 1, 1), std::invalid_argument);
}

// The document is valid SVG 1.1: xmllint checks it against the DTD that
// Debian ships with Batik (installed by scripts/install-deps).
TEST(ChartTest, ValidSvgOneOne) {
    TableSet ts = Titanic();
    ComputeModelSummary(ts);
    test::TempDir dir;
    const auto dtd = test::RunProgram("/usr/bin/unzip",
                                      {"-p", "/usr/share/java/batik-all.jar", "org/apache/batik/dom/svg/resources/svg11-flat.dtd"});
    ASSERT_EQ(dtd.status, 0) << dtd.err;
    test::WriteFile(dir / "svg11-flat.dtd", dtd.out);
    for (const int t : {0, 1, 2}) {
        const std::string name = "chart" + std::to_string(t) + ".svg";
        test::WriteFile(dir / name, CoefficientChartSvg(ResultsOf(ts), 1, t));
        const auto check = test::RunProgram(
            "/usr/bin/xmllint", {"--noout", "--nonet", "--dtdvalid", (dir / "svg11-flat.dtd").string(), (dir / name).string()});
        EXPECT_EQ(check.status, 0) << check.err;
    }
    TableSet collinear = Collinear();
    ComputeOddsRatioModel(collinear);
    test::WriteFile(dir / "odds.svg", ChartSvg(BuildOddsRatioChart(ResultsOf(collinear), 2, 0)));
    const auto check = test::RunProgram(
        "/usr/bin/xmllint", {"--noout", "--nonet", "--dtdvalid", (dir / "svg11-flat.dtd").string(), (dir / "odds.svg").string()});
    EXPECT_EQ(check.status, 0) << check.err;
}

}  // namespace
}  // namespace kelvo
