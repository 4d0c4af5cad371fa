#include "report.h"

#include <stdexcept>

#include "html_report.h"
#include "text_file.h"
#include "text_report.h"

namespace kelvo {

namespace {

// Why the writers cannot work on this table set, or nullptr. The writers
// index the fixed arrays by these numbers, so anything out of range is
// refused before the file is touched.
const char* SelectionProblem(const TableSet& ts) {
    if (ts.VariableCount < 0 || ts.VariableCount > MaxVariables) return "variable count out of range";
    for (int v = 1; v <= ts.VariableCount; ++v)
        if (ts.CategoryCounts[v] > MaxCategories) return "category count out of range";
    if (ts.DependentVariable < 1 || ts.DependentVariable > ts.VariableCount) return "no dependent variable";
    if (ts.PredictorCount < 1 || ts.PredictorCount > MaxVariables - 1) return "no predictor";
    int parameters = 1;
    for (int p = 1; p <= ts.PredictorCount; ++p) {
        const int v = ts.PredictorList[p];
        if (v < 1 || v > ts.VariableCount) return "predictor out of range";
        parameters += ts.CategoryCounts[v];
    }
    if (parameters > MaxParameters) return "too many parameters";
    return nullptr;
}

}  // namespace

void WriteReport(const TableSet& ts) {
    if (const char* problem = SelectionProblem(ts)) throw std::invalid_argument(std::string("no report: ") + problem);
    OutputFile file;  // closed by its destructor when a writer throws
    file.Create(ts.ReportFileName);
    const auto& sections = ts.OutputSections;
    if (ts.ReportType == HtmlReport) {
        WriteHtmlHeader(ts, file);
        if (sections[SectionTables]) WriteHtmlTables(ts, file);
        if (sections[SectionCoefficients]) WriteHtmlCoefficients(ts, file);
        if (sections[SectionErrors]) WriteHtmlStandardErrors(ts, file);
        if (sections[SectionEnhanced]) WriteHtmlEnhancedCoefficients(ts, file);
        WriteHtmlFooter(ts, file);
    } else if (ts.ReportType == TextReport) {
        WriteTextHeader(ts, file);
        if (sections[SectionTables]) WriteTextTables(ts, file);
        if (sections[SectionCoefficients]) WriteTextCoefficients(ts, file);
        if (sections[SectionErrors]) WriteTextStandardErrors(ts, file);
    }
    file.Close();
}

}  // namespace kelvo
