// kelvo-cli check and estimate: the consistency check of a table-set file,
// and the estimation of a model chosen by variable names.
#include <functional>
#include <iostream>
#include <vector>

#include "cli_common.h"
#include "diagnostics.h"
#include "estimate_json.h"
#include "estimation.h"
#include "model_options.h"
#include "number_format.h"
#include "text_report.h"

namespace kelvo::cli {

namespace {

// ---- Text output, in the columns of the text report ----

// One table: heading, dashes, header line, dashes, one line per row with one
// percentage per column, dashes, empty line.
void PrintTable(std::ostream& out, const std::string& heading, const std::string& corner,
                const std::vector<std::string>& columns, const std::vector<std::string>& rows,
                const std::function<double(int row, int column)>& value) {
    const std::string dashes(12 * columns.size() + 10, '-');
    out << heading << '\n' << dashes << '\n' << AlignLeft(corner, 10);
    for (const std::string& column : columns) out << AlignRight(column, 12);
    out << '\n' << dashes << '\n';
    for (std::size_t r = 0; r < rows.size(); ++r) {
        out << AlignLeft(rows[r], 10);
        for (std::size_t c = 0; c < columns.size(); ++c)
            // Numbers keep every character, as in the text report.
            out << PadLeft(FormatPercent(value(static_cast<int>(r) + 1, static_cast<int>(c) + 1)), 12);
        out << '\n';
    }
    out << dashes << "\n\n";
}

std::vector<std::string> CategoryNamesOf(const TableSet& ts, int variable) {
    std::vector<std::string> names;
    for (int k = 1; k <= ts.CategoryCounts[variable]; ++k) names.push_back(ts.CategoryNames[variable][k]);
    return names;
}

void PrintResults(std::ostream& out, const TableSet& ts) {
    const int dependent = ts.DependentVariable;
    const std::string& dependentName = ts.VariableNames[dependent];
    const std::vector<std::string> dependentCategories = CategoryNamesOf(ts, dependent);
    // Coefficients in percent, then their standard errors (already in
    // percentage points); the average leads every table.
    for (const bool errors : {false, true}) {
        for (int t = 1; t <= ts.PredictorCount; ++t) {
            const int v = ts.PredictorList[t];
            const int base = BlockStart(ts, t);
            std::vector<std::string> columns = {"Average"};
            for (const std::string& name : CategoryNamesOf(ts, v)) columns.push_back(name);
            const std::string heading =
                (errors ? "Standard errors for variable: " : "Coeficients for variable: ") + ts.VariableNames[v];
            PrintTable(out, heading, dependentName, columns, dependentCategories, [&](int r, int c) {
                const int parameter = c == 1 ? 1 : base + c - 1;
                return errors ? ts.StandardErrors[parameter][r] : 100.0 * ts.Coefficients[parameter][r];
            });
        }
    }
    PrintTable(out, "Predictions for the dependent variable", "Category", {"Minimum", "Maximum"}, dependentCategories,
               [&](int r, int c) { return c == 1 ? ts.MinimumPrediction[r] : ts.MaximumPrediction[r]; });
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
        CheckMarginalTotals(*ts, warnings);
        if (*details)
            for (const std::string& line : DescribeDiagnostics(*ts, DiagnoseTableSet(*ts))) std::cout << line << '\n';
        status = ts->EstimationError > 0 ? ExitFindings : ExitOk;
    });
}

void RegisterEstimateCommand(CLI::App& app, int& status) {
    auto* estimate = app.add_subcommand(
        "estimate", "Estimate a model: coefficients, standard errors and prediction range (exit 1 when singular)");
    auto path = std::make_shared<std::string>();
    auto options = std::make_shared<ModelOptions>();
    auto json = std::make_shared<bool>(false);
    estimate->add_option("FILE", *path, "Table-set file (.tbl)")->required();
    AddModelOptions(estimate, *options);
    estimate->add_flag("--json", *json, "Print the results as one JSON object (17 significant digits)");
    estimate->callback([path, options, json, &status] {
        StderrWarningSink warnings;
        const auto ts = ReadInput(*path, warnings);
        ApplyModelOptions(*ts, *options);
        const bool computed = ComputeEstimates(*ts, warnings, options->log);
        if (*json)
            PrintJson(std::cout, *ts, computed, warnings.warnings);
        else if (computed)
            PrintResults(std::cout, *ts);
        status = computed ? ExitOk : ExitFindings;
    });
}

}  // namespace kelvo::cli
