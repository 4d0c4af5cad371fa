#include "chart.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "significance.h"

namespace kelvo {

namespace {

// Round steps for the axis: 1, 2 or 5 times a power of ten, about five of
// them over the range.
double TickStep(double range) {
    const double raw = range / 5;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (const double factor : {1.0, 2.0, 5.0, 10.0})
        if (factor * power >= raw) return factor * power;
    return 10 * power;
}

}  // namespace

std::string CategoryOfDependent(const ModelResults& results, int d) {
    return results.dependent.categories[static_cast<std::size_t>(d)] + " of " + results.dependent.name;
}

CoefficientChart BuildCoefficientChart(const ModelResults& results, int d, int t, bool classical) {
    if (d < 1 || d > results.DependentCategories()) throw std::invalid_argument("no chart: no such dependent category");
    if (t < 0 || t > results.PredictorCount()) throw std::invalid_argument("no chart: no such predictor");
    if (classical && !results.summary)
        throw std::invalid_argument("no chart: classical standard errors need the model summary");
    CoefficientChart chart;
    chart.stacked = t == 0;
    chart.classical = classical;
    chart.withUnadjusted = results.summary.has_value();
    chart.title = chart.stacked ? CategoryOfDependent(results, d)
                                : results.Predictor(t).name + ": " + CategoryOfDependent(results, d);

    // The rows, and the range of every value they show.
    double low = 0, high = 0;
    const auto extend = [&](double value) {
        if (std::isfinite(value)) {
            low = std::min(low, value);
            high = std::max(high, value);
        }
    };
    const int first = chart.stacked ? 1 : t;
    const int last = chart.stacked ? results.PredictorCount() : t;
    for (int p = first; p <= last; ++p) {
        const ModelVariable& predictor = results.Predictor(p);
        const int base = results.BlockStart(p);
        if (chart.stacked) {
            ChartRow heading;
            heading.heading = true;
            heading.label = predictor.name.str();
            chart.rows.push_back(heading);
        }
        for (int k = 1; k <= predictor.Categories(); ++k) {
            const int parameter = base + k;
            ChartRow row;
            row.label = predictor.categories[static_cast<std::size_t>(k)].str();
            const double b = results.coefficients(parameter, d);
            const double s = classical ? results.summary->classicalStandardErrors(parameter, d)
                                       : results.standardErrors(parameter, d);
            row.value = 100.0 * b;
            row.halfWidth = 1.96 * s;
            row.significant = IsSignificant(b, s);
            if (chart.withUnadjusted)
                row.unadjusted = 100.0 * results.summary->predictors[static_cast<std::size_t>(p) - 1].unadjusted(k, d);
            extend(row.value);
            if (std::isfinite(row.halfWidth) && row.halfWidth > 0) {
                extend(row.value - row.halfWidth);
                extend(row.value + row.halfWidth);
            }
            extend(row.unadjusted);
            chart.rows.push_back(row);
        }
    }

    // The axis: round ticks that cover the range and 0.
    if (!(high > low)) {
        low = -1;
        high = 1;
    }
    ChartAxis& axis = chart.axis;
    axis.step = TickStep(high - low);
    axis.firstTick = static_cast<long long>(std::floor(low / axis.step));
    axis.lastTick = static_cast<long long>(std::ceil(high / axis.step));
    axis.tickDecimals = std::max(0, static_cast<int>(-std::floor(std::log10(axis.step) + 1e-9)));
    return chart;
}

}  // namespace kelvo
