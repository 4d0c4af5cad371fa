// Exporting a report: the sections of a report run through the driver of a
// format, into a file that is replaced only as a whole. Every format but PDF
// is written here; PDF needs a painter (Qt Gui) and lives in reports/, which
// uses the same pieces.
#pragma once

#include <filesystem>
#include <functional>
#include <stdexcept>
#include <vector>

#include "line_sink.h"
#include "model_results.h"
#include "output_model.h"
#include "report_format.h"
#include "table_set.h"

namespace kelvo {

// What a long export reports and how it is stopped: `progress` after each
// section (sections done, sections in all); `cancelled` is asked before
// every table and picture, and when it says so the export throws
// ExportCancelled. Either may be empty.
struct ExportControl {
    std::function<void(int done, int total)> progress;
    std::function<bool()> cancelled;
};

class ExportCancelled : public std::runtime_error {
public:
    ExportCancelled() : std::runtime_error("export cancelled") {}
};

// Throws std::invalid_argument when `results` cannot give `sections`: the
// model summary is chosen and has not been computed.
void CheckExportable(const std::vector<SectionKind>& sections, const ModelResults& results);

// Runs the builder of every section, in order, through `driver`.
void RunSections(const std::vector<SectionKind>& sections, const InputSide& tables, const ModelResults& results,
                 OutputDriver& driver, const ExportControl& control = {});

// Whether the format is lines of text: HTML, text, Markdown, LaTeX, CSV.
bool IsTextFormat(ReportFormat format);
// Whether writing the format needs a painter: PDF.
inline bool NeedsPainter(ReportFormat format) { return format == ReportFormat::Pdf; }

// The report as an OpenDocument package (odt_report.h). Throws as
// RunSections, and std::runtime_error when the package cannot be made.
std::string OdtReport(const std::vector<SectionKind>& sections, const InputSide& tables, const ModelResults& results,
                      const ExportControl& control = {});

// The report in a text format, its document start and end included, to
// `out`. HTML and text are written as WriteReport writes them, names in
// Latin-1; Markdown, LaTeX and CSV in UTF-8. Throws std::invalid_argument for
// PDF and OpenDocument and as CheckExportable.
void WriteTextReport(ReportFormat format, const std::vector<SectionKind>& sections, const InputSide& tables,
                     const ModelResults& results, LineSink& out, const ExportControl& control = {});

// WriteTextReport into the file at `path` through AtomicOutputFile: the file
// is replaced when the whole report is written, and after a failure
// (IoError, ExportCancelled) it is as it was.
void ExportTextReport(ReportFormat format, const std::vector<SectionKind>& sections, const InputSide& tables,
                      const ModelResults& results, const std::filesystem::path& path,
                      const ExportControl& control = {});

// The report in any format but PDF into the file at `path`, replaced only
// when the whole report is written. Throws std::invalid_argument for PDF.
void ExportReportFile(ReportFormat format, const std::vector<SectionKind>& sections, const InputSide& tables,
                      const ModelResults& results, const std::filesystem::path& path,
                      const ExportControl& control = {});

}  // namespace kelvo
