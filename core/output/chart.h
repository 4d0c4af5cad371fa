// Coefficient charts: the adjusted deviations of a predictor's categories for
// one dependent category as points with their 95 % intervals around a zero
// line, drawn as an SVG 1.1 document. Plain text: the desktop program shows
// it with Qt SVG, the HTML report embeds it, kelvo-cli writes it to a file.
#pragma once

#include <string>

#include "table_set.h"

namespace kelvo {

struct ChartOptions {
    // The intervals from the classical standard errors of the model summary
    // instead of the conservative ones of the results (the summary must be
    // present).
    bool classical = false;
    // A document of its own (XML declaration and DOCTYPE) or the bare <svg>
    // element, for embedding in HTML.
    bool standalone = true;
};

// The chart of predictor t (1..PredictorCount), or of every predictor stacked
// (t = 0), for dependent category d, titled "VARIABLE: CATEGORY of
// DEPENDENT" ("CATEGORY of DEPENDENT" when stacked). One row per predictor
// category, labelled with its name: a point at 100 x b with whiskers from
// 100 b - 1.96 s to 100 b + 1.96 s (none when s is 0), filled when the value
// is significant by the results' test, hollow otherwise; a small grey diamond
// at the unadjusted deviation when the model summary is present; axis ticks
// at round numbers of percentage points. 600 pixels wide in its own
// coordinates and scalable (viewBox); the text is ASCII, names escaped.
// The same results give the same bytes.
//
// Throws std::invalid_argument when the selection, d or t is out of range,
// or classical errors are asked for without a summary.
std::string CoefficientChartSvg(const TableSet& ts, int d, int t, const ChartOptions& options = {});

// Characters with a meaning in XML escaped, bytes above 127 (Latin-1 names)
// written as character references, so that the text is ASCII.
std::string XmlText(std::string_view latin1);

}  // namespace kelvo
