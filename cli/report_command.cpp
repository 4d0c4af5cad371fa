// kelvo-cli report: estimates a model as `kelvo-cli estimate` does and writes
// its report: HTML or text through the same dispatch as the desktop program's
// Specify output, the other formats as its Export report writes them.
#include <array>
#include <iostream>
#include <memory>

#include "cli_common.h"
#include "estimation.h"
#include "model_fit.h"
#include "model_options.h"
#include "odds_ratio_fit.h"
#include "pdf_loader.h"
#include "report.h"
#include "report_export.h"
#include "report_format.h"

namespace kelvo::cli {

namespace {

// The section names of --sections, in the order of OutputSections.
constexpr const char* SectionNames[] = {nullptr,   "tables", "coefficients", "errors",
                                        "enhanced", "summary", "charts",      "odds-ratios"};
constexpr int LastSection = SectionOddsRatios;

// The OutputSections flags for a --sections list: "none", or section names
// separated by commas in any order. Throws UsageError for anything else.
SectionChoice ParseSections(const std::string& list) {
    SectionChoice chosen{};
    if (list == "none") return chosen;
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = list.find(',', start);
        const std::string name = list.substr(start, comma == std::string::npos ? comma : comma - start);
        int section = 0;
        for (int s = SectionTables; s <= LastSection; ++s)
            if (name == SectionNames[s]) section = s;
        if (section == 0)
            throw UsageError("unknown section \"" + name +
                             "\" in --sections (use tables, coefficients, errors, enhanced, summary, charts, odds-ratios "
                             "or none)");
        chosen[section] = true;
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    return chosen;
}

}  // namespace

void RegisterReportCommand(CLI::App& app, int& status) {
    const ModelCommand model = AddModelCommand(
        app, "report",
        "Estimate a model and write its report in any format (exit 1 and no report when singular, 3 when the file "
        "was read only in part)");
    CLI::App* report = model.command;
    auto format = std::make_shared<std::string>();
    auto sections = std::make_shared<std::string>("tables,coefficients,errors,enhanced");
    auto output = std::make_shared<std::string>();
    auto paper = std::make_shared<std::string>();
    std::vector<std::string> formats;
    for (const ReportFormatInfo& info : ReportFormats()) formats.emplace_back(info.name);
    report->add_option("--format", *format,
                       "Report format: html, text, pdf, odt (OpenDocument text), md (Markdown), latex or csv (a "
                       "number a row)")
        ->required()
        ->check(CLI::IsMember(formats));
    report->add_option("--sections", *sections,
                       "Sections, separated by commas: tables, coefficients, errors, enhanced (not in text), "
                       "summary (the model summary), charts (coefficient charts: HTML, PDF and ODT only), "
                       "odds-ratios (the odds-ratio model); none for the model alone (default: "
                       "tables,coefficients,errors,enhanced)");
    report->add_option("--paper", *paper, "Paper of a PDF report: a4 or letter (default: by the locale)")
        ->check(CLI::IsMember({"a4", "letter"}));
    report->add_option("-o,--output", *output, "Report file to write (an existing file is replaced)")->required();
    report->callback([model, format, sections, output, paper, &status] {
        const SectionChoice chosen = ParseSections(*sections);
        StderrWarningSink warnings;
        // The summary is the desktop program's after every estimation; the
        // charts draw its unadjusted deviations too.
        const EstimatedModel estimated = EstimateForOutput(*model.path, *model.options, warnings, "report", status);
        if (!estimated.computed) return;
        TableSet* ts = estimated.ts.get();
        bool converged = true;
        if (chosen[SectionOddsRatios]) {
            ComputeOddsRatioModel(*ts);
            for (const std::string& warning : ts->OddsRatios.Warnings()) warnings.ShowWarning(warning);
            converged = ts->OddsRatios.converged;
        }
        const ReportFormat chosenFormat = *ReportFormatNamed(*format);
        if (chosenFormat == ReportFormat::Html || chosenFormat == ReportFormat::Text) {
            ts->ReportFileName = *output;
            ts->ReportType = chosenFormat == ReportFormat::Html ? HtmlReport : TextReport;
            ts->OutputSections = chosen;
            WriteReport(*ts);
        } else {
            // Written whole or not at all, as the desktop program's export.
            const std::vector<SectionKind> parts = ReportSections(chosenFormat, chosen);
            if (NeedsPainter(chosenFormat)) {
                const reports::PdfPaper pageSize = paper->empty()    ? reports::PdfPaper::ByLocale
                                                   : *paper == "a4" ? reports::PdfPaper::A4
                                                                    : reports::PdfPaper::Letter;
                WritePdfReport(parts, *ts, ResultsOf(*ts), *output, pageSize);
            } else {
                ExportReportFile(chosenFormat, parts, *ts, ResultsOf(*ts), *output);
            }
        }
        status = StatusAfterRead(estimated.complete, *model.path, converged ? ExitOk : ExitFindings);
    });
}

}  // namespace kelvo::cli
