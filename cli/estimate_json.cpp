// The JSON of `kelvo-cli estimate --json`.
#include "estimate_json.h"

#include <array>
#include <charconv>
#include <cmath>
#include <nlohmann/json.hpp>
#include <string_view>

#include "cli_common.h"

namespace kelvo::cli {

namespace {

// The JSON text, built in one string.
class JsonText {
public:
    // Room for about `numbers` numbers, so that the text is not copied as it
    // grows.
    void Reserve(std::size_t numbers) { m_text.reserve(numbers * 26 + 4096); }
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

// The names of a model's variables and categories as JSON strings, each
// made once. Variable 0 is the dependent variable, t the t-th predictor.
class JsonNames {
public:
    explicit JsonNames(const ModelResults& results) : m_results(results) {}
    const std::string& Variable(int t) { return Cached(m_variables[t], Of(t).name); }
    const std::string& Category(int t, int k) {
        return Cached(m_categories[t][k], Of(t).categories[static_cast<std::size_t>(k)]);
    }

private:
    const ModelVariable& Of(int t) const { return t == 0 ? m_results.dependent : m_results.Predictor(t); }
    static const std::string& Cached(std::string& json, const std::string& name) {
        if (json.empty()) json = JsonString(name);
        return json;
    }
    const ModelResults& m_results;
    std::array<std::string, MaxVariables + 1> m_variables;
    std::array<std::array<std::string, MaxCategories + 1>, MaxVariables + 1> m_categories;
};

// The model summary: fit per dependent category, the classical standard
// errors with their tests per parameter, and per predictor its unadjusted
// deviations, eta, beta and F test; null where a value does not exist.
void WriteFit(JsonText& json, JsonNames& names, const ModelResults& results) {
    const ModelSummary& s = *results.summary;
    const int m = results.ParameterCount();
    const int D = results.DependentCategories();
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
        json.Raw(names.Variable(t));
        json.Raw(", \"unadjusted\": ");
        matrix(p.unadjusted, results.Predictor(t).Categories());
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

void PrintJson(std::ostream& out, const ModelResults& results, bool computed, const std::vector<std::string>& warnings) {
    const int m = results.ParameterCount();
    const int D = results.DependentCategories();
    const int P = results.PredictorCount();
    JsonNames names(results);
    JsonText json;
    // The arrays of the results and of the summary: m x D values five times
    // over, and the unadjusted deviations.
    json.Reserve(static_cast<std::size_t>(m) * static_cast<std::size_t>(D) * 6);
    const auto matrix = [&](const Matrix& values) {
        json.Array(m, [&](int p) { json.Array(D, [&](int d) { json.Number(values(p, d)); }); });
    };
    const auto vector = [&](const std::vector<double>& values) {
        json.Array(D, [&](int d) { json.Number(values[static_cast<std::size_t>(d)]); });
    };
    // Per dependent category, the predictor categories behind the smallest or
    // largest prediction, by name in predictor order.
    const auto combinations = [&](bool maximum) {
        json.Array(D, [&](int d) {
            const std::vector<int> categories = results.Combination(d, maximum);
            json.Array(P, [&](int t) { json.Raw(names.Category(t, categories[static_cast<std::size_t>(t) - 1])); });
        });
    };

    json.Raw(computed ? "{\"status\": \"ok\"" : "{\"status\": \"singular\"");
    json.Raw(", \"dependent\": ");
    json.Raw(names.Variable(0));
    json.Raw(", \"dependent_categories\": ");
    json.Array(D, [&](int d) { json.Raw(names.Category(0, d)); });
    json.Raw(", \"predictors\": ");
    json.Array(P, [&](int t) { json.Raw(names.Variable(t)); });
    json.Raw(", \"total_count\": ");
    json.Number(results.totalCount);
    json.Raw(", \"parameter_count\": ");
    json.Integer(m);
    json.Raw(", \"parameters\": [{\"variable\": null, \"category\": \"Average\"}");
    for (int t = 1; t <= P; ++t) {
        for (int k = 1; k <= results.Predictor(t).Categories(); ++k) {
            json.Raw(", {\"variable\": ");
            json.Raw(names.Variable(t));
            json.Raw(", \"category\": ");
            json.Raw(names.Category(t, k));
            json.Raw("}");
        }
    }
    json.Raw("]");
    if (computed) {
        json.Raw(", \"coefficients\": ");
        matrix(results.coefficients);
        json.Raw(", \"standard_errors\": ");
        matrix(results.standardErrors);
        json.Raw(", \"minimum_prediction\": ");
        vector(results.minimumPrediction);
        json.Raw(", \"maximum_prediction\": ");
        vector(results.maximumPrediction);
        json.Raw(", \"minimum_combination\": ");
        combinations(false);
        json.Raw(", \"maximum_combination\": ");
        combinations(true);
        if (results.summary) {
            json.Raw(", \"fit\": ");
            WriteFit(json, names, results);
        }
    }
    json.Raw(", \"warnings\": ");
    json.Array(static_cast<int>(warnings.size()),
               [&](int i) { json.Raw(JsonString(warnings[static_cast<std::size_t>(i) - 1])); });
    json.Raw("}\n");
    out << json.text();
}

}  // namespace kelvo::cli
