// The SVG driver of the charts (chart.h): an SVG 1.1 drawing, 600 pixels
// wide in its own coordinates and scalable (viewBox). Points are filled when
// significant and hollow otherwise, a small grey diamond marks the unadjusted
// deviation, grid lines stand at the axis ticks. The text is ASCII with names
// escaped; the same chart gives the same bytes.
#pragma once

#include <string>
#include <string_view>

#include "chart.h"

namespace kelvo {

// The drawing as a document of its own (XML declaration and DOCTYPE) or as
// the bare <svg> element, for embedding in HTML.
std::string ChartSvg(const CoefficientChart& chart, bool standalone = true);

struct ChartOptions {
    // The intervals from the classical standard errors of the model summary
    // instead of the conservative ones of the results.
    bool classical = false;
    bool standalone = true;
};

// BuildCoefficientChart, drawn by ChartSvg.
std::string CoefficientChartSvg(const ModelResults& results, int d, int t, const ChartOptions& options = {});

// Characters with a meaning in XML escaped, bytes above 127 (Latin-1 names)
// written as character references, so that the text is ASCII.
std::string XmlText(std::string_view latin1);

}  // namespace kelvo
