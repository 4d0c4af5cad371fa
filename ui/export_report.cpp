#include "export_report.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QLocale>
#include <QProgressDialog>
#include <QPushButton>
#include <QThread>
#include <QVBoxLayout>

#include "dialog_frame.h"
#include "error_box.h"
#include "estimation.h"
#include "io_error.h"
#include "names_and_paths.h"
#include "pdf_report.h"
#include "report_document.h"

namespace kelvo::ui {

namespace {

// The sections offered, in their order.
struct SectionEntry {
    kelvo::OutputSection section;
    const char* name;
    const char* caption;
};
constexpr SectionEntry Entries[] = {
    {kelvo::SectionTables, "CheckTables", "All &tables"},
    {kelvo::SectionCoefficients, "CheckCoeff", "&Coefficients"},
    {kelvo::SectionErrors, "CheckErrors", "&Standard errors"},
    {kelvo::SectionEnhanced, "CheckEnhanced", "&Enhanced coefficients (not in text)"},
    {kelvo::SectionSummary, "CheckSummary", "&Model summary"},
    {kelvo::SectionCharts, "CheckCharts", "Coefficient c&harts (PDF, ODT, HTML)"},
    {kelvo::SectionOddsRatios, "CheckOddsRatios", "&Odds ratios"},
};

QString FilterOf(const kelvo::ReportFormatInfo& info) {
    return QString::fromLatin1(info.description) + QStringLiteral(" (*.") + QString::fromLatin1(info.extension) +
           QLatin1Char(')');
}

// The formats in the order the save dialog offers them: the new ones first.
std::vector<kelvo::ReportFormatInfo> OfferedFormats() {
    std::vector<kelvo::ReportFormatInfo> formats;
    for (const auto& info : kelvo::ReportFormats())
        if (info.format != kelvo::ReportFormat::Html && info.format != kelvo::ReportFormat::Text) formats.push_back(info);
    for (const auto& info : kelvo::ReportFormats())
        if (info.format == kelvo::ReportFormat::Html || info.format == kelvo::ReportFormat::Text) formats.push_back(info);
    return formats;
}

}  // namespace

TExportReport::TExportReport(TableSet& ts, WarningSink&, QWidget* parent) : QDialog(parent, TitleBarWithClose), m_ts(ts) {
    SetUpDialog(this, "ExportReport", " Export report");
    Sections = Named<QGroupBox>(this, "Sections", " Sections ");
    auto* boxes = new QVBoxLayout(Sections);
    for (const SectionEntry& entry : Entries) {
        auto* box = Named<QCheckBox>(Sections, entry.name, QString::fromLatin1(entry.caption));
        box->setChecked(true);
        boxes->addWidget(box);
        SectionBoxes.emplace_back(entry.section, box);
    }
    ExportButton = AddButton(this, "ExportButton", "E&xport...", PressedByEnter::Always, &TExportReport::ExportButtonClick);
    CancelButton = AddButton(this, "CancelButton", "Cancel", PressedByEnter::Never, &TExportReport::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Sections);
    layout->addSpacing(8);
    layout->addLayout(ButtonRow({ExportButton, CancelButton}, RowPlacement::Right));
    layout->setSizeConstraint(QLayout::SetFixedSize);
    CenterOnEveryShowing(this, [this] { FormActivate(); }, Activation::AfterPlacing);
    seams.chooseFile = [this] { return ChooseFile(); };
    seams.showError = [this](const QString& text) { ShowErrorBox(this, text); };
}

TExportReport::~TExportReport() {
    // A running export finishes into nothing: its file is not replaced.
    if (m_worker != nullptr) {
        CancelExport();
        m_worker->wait();
    }
}

void TExportReport::FormActivate() {
    // The summary is there after every estimation that was not singular.
    for (auto& [section, box] : SectionBoxes)
        if (section == kelvo::SectionSummary) box->setEnabled(m_ts.Summary.present);
    ExportButton->setFocus();
}

kelvo::SectionChoice TExportReport::ChosenSections() const {
    kelvo::SectionChoice chosen{};
    for (const auto& [section, box] : SectionBoxes) chosen[section] = box->isChecked() && box->isEnabled();
    return chosen;
}

QStringList TExportReport::Filters() {
    QStringList filters;
    for (const auto& info : OfferedFormats()) filters << FilterOf(info);
    return filters;
}

kelvo::ReportFormat TExportReport::FormatOfFilter(const QString& filter) {
    for (const auto& info : OfferedFormats())
        if (FilterOf(info) == filter) return info.format;
    return kelvo::ReportFormat::Pdf;
}

ExportTarget TExportReport::ChooseFile() {
    QFileDialog* dialog = NamedFileDialog(this, "ExportDialog", QStringLiteral("Export report"), FileChoice::Save,
                                          Filters(), QStringLiteral("pdf"));
    dialog->setOption(QFileDialog::DontConfirmOverwrite, false);
    // The suffix follows the chosen file type.
    connect(dialog, &QFileDialog::filterSelected, dialog, [dialog](const QString& filter) {
        dialog->setDefaultSuffix(QString::fromLatin1(kelvo::InfoOf(FormatOfFilter(filter)).extension));
    });
    ExportTarget target;
    if (dialog->exec() == QDialog::Accepted && !dialog->selectedFiles().isEmpty()) {
        target.path = dialog->selectedFiles().first();
        target.format = FormatOfFilter(dialog->selectedNameFilter());
    }
    dialog->deleteLater();
    return target;
}

void TExportReport::ExportButtonClick() {
    if (m_worker != nullptr) return;
    const ExportTarget target = seams.chooseFile ? seams.chooseFile() : ExportTarget{};
    if (!target.path.isEmpty()) Export(target);
}

void TExportReport::Export(const ExportTarget& target) {
    if (m_worker != nullptr || !kelvo::SelectionProblem(m_ts, m_ts).empty()) return;
    if (ChosenSections()[kelvo::SectionOddsRatios] && seams.fitOddsRatios && !seams.fitOddsRatios()) return;
    // The worker has its own copies: the window's table set is never read
    // off its thread.
    const std::vector<kelvo::SectionKind> sections = kelvo::ReportSections(target.format, ChosenSections());
    auto results = std::make_shared<const kelvo::ModelResults>(kelvo::ResultsOf(m_ts));
    auto tables = std::make_shared<const kelvo::InputSide>(static_cast<const kelvo::InputSide&>(m_ts));
    const std::filesystem::path path = ToPath(target.path);
    const QPageSize::PageSizeId paper = kelvo::reports::PaperOf(QLocale::system());
    const kelvo::ReportFormat format = target.format;
    m_cancelled = std::make_shared<std::atomic<bool>>(false);
    m_error = std::make_shared<QString>();

    m_progress = new QProgressDialog(QStringLiteral("Writing ") + target.path, QStringLiteral("Cancel"), 0,
                                     static_cast<int>(sections.size()), this);
    m_progress->setObjectName(QStringLiteral("ExportProgress"));
    m_progress->setWindowTitle(QStringLiteral(" Export report"));
    m_progress->setWindowModality(Qt::WindowModal);
    // Short exports end before it would show.
    m_progress->setMinimumDuration(400);
    m_progress->setValue(0);
    connect(m_progress, &QProgressDialog::canceled, this, &TExportReport::CancelExport);

    QProgressDialog* progress = m_progress;
    auto cancelled = m_cancelled;
    auto error = m_error;
    m_worker = QThread::create([=] {
        kelvo::ExportControl control;
        control.cancelled = [cancelled] { return cancelled->load(); };
        control.progress = [progress](int done, int) {
            QMetaObject::invokeMethod(progress, "setValue", Qt::QueuedConnection, Q_ARG(int, done));
        };
        try {
            kelvo::reports::ExportReport(format, sections, *tables, *results, path, paper, control);
        } catch (const kelvo::ExportCancelled&) {
            *error = QStringLiteral("cancelled");
        } catch (const std::exception& e) {
            // I/O failures carry their texts ("Disk full", ...).
            *error = QString::fromStdString(e.what());
            if (error->isEmpty()) *error = QStringLiteral("I/O error");
        }
    });
    connect(m_worker, &QThread::finished, this, &TExportReport::Finished);
    m_worker->start();
}

void TExportReport::CancelExport() {
    if (m_cancelled) m_cancelled->store(true);
}

void TExportReport::Finished() {
    m_worker->deleteLater();
    m_worker = nullptr;
    m_progress->deleteLater();
    m_progress = nullptr;
    const bool cancelled = m_cancelled->load();
    const QString error = *m_error;
    if (!error.isEmpty() && !cancelled && seams.showError) seams.showError(error);
    const bool written = error.isEmpty();
    emit exportFinished(written);
    if (written) accept();
}

void TExportReport::reject() {
    // Closing the window while it writes stops the writing first.
    if (m_worker != nullptr) return CancelExport();
    QDialog::reject();
}

}  // namespace kelvo::ui
