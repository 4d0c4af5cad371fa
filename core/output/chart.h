// Charts as data: points with their 95 % intervals, a row per category,
// around the line of no effect, with the axis that shows them. A coefficient
// chart shows the adjusted deviations of a predictor's categories for one
// dependent category on a linear axis around 0; an odds-ratio chart shows
// the odds ratios of one dependent category on a logarithmic axis around 1.
// The drawing is a driver's: chart_svg.h writes SVG, which the desktop
// program shows, the HTML report embeds and kelvo-cli writes to a file.
#pragma once

#include <limits>
#include <string>
#include <vector>

#include "model_results.h"

namespace kelvo {

// A row of a chart: a predictor's name above its categories (stacked charts
// only), or a category with its point.
struct ChartRow {
    bool heading = false;
    std::string label;
    double value = 0;       // 100 x b, percentage points; an odds ratio; NaN: not estimable
    double halfWidth = 0;   // 1.96 x s; 0 or NaN: no interval
    bool significant = false;
    double unadjusted = std::numeric_limits<double>::quiet_NaN();  // NaN without the summary
    // The ends of an interval that is not value +- halfWidth (odds ratios);
    // NaN otherwise.
    double lower = std::numeric_limits<double>::quiet_NaN();
    double upper = std::numeric_limits<double>::quiet_NaN();

    bool HasInterval() const;
    double IntervalLow() const;
    double IntervalHigh() const;
};

// A tick of an axis and the decimals of its label.
struct ChartTick {
    double value = 0;
    int decimals = 0;
};

// The axis: ticks at round numbers (1, 2 or 5 times a power of ten) that
// cover every value shown and 0.
// A logarithmic axis has its ticks in logTicks (1, 2 or 5 times a power of
// ten, or powers of ten alone over a wide range) and spaces values by their
// logarithms.
struct ChartAxis {
    double step = 1;
    long long firstTick = -1;  // ticks at k x step for k = firstTick..lastTick
    long long lastTick = 1;
    int tickDecimals = 0;      // decimals of a tick's label
    bool logarithmic = false;
    std::vector<ChartTick> logTicks;  // in increasing order, at least two
    double Low() const;
    double High() const;
    std::vector<ChartTick> Ticks() const;
    // Where `value` stands, from 0 at Low() to 1 at High().
    double Fraction(double value) const;
    // The line of no effect: 0, or 1 on a logarithmic axis.
    double Reference() const { return logarithmic ? 1.0 : 0.0; }
};

struct CoefficientChart {
    std::string title;             // "VARIABLE: CATEGORY of DEPENDENT", or "CATEGORY of DEPENDENT" when stacked
    bool stacked = false;          // every predictor, one below the other
    bool classical = false;        // intervals from the classical standard errors
    bool withUnadjusted = false;   // the unadjusted deviations are shown (the summary is present)
    std::vector<ChartRow> rows;
    ChartAxis axis;
    // The texts that explain it: the axis's title, a description of the
    // drawing, and the legend of its intervals.
    std::string axisTitle;
    std::string description;
    std::string intervalLegend;
};

// The chart of predictor t (1..PredictorCount), or of every predictor stacked
// (t = 0), for dependent category d: one row per predictor category with its
// name, a point at 100 x b with an interval from 100 b - 1.96 s to
// 100 b + 1.96 s (none when s is 0), significant by the results' test; the
// unadjusted deviation when the summary is present. `classical` takes the
// classical standard errors of the summary instead of the conservative ones
// of the results. Throws std::invalid_argument when d or t is out of range,
// or classical errors are asked for without a summary.
CoefficientChart BuildCoefficientChart(const ModelResults& results, int d, int t, bool classical = false);

// The odds-ratio chart of predictor t (or of every predictor stacked, t = 0)
// for dependent category d >= 2 against the first: a row per category of the
// predictor but its first, with the odds ratio, its 95 % interval and
// whether it leaves out 1; a category whose odds ratio is not estimable
// keeps its row without a point. Throws std::invalid_argument when the
// results have no odds-ratio model, or d or t is out of range.
CoefficientChart BuildOddsRatioChart(const ModelResults& results, int d, int t);

// "CATEGORY of DEPENDENT", as the titles of charts and summary tables name a
// dependent category.
std::string CategoryOfDependent(const ModelResults& results, int d);

}  // namespace kelvo
