#include "chart_drawing.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace kelvo {

namespace {

// Geometry in the chart's own coordinates (pixels at 100 %).
constexpr double LabelLeft = 8;       // row labels start here
constexpr double PlotLeft = 160;      // room for 12 wide letters at 12 px
constexpr double PlotRight = 580;
constexpr double Top = 44;            // first row
constexpr double RowHeight = 20;
constexpr double PointRadius = 4.5;
constexpr double DiamondRadius = 3.5;
constexpr double DiamondOffset = 6;   // below the point, so both stay visible
constexpr const char* Ink = "#1f3f66";
constexpr const char* Grey = "#8c8c8c";

double AxisY(const CoefficientChart& chart) {
    return Top + RowHeight * static_cast<double>(chart.rows.size()) + 6;
}

void Diamond(ChartCanvas& canvas, const char* role, double x, double y, double radius) {
    const ChartPoint points[] = {{x, y - radius}, {x + radius, y}, {x, y + radius}, {x - radius, y}};
    canvas.Polygon(role, points, Grey);
}

}  // namespace

std::string ChartNumber(double value, int decimals) {
    char text[48];
    char* end = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals).ptr;
    std::string out(text, static_cast<std::size_t>(end - text));
    // A negative zero is drawn where a zero is.
    if (out.front() == '-' && std::all_of(out.begin() + 1, out.end(), [](char c) { return c == '0' || c == '.'; }))
        out.erase(0, 1);
    return out;
}

double ChartHeight(const CoefficientChart& chart) {
    return AxisY(chart) + 72;
}

void DrawChart(const CoefficientChart& chart, ChartCanvas& canvas) {
    const ChartAxis& axis = chart.axis;
    const auto x = [&](double value) { return PlotLeft + axis.Fraction(value) * (PlotRight - PlotLeft); };
    const double axisY = AxisY(chart);
    const double height = ChartHeight(chart);

    canvas.Begin(chart, ChartWidth, height);
    canvas.Background(ChartWidth, height);
    canvas.Text({LabelLeft, 22}, {"title", false, 14, true}, chart.title);

    // Grid lines at the ticks, the line of no effect and the axis.
    for (const ChartTick& tick : axis.Ticks()) {
        const double tx = x(tick.value);
        if (tick.value != axis.Reference()) canvas.Line("grid", {tx, Top - 4}, {tx, axisY}, "#e4e4e4", 1);
        canvas.Line("tick", {tx, axisY}, {tx, axisY + 4}, "#000000", 1);
        canvas.Text({tx, axisY + 17}, {"tick", true}, ChartNumber(tick.value, tick.decimals));
    }
    const double reference = x(axis.Reference());
    canvas.Line("zero", {reference, Top - 4}, {reference, axisY}, "#000000", 1);
    canvas.Line("axis", {PlotLeft, axisY}, {PlotRight, axisY}, "#000000", 1);
    canvas.Text({(PlotLeft + PlotRight) / 2, axisY + 34}, {"axis-title", true}, chart.axisTitle);

    // The rows.
    for (std::size_t r = 0; r < chart.rows.size(); ++r) {
        const ChartRow& row = chart.rows[r];
        const double y = Top + RowHeight * static_cast<double>(r) + RowHeight / 2;
        if (row.heading) {
            canvas.Text({LabelLeft, y + 4}, {"predictor", false, 12, true}, row.label);
            continue;
        }
        canvas.Text({LabelLeft + (chart.stacked ? 12 : 0), y + 4}, {"label"}, row.label);
        if (!std::isfinite(row.value)) {
            canvas.Text({PlotLeft + 6, y + 4}, {"missing", false, 12, false, Grey}, "not estimable");
            continue;
        }
        if (row.HasInterval()) {
            // An end beyond the axis is cut there, without its cap.
            const double low = row.IntervalLow(), high = row.IntervalHigh();
            const bool lowInside = low >= axis.Low(), highInside = high <= axis.High();
            const double left = lowInside ? x(low) : PlotLeft;
            const double right = highInside ? x(high) : PlotRight;
            canvas.Line("interval", {left, y}, {right, y}, Ink, 1.5);
            if (lowInside) canvas.Line("cap", {left, y - 4}, {left, y + 4}, Ink, 1.5);
            if (highInside) canvas.Line("cap", {right, y - 4}, {right, y + 4}, Ink, 1.5);
        }
        if (std::isfinite(row.unadjusted)) Diamond(canvas, "unadjusted", x(row.unadjusted), y + DiamondOffset, DiamondRadius);
        canvas.Circle(row.significant ? "point significant" : "point", {x(row.value), y}, PointRadius,
                      row.significant ? Ink : "#ffffff", Ink);
    }

    // The legend.
    const double legendY = axisY + 56;
    canvas.Circle("", {LabelLeft + 5, legendY - 4}, PointRadius, Ink, Ink);
    canvas.Text({LabelLeft + 14, legendY}, {"legend"}, "significant (95 %)");
    canvas.Circle("", {LabelLeft + 145, legendY - 4}, PointRadius, "#ffffff", Ink);
    canvas.Text({LabelLeft + 154, legendY}, {"legend"}, "not significant");
    double legendX = LabelLeft + 270;
    if (chart.withUnadjusted) {
        Diamond(canvas, "", legendX, legendY - 4, DiamondRadius);
        canvas.Text({legendX + 9, legendY}, {"legend"}, "unadjusted");
        legendX += 90;
    }
    canvas.Text({legendX, legendY}, {"legend"}, chart.intervalLegend);
    canvas.End();
}

}  // namespace kelvo
