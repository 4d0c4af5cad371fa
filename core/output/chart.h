// Coefficient charts as data: the adjusted deviations of a predictor's
// categories for one dependent category, as points with their 95 % intervals
// around a zero line, with the axis that shows them. The drawing is a
// driver's: chart_svg.h writes SVG, which the desktop program shows, the HTML
// report embeds and kelvo-cli writes to a file.
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
    double value = 0;       // 100 x b, percentage points
    double halfWidth = 0;   // 1.96 x s; 0 or NaN: no interval
    bool significant = false;
    double unadjusted = std::numeric_limits<double>::quiet_NaN();  // NaN without the summary
};

// The axis: ticks at round numbers (1, 2 or 5 times a power of ten) that
// cover every value shown and 0.
struct ChartAxis {
    double step = 1;
    long long firstTick = -1;  // ticks at k x step for k = firstTick..lastTick
    long long lastTick = 1;
    int tickDecimals = 0;      // decimals of a tick's label
    double Low() const { return static_cast<double>(firstTick) * step; }
    double High() const { return static_cast<double>(lastTick) * step; }
};

struct CoefficientChart {
    std::string title;             // "VARIABLE: CATEGORY of DEPENDENT", or "CATEGORY of DEPENDENT" when stacked
    bool stacked = false;          // every predictor, one below the other
    bool classical = false;        // intervals from the classical standard errors
    bool withUnadjusted = false;   // the unadjusted deviations are shown (the summary is present)
    std::vector<ChartRow> rows;
    ChartAxis axis;
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

// "CATEGORY of DEPENDENT", as the titles of charts and summary tables name a
// dependent category.
std::string CategoryOfDependent(const ModelResults& results, int d);

}  // namespace kelvo
