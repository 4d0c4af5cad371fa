#include "chart_svg.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace kelvo {

namespace {

// Geometry in the chart's own coordinates (pixels at 100 %).
constexpr double Width = 600;
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

// A number in fixed notation with `decimals` decimals, the same on every
// machine and in every locale.
std::string Number(double value, int decimals = 2) {
    char text[48];
    char* end = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals).ptr;
    std::string out(text, static_cast<std::size_t>(end - text));
    // A negative zero is drawn where a zero is.
    if (out.front() == '-' && std::all_of(out.begin() + 1, out.end(), [](char c) { return c == '0' || c == '.'; }))
        out.erase(0, 1);
    return out;
}

class Svg {
public:
    void Open(const std::string& element) { m_text += "<" + element + ">\n"; }
    void Close(const std::string& element) { m_text += "</" + element + ">\n"; }
    void Element(const std::string& content) { m_text += "<" + content + "/>\n"; }
    void Text(double x, double y, const std::string& attributes, std::string_view latin1) {
        m_text += "<text x=\"" + Number(x) + "\" y=\"" + Number(y) + "\"" + attributes + ">" + XmlText(latin1) + "</text>\n";
    }
    void Line(const char* cls, double x1, double y1, double x2, double y2, const char* stroke, double width) {
        Element("line class=\"" + std::string(cls) + "\" x1=\"" + Number(x1) + "\" y1=\"" + Number(y1) + "\" x2=\"" +
                Number(x2) + "\" y2=\"" + Number(y2) + "\" stroke=\"" + stroke + "\" stroke-width=\"" + Number(width, 1) +
                "\"");
    }
    std::string& text() { return m_text; }

private:
    std::string m_text;
};

}  // namespace

std::string XmlText(std::string_view latin1) {
    std::string out;
    out.reserve(latin1.size());
    for (const char c : latin1) {
        const auto byte = static_cast<unsigned char>(c);
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            case '\'': out += "&#39;"; break;
            default:
                if (byte >= 0x80 || byte < 0x20) out += "&#" + std::to_string(byte < 0x20 ? 0xFFFD : byte) + ";";
                else out += c;
        }
    }
    return out;
}

std::string ChartSvg(const CoefficientChart& chart, bool standalone) {
    const ChartAxis& axis = chart.axis;
    const auto x = [&](double value) { return PlotLeft + axis.Fraction(value) * (PlotRight - PlotLeft); };

    const double bottom = Top + RowHeight * static_cast<double>(chart.rows.size());
    const double axisY = bottom + 6;
    const double height = axisY + 72;

    Svg svg;
    std::string& out = svg.text();
    if (standalone) {
        out += "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\"?>\n";
        out += "<!DOCTYPE svg PUBLIC \"-//W3C//DTD SVG 1.1//EN\" \"http://www.w3.org/Graphics/SVG/1.1/DTD/svg11.dtd\">\n";
    }
    out += "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"" + Number(Width, 0) + "\" height=\"" +
           Number(height, 0) + "\" viewBox=\"0 0 " + Number(Width, 0) + " " + Number(height, 0) +
           "\" font-family=\"DejaVu Sans, Arial, Helvetica, sans-serif\" font-size=\"12\">\n";
    out += "<title>" + XmlText(chart.title) + "</title>\n";
    out += "<desc>" + XmlText(chart.description) + "</desc>\n";
    svg.Element("rect x=\"0\" y=\"0\" width=\"" + Number(Width, 0) + "\" height=\"" + Number(height, 0) +
                "\" fill=\"#ffffff\"");
    svg.Text(LabelLeft, 22, " class=\"title\" font-size=\"14\" font-weight=\"bold\"", chart.title);

    // Grid lines at the ticks, the zero line and the axis.
    for (const ChartTick& tick : axis.Ticks()) {
        const double tx = x(tick.value);
        if (tick.value != axis.Reference()) svg.Line("grid", tx, Top - 4, tx, axisY, "#e4e4e4", 1);
        svg.Line("tick", tx, axisY, tx, axisY + 4, "#000000", 1);
        svg.Text(tx, axisY + 17, " class=\"tick\" text-anchor=\"middle\"", Number(tick.value, tick.decimals));
    }
    svg.Line("zero", x(axis.Reference()), Top - 4, x(axis.Reference()), axisY, "#000000", 1);
    svg.Line("axis", PlotLeft, axisY, PlotRight, axisY, "#000000", 1);
    svg.Text((PlotLeft + PlotRight) / 2, axisY + 34, " class=\"axis-title\" text-anchor=\"middle\"", chart.axisTitle);

    // The rows.
    for (std::size_t r = 0; r < chart.rows.size(); ++r) {
        const ChartRow& row = chart.rows[r];
        const double y = Top + RowHeight * static_cast<double>(r) + RowHeight / 2;
        if (row.heading) {
            svg.Text(LabelLeft, y + 4, " class=\"predictor\" font-weight=\"bold\"", row.label);
            continue;
        }
        svg.Text(LabelLeft + (chart.stacked ? 12 : 0), y + 4, " class=\"label\"", row.label);
        if (!std::isfinite(row.value)) {
            svg.Text(PlotLeft + 6, y + 4, " class=\"missing\" fill=\"#8c8c8c\"", "not estimable");
            continue;
        }
        if (row.HasInterval()) {
            // An end beyond the axis is cut there, without its cap.
            const double low = row.IntervalLow(), high = row.IntervalHigh();
            const bool lowInside = low >= axis.Low(), highInside = high <= axis.High();
            const double left = lowInside ? x(low) : PlotLeft;
            const double right = highInside ? x(high) : PlotRight;
            svg.Line("interval", left, y, right, y, Ink, 1.5);
            if (lowInside) svg.Line("cap", left, y - 4, left, y + 4, Ink, 1.5);
            if (highInside) svg.Line("cap", right, y - 4, right, y + 4, Ink, 1.5);
        }
        if (std::isfinite(row.unadjusted)) {
            const double ux = x(row.unadjusted);
            const double uy = y + DiamondOffset;
            svg.Element("polygon class=\"unadjusted\" points=\"" + Number(ux) + "," + Number(uy - DiamondRadius) + " " +
                        Number(ux + DiamondRadius) + "," + Number(uy) + " " + Number(ux) + "," +
                        Number(uy + DiamondRadius) + " " + Number(ux - DiamondRadius) + "," + Number(uy) +
                        "\" fill=\"" + Grey + "\"");
        }
        svg.Element(std::string("circle class=\"") + (row.significant ? "point significant" : "point") + "\" cx=\"" +
                    Number(x(row.value)) + "\" cy=\"" + Number(y) + "\" r=\"" + Number(PointRadius, 1) + "\" fill=\"" +
                    (row.significant ? Ink : "#ffffff") + "\" stroke=\"" + Ink + "\" stroke-width=\"1.5\"");
    }

    // The legend.
    const double legendY = axisY + 56;
    svg.Element("circle cx=\"" + Number(LabelLeft + 5) + "\" cy=\"" + Number(legendY - 4) + "\" r=\"4.5\" fill=\"" +
                std::string(Ink) + "\" stroke=\"" + Ink + "\" stroke-width=\"1.5\"");
    svg.Text(LabelLeft + 14, legendY, " class=\"legend\"", "significant (95 %)");
    svg.Element("circle cx=\"" + Number(LabelLeft + 145) + "\" cy=\"" + Number(legendY - 4) +
                "\" r=\"4.5\" fill=\"#ffffff\" stroke=\"" + std::string(Ink) + "\" stroke-width=\"1.5\"");
    svg.Text(LabelLeft + 154, legendY, " class=\"legend\"", "not significant");
    double legendX = LabelLeft + 270;
    if (chart.withUnadjusted) {
        svg.Element("polygon points=\"" + Number(legendX) + "," + Number(legendY - 7.5) + " " + Number(legendX + 3.5) + "," +
                    Number(legendY - 4) + " " + Number(legendX) + "," + Number(legendY - 0.5) + " " +
                    Number(legendX - 3.5) + "," + Number(legendY - 4) + "\" fill=\"" + Grey + "\"");
        svg.Text(legendX + 9, legendY, " class=\"legend\"", "unadjusted");
        legendX += 90;
    }
    svg.Text(legendX, legendY, " class=\"legend\"", chart.intervalLegend);
    svg.Close("svg");
    return out;
}

std::string CoefficientChartSvg(const ModelResults& results, int d, int t, const ChartOptions& options) {
    return ChartSvg(BuildCoefficientChart(results, d, t, options.classical), options.standalone);
}

}  // namespace kelvo
