// Exporting a report in every format: PDF drawn here, the others through
// ExportReportFile (report_export.h). The file is replaced only when the
// whole report is written.
#pragma once

#include <QByteArray>
#include <QPageSize>
#include <array>
#include <filesystem>
#include <memory>
#include <vector>

#include "model_results.h"
#include "output_model.h"
#include "report_export.h"
#include "report_format.h"
#include "table_set.h"

class QGuiApplication;

namespace kelvo::reports {

// The report as a PDF document on pages of `paper`. Throws as RunSections
// (ExportCancelled, std::invalid_argument).
QByteArray PdfReport(const std::vector<SectionKind>& sections, const InputSide& tables, const ModelResults& results,
                     QPageSize::PageSizeId paper, const ExportControl& control = {});

// The report in `format` with `sections` into the file at `path`, through
// AtomicOutputFile: IoError on a failed write, and after any failure the
// file is as it was. PDF pages are of `paper`.
void ExportReport(ReportFormat format, const std::vector<SectionKind>& sections, const InputSide& tables,
                  const ModelResults& results, const std::filesystem::path& path,
                  QPageSize::PageSizeId paper = QPageSize::A4, const ExportControl& control = {});

// Fonts and painting need a QGuiApplication. For a program without one
// (kelvo-cli), this makes one on the offscreen platform, which needs no
// display, and ends it when it goes; where one runs already it does nothing.
class GuiForDocuments {
public:
    GuiForDocuments();
    ~GuiForDocuments();
    GuiForDocuments(const GuiForDocuments&) = delete;
    GuiForDocuments& operator=(const GuiForDocuments&) = delete;

private:
    // The application's arguments, which it keeps for its whole life.
    int m_argumentCount = 3;
    std::array<char*, 4> m_arguments;
    std::unique_ptr<QGuiApplication> m_application;
};

}  // namespace kelvo::reports
