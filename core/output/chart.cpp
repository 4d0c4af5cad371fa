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

// The ticks of a logarithmic axis that covers low..high (both positive):
// 1, 2 and 5 times the powers of ten over at most three decades, the powers
// of ten alone (every one, or every second or fifth) over more.
std::vector<ChartTick> LogTicks(double low, double high) {
    const int first = static_cast<int>(std::floor(std::log10(low) + 1e-9));
    const int last = static_cast<int>(std::ceil(std::log10(high) - 1e-9));
    const int decades = std::max(1, last - first);
    std::vector<ChartTick> ticks;
    const auto add = [&ticks](double mantissa, int exponent) {
        ticks.push_back({mantissa * std::pow(10.0, exponent), std::max(0, -exponent)});
    };
    if (decades <= 3) {
        for (int e = first; e <= last; ++e)
            for (const double m : {1.0, 2.0, 5.0}) add(m, e);
        // From the last tick at or below low to the first at or above high.
        const auto below = [low](const ChartTick& t) { return t.value <= low * (1 + 1e-12); };
        const auto above = [high](const ChartTick& t) { return t.value >= high * (1 - 1e-12); };
        const auto begin = std::find_if(ticks.rbegin(), ticks.rend(), below).base() - 1;
        const auto end = std::find_if(ticks.begin(), ticks.end(), above) + 1;
        return {begin, end};
    }
    const int every = decades <= 8 ? 1 : decades <= 16 ? 2 : 5;
    const int start = static_cast<int>(std::floor(static_cast<double>(first) / every)) * every;
    for (int e = start; e < last + every; e += every) add(1.0, e);
    return ticks;
}

// The range an odds-ratio chart shows: every odds ratio and 1, and the
// intervals as far as a hundredfold beyond; an interval that reaches
// further is cut at the axis.
std::pair<double, double> OddsRatioRange(const std::vector<ChartRow>& rows) {
    double low = 1, high = 1;
    for (const ChartRow& row : rows)
        if (!row.heading && std::isfinite(row.value) && row.value > 0) {
            low = std::min(low, row.value);
            high = std::max(high, row.value);
        }
    const double floor = low / 100, ceiling = high * 100;
    for (const ChartRow& row : rows) {
        if (row.heading || !row.HasInterval()) continue;
        low = std::min(low, std::max(floor, row.IntervalLow()));
        high = std::max(high, std::min(ceiling, row.IntervalHigh()));
    }
    if (!(high > low)) {
        low = 0.5;
        high = 2;
    }
    return {low, high};
}

}  // namespace

bool ChartRow::HasInterval() const {
    if (std::isfinite(lower) && std::isfinite(upper)) return upper > lower;
    return std::isfinite(halfWidth) && halfWidth > 0;
}

double ChartRow::IntervalLow() const { return std::isfinite(lower) ? lower : value - halfWidth; }

double ChartRow::IntervalHigh() const { return std::isfinite(upper) ? upper : value + halfWidth; }

double ChartAxis::Low() const {
    return logarithmic ? logTicks.front().value : static_cast<double>(firstTick) * step;
}

double ChartAxis::High() const {
    return logarithmic ? logTicks.back().value : static_cast<double>(lastTick) * step;
}

std::vector<ChartTick> ChartAxis::Ticks() const {
    if (logarithmic) return logTicks;
    std::vector<ChartTick> ticks;
    for (long long k = firstTick; k <= lastTick; ++k) ticks.push_back({static_cast<double>(k) * step, tickDecimals});
    return ticks;
}

double ChartAxis::Fraction(double value) const {
    if (logarithmic) return std::log(value / Low()) / std::log(High() / Low());
    const double low = Low();
    return (value - low) / (High() - low);
}

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
    chart.axisTitle = "Deviation from the average (percentage points)";
    chart.description = std::string("Adjusted deviations from the average in percentage points with 95 % intervals (") +
                        (classical ? "classical" : "conservative") + " standard errors)";
    chart.intervalLegend = classical ? "intervals: classical SE" : "intervals: conservative SE";

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


CoefficientChart BuildOddsRatioChart(const ModelResults& results, int d, int t) {
    if (!results.oddsRatios) throw std::invalid_argument("no chart: the odds-ratio model has not been fitted");
    if (d < 2 || d > results.DependentCategories()) throw std::invalid_argument("no chart: no such dependent category");
    if (t < 0 || t > results.PredictorCount()) throw std::invalid_argument("no chart: no such predictor");
    CoefficientChart chart;
    chart.stacked = t == 0;
    chart.title = chart.stacked ? CategoryOfDependent(results, d)
                                : results.Predictor(t).name + ": " + CategoryOfDependent(results, d);
    const std::string against = results.dependent.categories[static_cast<std::size_t>(d)] + " to " +
                                results.dependent.categories[1];
    chart.axisTitle = "Odds ratio of " + against + " against " +
                      (chart.stacked ? std::string("each first category")
                                     : results.Predictor(t).categories[1].str()) +
                      " (log scale)";
    chart.description = "Odds ratios of the loglinear model with every two-way association, with 95 % intervals";
    chart.intervalLegend = "intervals: 95 %";
    const int first = chart.stacked ? 1 : t;
    const int last = chart.stacked ? results.PredictorCount() : t;
    for (int p = first; p <= last; ++p) {
        if (chart.stacked) {
            ChartRow heading;
            heading.heading = true;
            heading.label = results.Predictor(p).name.str();
            chart.rows.push_back(heading);
        }
        for (const OddsRatioParameter& parameter : results.oddsRatios->parameters) {
            if (parameter.predictor != p || parameter.dependentCategory != d) continue;
            ChartRow row;
            row.label = results.Predictor(p).categories[static_cast<std::size_t>(parameter.category)].str();
            row.value = std::numeric_limits<double>::quiet_NaN();
            row.halfWidth = 0;
            if (parameter.Estimable()) {
                row.value = parameter.OddsRatio();
                row.lower = parameter.Lower();
                row.upper = parameter.Upper();
                row.significant = parameter.Significant();
            }
            chart.rows.push_back(row);
        }
    }
    const auto [low, high] = OddsRatioRange(chart.rows);
    chart.axis.logarithmic = true;
    chart.axis.logTicks = LogTicks(low, high);
    return chart;
}

}  // namespace kelvo
