// kelvo-cli's PDF module (pdf_module.h): a QGuiApplication on the offscreen
// platform for the fonts, then the export as the desktop program does it.
#include "pdf_module.h"

#include <QtGlobal>
#include <cstdio>
#include <exception>

#include "pdf_report.h"
#include "report_document.h"
#include "version.h"

namespace {

// Qt's notes about its environment ("XDG_RUNTIME_DIR not set", ...) are not
// for the user of kelvo-cli, whose standard error holds KELVO's warnings;
// its errors still are.
void QuietMessages(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtCriticalMsg || type == QtFatalMsg) std::fprintf(stderr, "%s\n", qPrintable(message));
}

}  // namespace

extern "C" __attribute__((visibility("default"))) int KelvoWritePdfReport(
    const kelvo::reports::PdfModuleRequest& request, std::string& error) {
    using namespace kelvo::reports;
    try {
        if (std::string(request.version) != kelvo::KelvoVersion) {
            error = std::string("the PDF module is of version ") + kelvo::KelvoVersion + ", the program of " +
                    request.version;
            return 1;
        }
        qInstallMessageHandler(QuietMessages);
        const GuiForDocuments gui;
        const QPageSize::PageSizeId paper = request.paper == PdfPaper::A4       ? QPageSize::A4
                                            : request.paper == PdfPaper::Letter ? QPageSize::Letter
                                                                                : PaperOfEnvironment();
        ExportReport(kelvo::ReportFormat::Pdf, *request.sections, *request.tables, *request.results,
                     std::filesystem::path(request.path), paper);
        return 0;
    } catch (const std::exception& e) {
        error = e.what();
    } catch (...) {
        error = "the PDF report could not be written";
    }
    return 1;
}
