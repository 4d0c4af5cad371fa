#include "chart_svg.h"

#include "chart_drawing.h"

namespace kelvo {

namespace {

std::string Number(double value, int decimals = 2) {
    return ChartNumber(value, decimals);
}

// The canvas that writes the drawing as SVG elements, a line each.
class SvgCanvas : public ChartCanvas {
public:
    explicit SvgCanvas(bool standalone) : m_standalone(standalone) {}
    void Begin(const CoefficientChart& chart, double width, double height) override {
        if (m_standalone) {
            m_text += "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\"?>\n";
            m_text += "<!DOCTYPE svg PUBLIC \"-//W3C//DTD SVG 1.1//EN\" \"http://www.w3.org/Graphics/SVG/1.1/DTD/svg11.dtd\">\n";
        }
        m_text += "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"" + Number(width, 0) + "\" height=\"" +
                  Number(height, 0) + "\" viewBox=\"0 0 " + Number(width, 0) + " " + Number(height, 0) +
                  "\" font-family=\"DejaVu Sans, Arial, Helvetica, sans-serif\" font-size=\"12\">\n";
        m_text += "<title>" + XmlText(chart.title) + "</title>\n";
        m_text += "<desc>" + XmlText(chart.description) + "</desc>\n";
    }
    void Background(double width, double height) override {
        Element("rect x=\"0\" y=\"0\" width=\"" + Number(width, 0) + "\" height=\"" + Number(height, 0) +
                "\" fill=\"#ffffff\"");
    }
    void Line(const char* role, ChartPoint from, ChartPoint to, const char* stroke, double strokeWidth) override {
        Element("line class=\"" + std::string(role) + "\" x1=\"" + Number(from.x) + "\" y1=\"" + Number(from.y) +
                "\" x2=\"" + Number(to.x) + "\" y2=\"" + Number(to.y) + "\" stroke=\"" + stroke + "\" stroke-width=\"" +
                Number(strokeWidth, 1) + "\"");
    }
    void Circle(const char* role, ChartPoint centre, double radius, const char* fill, const char* stroke) override {
        Element("circle" + Role(role) + " cx=\"" + Number(centre.x) + "\" cy=\"" + Number(centre.y) + "\" r=\"" +
                Number(radius, 1) + "\" fill=\"" + fill + "\" stroke=\"" + stroke + "\" stroke-width=\"1.5\"");
    }
    void Polygon(const char* role, std::span<const ChartPoint> points, const char* fill) override {
        std::string element = "polygon" + Role(role) + " points=\"";
        for (std::size_t i = 0; i < points.size(); ++i) {
            if (i > 0) element += ' ';
            element += Number(points[i].x) + "," + Number(points[i].y);
        }
        Element(element + "\" fill=\"" + fill + "\"");
    }
    void Text(ChartPoint at, const ChartTextStyle& style, std::string_view latin1) override {
        m_text += "<text x=\"" + Number(at.x) + "\" y=\"" + Number(at.y) + "\" class=\"" + style.role + "\"";
        if (style.centred) m_text += " text-anchor=\"middle\"";
        if (style.size != 12) m_text += " font-size=\"" + std::to_string(style.size) + "\"";
        if (style.bold) m_text += " font-weight=\"bold\"";
        if (*style.fill != '\0') m_text += " fill=\"" + std::string(style.fill) + "\"";
        m_text += ">" + XmlText(latin1) + "</text>\n";
    }
    void End() override { m_text += "</svg>\n"; }
    std::string Take() { return std::move(m_text); }

private:
    static std::string Role(const char* role) {
        return *role == '\0' ? std::string() : " class=\"" + std::string(role) + "\"";
    }
    void Element(const std::string& content) { m_text += "<" + content + "/>\n"; }
    bool m_standalone;
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
    SvgCanvas canvas(standalone);
    DrawChart(chart, canvas);
    return canvas.Take();
}

std::string CoefficientChartSvg(const ModelResults& results, int d, int t, const ChartOptions& options) {
    return ChartSvg(BuildCoefficientChart(results, d, t, options.classical), options.standalone);
}

}  // namespace kelvo
