#include "report_export.h"

#include <algorithm>

#include "atomic_file.h"
#include "csv_report.h"
#include "html_report.h"
#include "latex_report.h"
#include "markdown_report.h"
#include "odt_report.h"
#include "output_sections.h"
#include "text_report.h"

namespace kelvo {

namespace {

// Passes everything on to the driver, asking first whether to stop.
class CancellableDriver : public OutputDriver {
public:
    CancellableDriver(OutputDriver& driver, const std::function<bool()>& cancelled)
        : m_driver(driver), m_cancelled(cancelled) {}
    void BeginSection(const SectionInfo& section) override { m_driver.BeginSection(section); }
    void Table(const OutputTable& table) override {
        Check();
        m_driver.Table(table);
    }
    void Figure(const OutputFigure& figure) override {
        Check();
        m_driver.Figure(figure);
    }
    void EndSection(const SectionInfo& section) override { m_driver.EndSection(section); }

private:
    void Check() const {
        if (m_cancelled && m_cancelled()) throw ExportCancelled();
    }
    OutputDriver& m_driver;
    const std::function<bool()>& m_cancelled;
};

template <class Driver>
void WriteDocument(Driver& driver, const std::vector<SectionKind>& sections, const InputSide& tables,
                   const ModelResults& results, const ExportControl& control) {
    driver.BeginDocument();
    RunSections(sections, tables, results, driver, control);
    driver.EndDocument();
}

}  // namespace

void CheckExportable(const std::vector<SectionKind>& sections, const ModelResults& results) {
    if (!results.summary && std::find(sections.begin(), sections.end(), SectionKind::ModelSummary) != sections.end())
        throw std::invalid_argument("no report: the model summary has not been computed");
    if (!results.oddsRatios && std::find(sections.begin(), sections.end(), SectionKind::OddsRatios) != sections.end())
        throw std::invalid_argument("no report: the odds-ratio model has not been fitted");
}

void RunSections(const std::vector<SectionKind>& sections, const InputSide& tables, const ModelResults& results,
                 OutputDriver& driver, const ExportControl& control) {
    CheckExportable(sections, results);
    CancellableDriver checked(driver, control.cancelled);
    const int total = static_cast<int>(sections.size());
    for (int s = 0; s < total; ++s) {
        BuildSection(sections[static_cast<std::size_t>(s)], tables, results, checked);
        if (control.progress) control.progress(s + 1, total);
    }
}

bool IsTextFormat(ReportFormat format) {
    return format != ReportFormat::Pdf && format != ReportFormat::Odt;
}

void WriteTextReport(ReportFormat format, const std::vector<SectionKind>& sections, const InputSide& tables,
                     const ModelResults& results, LineSink& out, const ExportControl& control) {
    CheckExportable(sections, results);
    switch (format) {
        case ReportFormat::Html: {
            HtmlDriver driver(out);
            return WriteDocument(driver, sections, tables, results, control);
        }
        case ReportFormat::Text: {
            // The text report has no closing lines.
            TextDriver driver(out);
            driver.BeginDocument();
            return RunSections(sections, tables, results, driver, control);
        }
        case ReportFormat::Markdown: {
            MarkdownDriver driver(out);
            return WriteDocument(driver, sections, tables, results, control);
        }
        case ReportFormat::Latex: {
            LatexDriver driver(out);
            return WriteDocument(driver, sections, tables, results, control);
        }
        case ReportFormat::Csv: {
            CsvDriver driver(out);
            return WriteDocument(driver, sections, tables, results, control);
        }
        case ReportFormat::Pdf:
        case ReportFormat::Odt:
            break;
    }
    throw std::invalid_argument(std::string("not a text format: ") + InfoOf(format).name);
}

void ExportTextReport(ReportFormat format, const std::vector<SectionKind>& sections, const InputSide& tables,
                      const ModelResults& results, const std::filesystem::path& path, const ExportControl& control) {
    if (!IsTextFormat(format)) throw std::invalid_argument(std::string("not a text format: ") + InfoOf(format).name);
    CheckExportable(sections, results);
    AtomicOutputFile file(path);
    WriteTextReport(format, sections, tables, results, file, control);
    file.Commit();
}

}  // namespace kelvo

namespace kelvo {

std::string OdtReport(const std::vector<SectionKind>& sections, const InputSide& tables, const ModelResults& results,
                      const ExportControl& control) {
    OdtDriver driver;
    WriteDocument(driver, sections, tables, results, control);
    return driver.Package();
}

void ExportReportFile(ReportFormat format, const std::vector<SectionKind>& sections, const InputSide& tables,
                      const ModelResults& results, const std::filesystem::path& path, const ExportControl& control) {
    if (IsTextFormat(format)) return ExportTextReport(format, sections, tables, results, path, control);
    if (format != ReportFormat::Odt) throw std::invalid_argument(std::string("needs a painter: ") + InfoOf(format).name);
    // The whole package first: nothing is created when it cannot be made.
    const std::string bytes = OdtReport(sections, tables, results, control);
    AtomicOutputFile file(path);
    file.Write(bytes);
    file.Commit();
}

}  // namespace kelvo
