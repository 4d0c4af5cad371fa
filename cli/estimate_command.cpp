// kelvo-cli check and estimate: the consistency check of a table-set file,
// and the estimation of a model chosen by variable names.
#include <iostream>
#include <vector>

#include "cli_common.h"
#include "csv_report.h"
#include "diagnostics.h"
#include "estimate_json.h"
#include "estimation.h"
#include "model_fit.h"
#include "model_options.h"
#include "model_results.h"
#include "odds_ratio_fit.h"
#include "odds_ratio_sections.h"
#include "output_sections.h"
#include "report_export.h"
#include "text_report.h"

namespace kelvo::cli {

namespace {

// ---- Text output: the report's tables, rendered by the text driver ----

// The linear model's tables when it was computed, then the odds ratios when
// they were asked for.
void PrintResults(std::ostream& out, const ModelResults& results, bool computed) {
    StreamLineSink lines(out);
    TextDriver driver(lines);
    if (computed) {
        BuildCoefficientsSection(results, driver);
        BuildStandardErrorsSection(results, driver);
        BuildPredictionRangeSection(results, driver);
        BuildModelSummarySection(results, driver);
    }
    if (results.oddsRatios) BuildOddsRatioSection(results, driver);
}

// ---- CSV: the same numbers a row each, the coefficients with their
// significance ----

void PrintCsv(std::ostream& out, const InputSide& tables, const ModelResults& results) {
    std::vector<SectionKind> sections = {SectionKind::EnhancedCoefficients, SectionKind::StandardErrors,
                                         SectionKind::PredictionRange};
    if (results.summary) sections.push_back(SectionKind::ModelSummary);
    if (results.oddsRatios) sections.push_back(SectionKind::OddsRatios);
    // RFC 4180's line ends, as in a CSV report file.
    struct CrLfLines : LineSink {
        explicit CrLfLines(std::ostream& stream) : out(stream) {}
        void Line(std::string_view text) override { out << text << "\r\n"; }
        std::ostream& out;
    } lines(out);
    CsvDriver driver(lines);
    driver.BeginDocument();
    RunSections(sections, tables, results, driver);
}

}  // namespace

void RegisterCheckCommand(CLI::App& app, int& status) {
    auto* check = app.add_subcommand(
        "check", "Check that every variable has the same totals in all its tables (exit 1 when not)");
    auto path = std::make_shared<std::string>();
    auto details = std::make_shared<bool>(false);
    check->add_option("FILE", *path, "Table-set file (.tbl)")->required();
    check->add_flag("--details", *details,
                    "Also list the disagreeing totals table by table, categories without cases and empty tables");
    check->callback([path, details, &status] {
        StderrWarningSink warnings;
        const auto ts = ReadInput(*path, warnings);
        CheckMarginalTotals(*ts, *ts, warnings);
        if (*details)
            for (const std::string& line : DescribeDiagnostics(*ts, DiagnoseTableSet(*ts))) std::cout << line << '\n';
        status = ts->EstimationError > 0 ? ExitFindings : ExitOk;
    });
}

void RegisterEstimateCommand(CLI::App& app, int& status) {
    const ModelCommand model = AddModelCommand(
        app, "estimate",
        "Estimate a model: coefficients, standard errors and prediction range (exit 1 when singular, 3 when the "
        "file was read only in part)");
    CLI::App* estimate = model.command;
    auto json = std::make_shared<bool>(false);
    auto csv = std::make_shared<bool>(false);
    CLI::Option* jsonFlag =
        estimate->add_flag("--json", *json, "Print the results as one JSON object (17 significant digits)");
    estimate
        ->add_flag("--csv", *csv,
                   "Print the numbers as CSV, one a row: section, table, row, column, value as shown, significant")
        ->excludes(jsonFlag);
    auto oddsRatios = std::make_shared<bool>(false);
    estimate->add_flag("--odds-ratios", *oddsRatios,
                       "Also fit the loglinear model with every two-way association: the odds ratios of the "
                       "dependent variable with each predictor, their tests and the range of its predictions "
                       "(also for a singular linear model; exit 1 when the fit does not converge)");
    estimate->callback([model, json, csv, oddsRatios, &status] {
        StderrWarningSink warnings;
        const EstimatedModel result = EstimateModel(*model.path, *model.options, warnings);
        bool converged = true;
        if (*oddsRatios) {
            ComputeOddsRatioModel(*result.ts);
            for (const std::string& warning : result.ts->OddsRatios.Warnings()) warnings.ShowWarning(warning);
            converged = result.ts->OddsRatios.converged;
        }
        const ModelResults results = ResultsOf(*result.ts);
        if (*json)
            PrintJson(std::cout, results, result.computed, warnings.warnings);
        else if (*csv && result.computed)
            PrintCsv(std::cout, *result.ts, results);
        else if (!*csv)
            PrintResults(std::cout, results, result.computed);
        status = StatusAfterRead(result.complete, *model.path, result.computed && converged ? ExitOk : ExitFindings);
    });
}

}  // namespace kelvo::cli
