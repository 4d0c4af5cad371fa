// kelvo-cli check and estimate: the consistency check of a table-set file,
// and the estimation of a model chosen by variable names.
#include <cmath>
#include <cstdio>
#include <functional>
#include <iostream>
#include <nlohmann/json.hpp>
#include <vector>

#include "cli_common.h"
#include "diagnostics.h"
#include "estimation.h"
#include "model_options.h"
#include "model_fit.h"
#include "output_sections.h"
#include "text_report.h"

namespace kelvo::cli {

namespace {

// ---- Text output: the report's tables, rendered by the text driver ----

void PrintResults(std::ostream& out, const TableSet& ts) {
    StreamLineSink lines(out);
    TextDriver driver(lines);
    BuildCoefficientsSection(ts, driver);
    BuildStandardErrorsSection(ts, driver);
    BuildPredictionRangeSection(ts, driver);
    BuildModelSummarySection(ts, driver);
}

// ---- JSON output ----

// A number with 17 significant digits (null when it is not finite).
std::string JsonNumber(double value) {
    if (!std::isfinite(value)) return "null";
    char text[32];
    std::snprintf(text, sizeof text, "%.17g", value);
    return text;
}

std::string JsonString(const std::string& latin1) {
    return nlohmann::json(Latin1ToUtf8(latin1)).dump();
}

// "[a, b, ...]" of item(1) .. item(count).
std::string JsonArray(int count, const std::function<std::string(int)>& item) {
    std::string text = "[";
    for (int i = 1; i <= count; ++i) {
        if (i > 1) text += ", ";
        text += item(i);
    }
    return text + "]";
}

// The model summary: fit per dependent category, the classical standard
// errors with their tests per parameter, and per predictor its unadjusted
// deviations, eta, beta and F test; null where a value does not exist.
std::string FitJson(const TableSet& ts) {
    const ModelSummary& s = ts.Summary;
    const int m = ts.ParameterCount;
    const int D = ts.DependentCategoryCount;
    const auto vector = [&](const std::vector<double>& values) {
        return JsonArray(D, [&](int d) { return JsonNumber(values[static_cast<std::size_t>(d)]); });
    };
    const auto matrix = [&](const Matrix& values, int rows) {
        return JsonArray(rows, [&](int i) { return JsonArray(D, [&](int d) { return JsonNumber(values(i, d)); }); });
    };
    const std::string df = JsonNumber(s.residualDf);
    std::string text = "{\"residual_df\": " + df + ", \"r_squared\": " + vector(s.rSquared) +
                       ", \"adjusted_r_squared\": " + vector(s.adjustedRSquared) +
                       ", \"residual_standard_error\": " + vector(s.residualStandardError) +
                       ", \"classical_standard_errors\": " + matrix(s.classicalStandardErrors, m) +
                       ", \"t_values\": " + matrix(s.tValues, m) + ", \"p_values\": " + matrix(s.pValues, m) +
                       ", \"predictors\": ";
    text += JsonArray(static_cast<int>(s.predictors.size()), [&](int t) {
        const PredictorSummary& p = s.predictors[static_cast<std::size_t>(t) - 1];
        return "{\"variable\": " + JsonString(ts.VariableNames[p.variable]) +
               ", \"unadjusted\": " + matrix(p.unadjusted, ts.CategoryCounts[p.variable]) +
               ", \"eta\": " + vector(p.eta) + ", \"beta\": " + vector(p.beta) + ", \"f_value\": " +
               vector(p.fValue) + ", \"df1\": " + std::to_string(p.df1) + ", \"df2\": " + df +
               ", \"p_value\": " + vector(p.pValue) + "}";
    });
    return text + "}";
}

void PrintJson(std::ostream& out, const TableSet& ts, bool computed, const std::vector<std::string>& warnings) {
    const int dependent = ts.DependentVariable;
    const int m = ts.ParameterCount;
    const int D = ts.DependentCategoryCount;
    std::vector<std::string> parameters = {"{\"variable\": null, \"category\": \"Average\"}"};
    for (int t = 1; t <= ts.PredictorCount; ++t) {
        const int v = ts.PredictorList[t];
        for (int k = 1; k <= ts.CategoryCounts[v]; ++k)
            parameters.push_back("{\"variable\": " + JsonString(ts.VariableNames[v]) +
                                 ", \"category\": " + JsonString(ts.CategoryNames[v][k]) + "}");
    }
    const auto matrix = [&](const auto& values) {
        return JsonArray(m, [&](int p) { return JsonArray(D, [&](int d) { return JsonNumber(values[p][d]); }); });
    };
    const auto vector = [&](const auto& values) { return JsonArray(D, [&](int d) { return JsonNumber(values[d]); }); };
    // Per dependent category, the predictor categories behind the smallest or
    // largest prediction, by name in predictor order.
    const auto combinations = [&](bool maximum) {
        return JsonArray(D, [&](int d) {
            const std::vector<int> categories = PredictionCombination(ts, d, maximum);
            return JsonArray(ts.PredictorCount, [&](int t) {
                return JsonString(ts.CategoryNames[ts.PredictorList[t]][categories[static_cast<std::size_t>(t) - 1]]);
            });
        });
    };

    out << "{\"status\": " << (computed ? "\"ok\"" : "\"singular\"")
        << ", \"dependent\": " << JsonString(ts.VariableNames[dependent]) << ", \"dependent_categories\": "
        << JsonArray(D, [&](int d) { return JsonString(ts.CategoryNames[dependent][d]); }) << ", \"predictors\": "
        << JsonArray(ts.PredictorCount, [&](int t) { return JsonString(ts.VariableNames[ts.PredictorList[t]]); })
        << ", \"total_count\": " << JsonNumber(ts.TotalCount) << ", \"parameter_count\": " << m
        << ", \"parameters\": " << JsonArray(m, [&](int p) { return parameters[static_cast<std::size_t>(p) - 1]; });
    if (computed) {
        out << ", \"coefficients\": " << matrix(ts.Coefficients)
            << ", \"standard_errors\": " << matrix(ts.StandardErrors)
            << ", \"minimum_prediction\": " << vector(ts.MinimumPrediction)
            << ", \"maximum_prediction\": " << vector(ts.MaximumPrediction)
            << ", \"minimum_combination\": " << combinations(false)
            << ", \"maximum_combination\": " << combinations(true) << ", \"fit\": " << FitJson(ts);
    }
    out << ", \"warnings\": " << JsonArray(static_cast<int>(warnings.size()), [&](int i) {
        return JsonString(warnings[static_cast<std::size_t>(i) - 1]);
    }) << "}\n";
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
        if (computed) ComputeModelSummary(*ts);
        if (*json)
            PrintJson(std::cout, *ts, computed, warnings.warnings);
        else if (computed)
            PrintResults(std::cout, *ts);
        status = computed ? ExitOk : ExitFindings;
    });
}

}  // namespace kelvo::cli
