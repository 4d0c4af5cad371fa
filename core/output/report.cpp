#include "report.h"

#include <stdexcept>

#include "estimation.h"
#include "html_report.h"
#include "output_sections.h"
#include "text_file.h"
#include "text_report.h"

namespace kelvo {

std::vector<SectionKind> ReportSections(const ReportSettings& settings) {
    const auto& chosen = settings.OutputSections;
    const bool html = settings.ReportType == HtmlReport;
    std::vector<SectionKind> sections = {SectionKind::Model};
    if (chosen[SectionTables]) sections.push_back(SectionKind::PairTables);
    if (chosen[SectionCoefficients]) sections.push_back(SectionKind::Coefficients);
    if (chosen[SectionErrors]) sections.push_back(SectionKind::StandardErrors);
    // The enhanced section marks values in bold, which plain text cannot.
    if (chosen[SectionEnhanced] && html) sections.push_back(SectionKind::EnhancedCoefficients);
    // After the four standard sections: the summary and the charts.
    if (chosen[SectionSummary]) sections.push_back(SectionKind::ModelSummary);
    if (chosen[SectionOddsRatios]) sections.push_back(SectionKind::OddsRatios);
    // Pictures exist in HTML only, as the enhanced section does.
    if (chosen[SectionCharts] && html) sections.push_back(SectionKind::CoefficientCharts);
    return sections;
}

void WriteReport(const TableSet& ts) {
    if (const std::string problem = SelectionProblem(ts, ts); !problem.empty())
        throw std::invalid_argument("no report: " + problem);
    const ModelResults results = ResultsOf(ts);
    if (ts.OutputSections[SectionSummary] && !results.summary)
        throw std::invalid_argument("no report: the model summary has not been computed");
    if (ts.OutputSections[SectionOddsRatios] && !results.oddsRatios)
        throw std::invalid_argument("no report: the odds-ratio model has not been fitted");
    OutputFile file;  // closed by its destructor when a writer throws
    file.Create(ts.ReportFileName);
    const std::vector<SectionKind> sections = ReportSections(ts);
    if (ts.ReportType == HtmlReport) {
        HtmlDriver driver(file);
        driver.BeginDocument();
        for (const SectionKind kind : sections) BuildSection(kind, ts, results, driver);
        driver.EndDocument();
    } else if (ts.ReportType == TextReport) {
        TextDriver driver(file);
        driver.BeginDocument();
        for (const SectionKind kind : sections) BuildSection(kind, ts, results, driver);
    }
    file.Close();
}

}  // namespace kelvo
