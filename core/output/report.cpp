#include "report.h"

#include <stdexcept>

#include "estimation.h"
#include "html_report.h"
#include "output_sections.h"
#include "report_format.h"
#include "text_file.h"
#include "text_report.h"

namespace kelvo {

std::vector<SectionKind> ReportSections(const ReportSettings& settings) {
    return ReportSections(settings.ReportType == HtmlReport ? ReportFormat::Html : ReportFormat::Text,
                          settings.OutputSections);
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
