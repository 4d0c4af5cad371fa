#include "report.h"

#include "html_report.h"
#include "text_file.h"
#include "text_report.h"

namespace kelvo {

void WriteReport(const TableSet& ts) {
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
