#include "report_document.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QPdfWriter>

#include "atomic_file.h"
#include "pdf_report.h"

namespace kelvo::reports {

QByteArray PdfReport(const std::vector<SectionKind>& sections, const InputSide& tables, const ModelResults& results,
                     QPageSize::PageSizeId paper, const ExportControl& control) {
    CheckExportable(sections, results);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        PdfDriver driver(writer, paper);
        driver.BeginDocument();
        RunSections(sections, tables, results, driver, control);
        driver.EndDocument();
    }
    return buffer.data();
}

void ExportReport(ReportFormat format, const std::vector<SectionKind>& sections, const InputSide& tables,
                  const ModelResults& results, const std::filesystem::path& path, QPageSize::PageSizeId paper,
                  const ExportControl& control) {
    if (!NeedsPainter(format)) return ExportReportFile(format, sections, tables, results, path, control);
    // The whole document first: nothing is created when it cannot be made.
    const QByteArray bytes = PdfReport(sections, tables, results, paper, control);
    AtomicOutputFile file(path);
    file.Write(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    file.Commit();
}

namespace {

char ProgramName[] = "kelvo-cli";
char PlatformOption[] = "-platform";
char PlatformName[] = "offscreen";

}  // namespace

GuiForDocuments::GuiForDocuments() : m_arguments{ProgramName, PlatformOption, PlatformName, nullptr} {
    // QGuiApplication takes the options it reads out of the arguments, so
    // each application gets a fresh list.
    if (QCoreApplication::instance() == nullptr)
        m_application = std::make_unique<QGuiApplication>(m_argumentCount, m_arguments.data());
}

GuiForDocuments::~GuiForDocuments() = default;

}  // namespace kelvo::reports
