// The JSON of `kelvo-cli estimate --json`.
#include "estimate_json.h"

#include <cmath>
#include <cstdio>
#include <functional>
#include <nlohmann/json.hpp>

#include "cli_common.h"
#include "estimation.h"

namespace kelvo::cli {

namespace {

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

}  // namespace

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
            << ", \"maximum_combination\": " << combinations(true);
    }
    out << ", \"warnings\": " << JsonArray(static_cast<int>(warnings.size()), [&](int i) {
        return JsonString(warnings[static_cast<std::size_t>(i) - 1]);
    }) << "}\n";
}

}  // namespace kelvo::cli
