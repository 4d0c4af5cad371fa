// The JSON of `kelvo-cli estimate --json`.
#include "estimate_json.h"

#include <array>
#include <charconv>
#include <cmath>
#include <nlohmann/json.hpp>
#include <string_view>

#include "cli_common.h"
#include "estimation.h"

namespace kelvo::cli {

namespace {

// The JSON text, built in one string.
class JsonText {
public:
    void Raw(std::string_view text) { m_text += text; }
    // A number with 17 significant digits (std::to_chars with a precision
    // writes what printf's "%.17g" writes), or null when it is not finite.
    void Number(double value) {
        if (!std::isfinite(value)) {
            m_text += "null";
            return;
        }
        char text[32];
        m_text.append(text, std::to_chars(text, text + sizeof text, value, std::chars_format::general, 17).ptr);
    }
    void Integer(int value) { m_text += std::to_string(value); }
    // "[a, b, ...]" of item(1) .. item(count), each written by item(i).
    template <class Item>
    void Array(int count, Item item) {
        m_text += '[';
        for (int i = 1; i <= count; ++i) {
            if (i > 1) m_text += ", ";
            item(i);
        }
        m_text += ']';
    }
    const std::string& text() const { return m_text; }

private:
    std::string m_text;
};

std::string JsonString(const std::string& latin1) {
    return nlohmann::json(Latin1ToUtf8(latin1)).dump();
}

// The names of a table set as JSON strings, each made once.
class JsonNames {
public:
    explicit JsonNames(const TableSet& ts) : m_ts(ts) {}
    const std::string& Variable(int v) { return Cached(m_variables[v], m_ts.VariableNames[v]); }
    const std::string& Category(int v, int k) { return Cached(m_categories[v][k], m_ts.CategoryNames[v][k]); }

private:
    static const std::string& Cached(std::string& json, const std::string& name) {
        if (json.empty()) json = JsonString(name);
        return json;
    }
    const TableSet& m_ts;
    std::array<std::string, MaxVariables + 1> m_variables;
    std::array<std::array<std::string, MaxCategories + 1>, MaxVariables + 1> m_categories;
};

// The model summary: fit per dependent category, the classical standard
// errors with their tests per parameter, and per predictor its unadjusted
// deviations, eta, beta and F test; null where a value does not exist.
void WriteFit(JsonText& json, JsonNames& names, const TableSet& ts) {
    const ModelSummary& s = ts.Summary;
    const int m = ts.ParameterCount;
    const int D = ts.DependentCategoryCount;
    const auto vector = [&](const std::vector<double>& values) {
        json.Array(D, [&](int d) { json.Number(values[static_cast<std::size_t>(d)]); });
    };
    const auto matrix = [&](const Matrix& values, int rows) {
        json.Array(rows, [&](int i) { json.Array(D, [&](int d) { json.Number(values(i, d)); }); });
    };
    json.Raw("{\"residual_df\": ");
    json.Number(s.residualDf);
    json.Raw(", \"r_squared\": ");
    vector(s.rSquared);
    json.Raw(", \"adjusted_r_squared\": ");
    vector(s.adjustedRSquared);
    json.Raw(", \"residual_standard_error\": ");
    vector(s.residualStandardError);
    json.Raw(", \"classical_standard_errors\": ");
    matrix(s.classicalStandardErrors, m);
    json.Raw(", \"t_values\": ");
    matrix(s.tValues, m);
    json.Raw(", \"p_values\": ");
    matrix(s.pValues, m);
    json.Raw(", \"predictors\": ");
    json.Array(static_cast<int>(s.predictors.size()), [&](int t) {
        const PredictorSummary& p = s.predictors[static_cast<std::size_t>(t) - 1];
        json.Raw("{\"variable\": ");
        json.Raw(names.Variable(p.variable));
        json.Raw(", \"unadjusted\": ");
        matrix(p.unadjusted, ts.CategoryCounts[p.variable]);
        json.Raw(", \"eta\": ");
        vector(p.eta);
        json.Raw(", \"beta\": ");
        vector(p.beta);
        json.Raw(", \"f_value\": ");
        vector(p.fValue);
        json.Raw(", \"df1\": ");
        json.Integer(p.df1);
        json.Raw(", \"df2\": ");
        json.Number(s.residualDf);
        json.Raw(", \"p_value\": ");
        vector(p.pValue);
        json.Raw("}");
    });
    json.Raw("}");
}

}  // namespace

void PrintJson(std::ostream& out, const TableSet& ts, bool computed, const std::vector<std::string>& warnings) {
    const int dependent = ts.DependentVariable;
    const int m = ts.ParameterCount;
    const int D = ts.DependentCategoryCount;
    JsonNames names(ts);
    JsonText json;
    const auto matrix = [&](const auto& values) {
        json.Array(m, [&](int p) { json.Array(D, [&](int d) { json.Number(values[p][d]); }); });
    };
    const auto vector = [&](const auto& values) { json.Array(D, [&](int d) { json.Number(values[d]); }); };
    // Per dependent category, the predictor categories behind the smallest or
    // largest prediction, by name in predictor order.
    const auto combinations = [&](bool maximum) {
        json.Array(D, [&](int d) {
            const std::vector<int> categories = PredictionCombination(ts, d, maximum);
            json.Array(ts.PredictorCount, [&](int t) {
                json.Raw(names.Category(ts.PredictorList[t], categories[static_cast<std::size_t>(t) - 1]));
            });
        });
    };

    json.Raw(computed ? "{\"status\": \"ok\"" : "{\"status\": \"singular\"");
    json.Raw(", \"dependent\": ");
    json.Raw(names.Variable(dependent));
    json.Raw(", \"dependent_categories\": ");
    json.Array(D, [&](int d) { json.Raw(names.Category(dependent, d)); });
    json.Raw(", \"predictors\": ");
    json.Array(ts.PredictorCount, [&](int t) { json.Raw(names.Variable(ts.PredictorList[t])); });
    json.Raw(", \"total_count\": ");
    json.Number(ts.TotalCount);
    json.Raw(", \"parameter_count\": ");
    json.Integer(m);
    json.Raw(", \"parameters\": [{\"variable\": null, \"category\": \"Average\"}");
    for (int t = 1; t <= ts.PredictorCount; ++t) {
        const int v = ts.PredictorList[t];
        for (int k = 1; k <= ts.CategoryCounts[v]; ++k) {
            json.Raw(", {\"variable\": ");
            json.Raw(names.Variable(v));
            json.Raw(", \"category\": ");
            json.Raw(names.Category(v, k));
            json.Raw("}");
        }
    }
    json.Raw("]");
    if (computed) {
        json.Raw(", \"coefficients\": ");
        matrix(ts.Coefficients);
        json.Raw(", \"standard_errors\": ");
        matrix(ts.StandardErrors);
        json.Raw(", \"minimum_prediction\": ");
        vector(ts.MinimumPrediction);
        json.Raw(", \"maximum_prediction\": ");
        vector(ts.MaximumPrediction);
        json.Raw(", \"minimum_combination\": ");
        combinations(false);
        json.Raw(", \"maximum_combination\": ");
        combinations(true);
        if (ts.Summary.present) {
            json.Raw(", \"fit\": ");
            WriteFit(json, names, ts);
        }
    }
    json.Raw(", \"warnings\": ");
    json.Array(static_cast<int>(warnings.size()),
               [&](int i) { json.Raw(JsonString(warnings[static_cast<std::size_t>(i) - 1])); });
    json.Raw("}\n");
    out << json.text();
}

}  // namespace kelvo::cli
