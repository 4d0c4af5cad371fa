// Writing a report: the one place that decides which sections a report holds
// and in which order. The desktop program's output options and kelvo-cli
// report both end here.
#pragma once

#include <vector>

#include "output_model.h"
#include "table_set.h"

namespace kelvo {

// The sections a report holds, in their fixed order: the model always, then
// those that the settings choose and the report type can show.
std::vector<SectionKind> ReportSections(const ReportSettings& settings);

// Creates ts.ReportFileName, or empties an existing file of that name, and
// writes the report of type ts.ReportType with the sections chosen in
// ts.OutputSections, always in this order:
//   HTML: header, tables [1], coefficients [2], standard errors [3],
//         enhanced coefficients [4], model summary [5], odds ratios [7],
//         coefficient charts [6], footer;
//   text: header, tables [1], coefficients [2], standard errors [3], model
//         summary [5], odds ratios [7] (the enhanced section and the charts
//         do not exist in text, and [4] and [6] are ignored; the odds
//         ratios' charts are left out).
// A report type other than these two creates an empty file.
//
// Throws std::invalid_argument, touching no file, when the model selection
// is not one whose results can be read (SelectionProblem), or the summary or
// the odds ratios are chosen and have not been computed (ComputeModelSummary,
// ComputeOddsRatioModel): it is meant for a table set with a computed model.
//
// The file is written directly, not through a temporary file: on an I/O
// failure IoError is thrown ("File access denied", "Disk full", ...), the
// file is closed, and what was written before the failure stays in it. The
// next report of the same name can be written as usual.
void WriteReport(const TableSet& ts);

}  // namespace kelvo
