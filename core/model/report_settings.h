// What a report holds: its type and the sections chosen, as the output
// options accept them.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace kelvo {

// Report types and sections chosen in the output options.
enum ReportTypes : std::uint8_t { HtmlReport = 0, TextReport = 1 };
// The first four are the report's four standard sections; the model summary, the
// coefficient charts and the odds ratios come after them.
enum OutputSection {
    SectionTables = 1,
    SectionCoefficients = 2,
    SectionErrors = 3,
    SectionEnhanced = 4,
    SectionSummary = 5,
    SectionCharts = 6,
    SectionOddsRatios = 7,
};
// The sections chosen, by OutputSection ([0] unused).
using SectionChoice = std::array<bool, SectionOddsRatios + 1>;

// What the output options last accepted.
struct ReportSettings {
    std::string ReportFileName;
    std::uint8_t ReportType = HtmlReport;
    SectionChoice OutputSections{};
    bool OutputAccepted = false;
};

}  // namespace kelvo
