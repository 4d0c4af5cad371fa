// kelvo-cli report: estimates a model as `kelvo-cli estimate` does and writes
// its report, HTML or text, through the same dispatch as the desktop program.
#include <array>
#include <iostream>
#include <memory>

#include "cli_common.h"
#include "estimation.h"
#include "model_fit.h"
#include "model_options.h"
#include "odds_ratio_fit.h"
#include "report.h"

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
        "Estimate a model and write its report, HTML or text (exit 1 and no report when singular, 3 when the file "
        "was read only in part)");
    CLI::App* report = model.command;
    auto format = std::make_shared<std::string>();
    auto sections = std::make_shared<std::string>("tables,coefficients,errors,enhanced");
    auto output = std::make_shared<std::string>();
    report->add_option("--format", *format, "Report format: html or text")
        ->required()
        ->check(CLI::IsMember({"html", "text"}));
    report->add_option("--sections", *sections,
                       "Sections, separated by commas: tables, coefficients, errors, enhanced (HTML only), "
                       "summary (the model summary), charts (coefficient charts, HTML only), odds-ratios (the "
                       "odds-ratio model); none for the model alone (default: tables,coefficients,errors,enhanced)");
    report->add_option("-o,--output", *output, "Report file to write (an existing file is replaced)")->required();
    report->callback([model, format, sections, output, &status] {
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
        ts->ReportFileName = *output;
        ts->ReportType = *format == "html" ? HtmlReport : TextReport;
        ts->OutputSections = chosen;
        WriteReport(*ts);
        status = StatusAfterRead(estimated.complete, *model.path, converged ? ExitOk : ExitFindings);
    });
}

}  // namespace kelvo::cli
