// The drawing of a coefficient chart (chart.h), made once for every chart
// driver: DrawChart lays the chart out as lines, circles, polygons and texts
// in its own coordinates, 600 pixels wide, and a canvas renders them. The SVG
// writer (chart_svg.h) and the painter of the PDF export are canvases, so
// both show the same drawing.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "chart.h"

namespace kelvo {

struct ChartPoint {
    double x = 0;
    double y = 0;
};

struct ChartTextStyle {
    const char* role = "";  // "title", "tick", "label", "legend", ... (the SVG class)
    bool centred = false;   // centred on x; otherwise starting at x
    int size = 12;          // pixels
    bool bold = false;
    const char* fill = "";  // "#rrggbb", or empty for the default black
};

// Colours are "#rrggbb"; a role names the element's part of the chart
// ("grid", "zero", "point significant", ...) or is empty.
class ChartCanvas {
public:
    virtual ~ChartCanvas() = default;
    // Before anything else: the size of the drawing.
    virtual void Begin(const CoefficientChart& chart, double width, double height) = 0;
    virtual void Background(double width, double height) = 0;  // white
    virtual void Line(const char* role, ChartPoint from, ChartPoint to, const char* stroke, double strokeWidth) = 0;
    // A circle with a stroke 1.5 pixels wide.
    virtual void Circle(const char* role, ChartPoint centre, double radius, const char* fill, const char* stroke) = 0;
    virtual void Polygon(const char* role, std::span<const ChartPoint> points, const char* fill) = 0;
    // Text whose baseline stands at y.
    virtual void Text(ChartPoint at, const ChartTextStyle& style, std::string_view latin1) = 0;
    virtual void End() = 0;
};

// Draws `chart` on `canvas`: the title, grid lines at the ticks, the line of
// no effect and the axis with its title, a row per category (its label, the
// interval with its caps, cut without a cap where it leaves the axis, the
// unadjusted deviation as a small diamond, the point, filled when
// significant, or "not estimable"), the legend.
void DrawChart(const CoefficientChart& chart, ChartCanvas& canvas);

// A number of a drawing in fixed notation with `decimals` decimals, the same
// on every machine and in every locale; a negative zero without its sign.
std::string ChartNumber(double value, int decimals = 2);

// The width of every chart in its own coordinates, and the height of `chart`.
constexpr double ChartWidth = 600;
double ChartHeight(const CoefficientChart& chart);

}  // namespace kelvo
