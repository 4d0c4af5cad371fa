#include "report_format.h"

#include <algorithm>
#include <array>

namespace kelvo {

namespace {

constexpr std::array<ReportFormatInfo, 7> Formats = {{
    {ReportFormat::Html, "html", "html", "HTML report", true, true},
    {ReportFormat::Text, "text", "txt", "Text report", false, false},
    {ReportFormat::Pdf, "pdf", "pdf", "PDF document", true, true},
    {ReportFormat::Odt, "odt", "odt", "OpenDocument text", true, true},
    {ReportFormat::Markdown, "md", "md", "Markdown", false, true},
    {ReportFormat::Latex, "latex", "tex", "LaTeX", false, true},
    {ReportFormat::Csv, "csv", "csv", "CSV, a number a row", false, true},
}};

}  // namespace

std::span<const ReportFormatInfo> ReportFormats() {
    return Formats;
}

const ReportFormatInfo& InfoOf(ReportFormat format) {
    return *std::find_if(Formats.begin(), Formats.end(), [format](const auto& f) { return f.format == format; });
}

std::optional<ReportFormat> ReportFormatNamed(std::string_view name) {
    for (const ReportFormatInfo& f : Formats)
        if (name == f.name) return f.format;
    return std::nullopt;
}

std::vector<SectionKind> ReportSections(ReportFormat format, const SectionChoice& chosen) {
    const ReportFormatInfo& info = InfoOf(format);
    std::vector<SectionKind> sections = {SectionKind::Model};
    if (chosen[SectionTables]) sections.push_back(SectionKind::PairTables);
    if (chosen[SectionCoefficients]) sections.push_back(SectionKind::Coefficients);
    if (chosen[SectionErrors]) sections.push_back(SectionKind::StandardErrors);
    // The enhanced section marks values in bold, which plain text cannot.
    if (chosen[SectionEnhanced] && info.marks) sections.push_back(SectionKind::EnhancedCoefficients);
    // After the four standard sections: the summary and the charts.
    if (chosen[SectionSummary]) sections.push_back(SectionKind::ModelSummary);
    if (chosen[SectionOddsRatios]) sections.push_back(SectionKind::OddsRatios);
    if (chosen[SectionCharts] && info.pictures) sections.push_back(SectionKind::CoefficientCharts);
    return sections;
}

}  // namespace kelvo
