#include "odds_ratio_fit.h"

#include <boost/math/distributions/chi_squared.hpp>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <new>

#include "estimation.h"
#include "loglinear.h"
#include "number_format.h"

namespace kelvo {

namespace {

using detail::Column;
using detail::LoglinearFit;
using detail::LoglinearModel;
using detail::PairSlot;

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

// The model's variables: the dependent one first, then the predictors in
// the selection's order; the joint table is laid out in this order.
std::vector<int> ModelVariables(const ModelSelection& model) {
    std::vector<int> variables = {model.DependentVariable};
    for (int t = 1; t <= model.PredictorCount; ++t) variables.push_back(model.PredictorList[t]);
    return variables;
}

void CheckSelection(const InputSide& in, const ModelSelection& model) {
    if (const std::string problem = EstimationProblem(in, model); !problem.empty())
        throw std::invalid_argument("no odds-ratio model: " + problem);
}

// In decimal with thousands separators; wide enough for 16^16.
std::string Grouped(unsigned __int128 value) {
    std::string digits;
    do {
        digits.insert(digits.begin(), static_cast<char>('0' + static_cast<int>(value % 10)));
        value /= 10;
    } while (value > 0);
    for (auto at = static_cast<std::ptrdiff_t>(digits.size()) - 3; at > 0; at -= 3) digits.insert(static_cast<std::size_t>(at), ",");
    return digits;
}

std::string Cell(const InputSide& in, int v, int category) {
    return in.VariableNames[v] + " = " + in.CategoryNames[v][category];
}

// The pair tables of the model's variables (as the engine numbers them),
// their totals, and the check that they agree.
LoglinearModel ObservedModel(const InputSide& in, const std::vector<int>& variables) {
    std::vector<int> categories;
    categories.reserve(variables.size());
    for (const int v : variables) categories.push_back(in.CategoryCounts[v]);
    LoglinearModel observed;
    observed.layout = detail::JointLayout(categories);
    const int V = static_cast<int>(variables.size());
    std::vector<bool> established(static_cast<std::size_t>(V), false);
    for (int w = 1; w < V; ++w)
        for (int v = 0; v < w; ++v) {
            const int Kv = categories[static_cast<std::size_t>(v)];
            const int Kw = categories[static_cast<std::size_t>(w)];
            auto& cells = observed.observedPair[PairSlot(v, w)];
            const int size = Kv * Kw;
            cells.assign(static_cast<std::size_t>(size), 0.0);
            std::vector<double> rows(static_cast<std::size_t>(Kv)), columns(static_cast<std::size_t>(Kw));
            double total = 0;
            for (int a = 0; a < Kv; ++a)
                for (int b = 0; b < Kw; ++b) {
                    const double n = PairCell(in, variables[static_cast<std::size_t>(v)], a + 1,
                                              variables[static_cast<std::size_t>(w)], b + 1);
                    const int cell = a * Kw + b;
                    cells[static_cast<std::size_t>(cell)] = n;
                    rows[static_cast<std::size_t>(a)] += n;
                    columns[static_cast<std::size_t>(b)] += n;
                    total += n;
                }
            // Totals are sums of 32-bit counts: exact in double.
            const auto agree = [&](int u, const std::vector<double>& totals) {
                auto& main = observed.observedMain[u];
                if (!established[static_cast<std::size_t>(u)]) {
                    main = totals;
                    established[static_cast<std::size_t>(u)] = true;
                } else if (main != totals) {
                    throw OddsRatioRefused("No odds-ratio model: totals do not match for variable " +
                                           in.VariableNames[variables[static_cast<std::size_t>(u)]]);
                }
            };
            agree(v, rows);
            agree(w, columns);
            observed.total = total;
        }
    if (!(observed.total > 0)) throw OddsRatioRefused("No odds-ratio model: the tables of the model hold no cases");
    return observed;
}

// Every association, those among the predictors first, then those of the
// dependent variable with each predictor in turn (their columns last, so
// that their variances come from the end of the information matrix).
std::vector<int> AllPairs(int V) {
    std::vector<int> pairs;
    for (int w = 2; w < V; ++w)
        for (int v = 1; v < w; ++v) pairs.push_back(PairSlot(v, w));
    for (int t = 1; t < V; ++t) pairs.push_back(PairSlot(0, t));
    return pairs;
}

std::size_t ColumnOf(const LoglinearFit& fit, int t, int c, int d) {
    for (std::size_t i = 0; i < fit.columns.size(); ++i) {
        const Column& column = fit.columns[i];
        if (column.v == 0 && column.w == t && column.a == d - 1 && column.b == c - 1) return i;
    }
    return fit.columns.size();
}

// The warning for a parameter that is not estimable, naming the cells of
// its odds ratio that hold no cases.
std::string NotEstimable(const InputSide& in, const LoglinearModel& observed, const LoglinearFit& fit,
                         const std::vector<int>& variables, int t, int c, int d) {
    const int D = variables[0];
    const int X = variables[static_cast<std::size_t>(t)];
    const int Kt = observed.layout.categories[t];
    const auto& cells = observed.observedPair[PairSlot(0, t)];
    std::string empty;
    for (const auto& [dd, cc] : {std::pair{d, c}, std::pair{1, c}, std::pair{d, 1}, std::pair{1, 1}}) {
        if (cells[static_cast<std::size_t>((dd - 1) * Kt + cc - 1)] > 0) continue;
        empty += empty.empty() ? "no cases of " : " nor of ";
        empty += Cell(in, D, dd) + " with " + Cell(in, X, cc);
    }
    if (empty.empty())
        empty = fit.boundary ? "the tables leave some combinations of the model's variables without cases, and it "
                               "has no finite estimate"
                             : "empty cells of the other tables leave it undetermined";
    return "Odds ratio for " + Cell(in, X, c) + ", " + Cell(in, D, d) + " not estimable: " + empty;
}

std::string NotConverged(const std::string& what, const LoglinearFit& fit) {
    std::string text = what + " did not converge: after " + Grouped(fit.iterations) +
                       " iterations a fitted margin is still ";
    char number[32];
    std::snprintf(number, sizeof number, "%.1e", fit.marginError);
    return text + number + " x N from its table";
}

// The smallest and largest P(D = d | x) over the combinations x with a
// positive fitted count, from the fitted table (D the slowest variable).
std::vector<OddsRatioPrediction> Predictions(const detail::JointLayout& layout, const std::vector<double>& table) {
    const int D = layout.categories[0];
    const std::int64_t combinations = layout.strides[0];
    std::vector<OddsRatioPrediction> predictions(static_cast<std::size_t>(D));
    std::vector<std::int64_t> lowAt(static_cast<std::size_t>(D), -1), highAt(static_cast<std::size_t>(D), -1);
    for (int d = 0; d < D; ++d) predictions[static_cast<std::size_t>(d)].dependentCategory = d + 1;
    for (std::int64_t x = 0; x < combinations; ++x) {
        double total = 0;
        for (int d = 0; d < D; ++d) total += table[static_cast<std::size_t>(d * combinations + x)];
        if (!(total > 0)) continue;
        for (int d = 0; d < D; ++d) {
            OddsRatioPrediction& p = predictions[static_cast<std::size_t>(d)];
            const double percent = 100.0 * table[static_cast<std::size_t>(d * combinations + x)] / total;
            if (lowAt[static_cast<std::size_t>(d)] < 0 || percent < p.minimum) {
                p.minimum = percent;
                lowAt[static_cast<std::size_t>(d)] = x;
            }
            if (highAt[static_cast<std::size_t>(d)] < 0 || percent > p.maximum) {
                p.maximum = percent;
                highAt[static_cast<std::size_t>(d)] = x;
            }
        }
    }
    const auto categoriesOf = [&layout](std::int64_t x) {
        std::vector<int> categories;
        for (int v = 1; v < layout.variables; ++v) categories.push_back(static_cast<int>(x / layout.strides[v] % layout.categories[v]) + 1);
        return categories;
    };
    for (int d = 0; d < D; ++d) {
        if (lowAt[static_cast<std::size_t>(d)] < 0) continue;
        predictions[static_cast<std::size_t>(d)].minimumAt = categoriesOf(lowAt[static_cast<std::size_t>(d)]);
        predictions[static_cast<std::size_t>(d)].maximumAt = categoriesOf(highAt[static_cast<std::size_t>(d)]);
    }
    return predictions;
}

double ChiSquaredP(double g2, int df) {
    if (df <= 0 || !std::isfinite(g2)) return NaN;
    return boost::math::cdf(boost::math::complement(boost::math::chi_squared(df), g2));
}

}  // namespace

namespace {

unsigned __int128 ExactCells(const InputSide& in, const ModelSelection& model) {
    CheckSelection(in, model);
    unsigned __int128 cells = 1;
    for (const int v : ModelVariables(model)) cells *= static_cast<unsigned>(in.CategoryCounts[v]);
    return cells;
}

}  // namespace

std::int64_t OddsRatioCells(const InputSide& in, const ModelSelection& model) {
    const unsigned __int128 cells = ExactCells(in, model);
    constexpr auto largest = std::numeric_limits<std::int64_t>::max();
    return cells > static_cast<unsigned __int128>(largest) ? largest : static_cast<std::int64_t>(cells);
}

std::string OddsRatioTooLargeText(const InputSide& in, const ModelSelection& model) {
    return "Model too large for the odds-ratio model: " + Grouped(ExactCells(in, model)) + " cells (at most " +
           Grouped(MaxOddsRatioCells) + ")";
}

std::vector<std::int32_t> OddsRatioInputs(const InputSide& in, const ModelSelection& model) {
    CheckSelection(in, model);
    const std::vector<int> variables = ModelVariables(model);
    std::vector<std::int32_t> inputs(variables.begin(), variables.end());
    for (const int v : variables) inputs.push_back(in.CategoryCounts[v]);
    for (std::size_t w = 1; w < variables.size(); ++w)
        for (std::size_t v = 0; v < w; ++v)
            for (int a = 1; a <= in.CategoryCounts[variables[v]]; ++a)
                for (int b = 1; b <= in.CategoryCounts[variables[w]]; ++b)
                    inputs.push_back(PairCell(in, variables[v], a, variables[w], b));
    return inputs;
}

OddsRatioModel FitOddsRatioModel(const InputSide& in, const ModelSelection& model, const OddsRatioControl& control) {
    const std::int64_t cells = OddsRatioCells(in, model);
    if (cells > MaxOddsRatioCells) throw OddsRatioRefused(OddsRatioTooLargeText(in, model));
    const std::vector<int> variables = ModelVariables(model);
    const int V = static_cast<int>(variables.size());
    const int P = V - 1;
    LoglinearModel full = ObservedModel(in, variables);
    full.pairs = AllPairs(V);

    OddsRatioModel result;
    result.cells = cells;
    result.totalCount = full.total;
    result.inputs = OddsRatioInputs(in, model);
    // P + 2 stages: the fit, the variances, and a fit for each test; within
    // a fit each step moves the share on, up to nine tenths of its stage.
    int stage = 0;
    const auto progress = [&control, &stage, P](int done) {
        stage = done;
        if (control.progress) control.progress(static_cast<double>(done) / (P + 2));
    };
    detail::FitControl fitControl;
    fitControl.maxIterations = control.maxIterations;
    fitControl.stop = control.stop;
    fitControl.stepped = [&control, &stage, P](int steps) {
        if (control.progress) control.progress((stage + std::min(0.9, steps / 10.0)) / (P + 2));
    };
    try {
        std::vector<double> table;
        try {
            table.resize(static_cast<std::size_t>(cells));
        } catch (const std::bad_alloc&) {
            throw OddsRatioRefused("Not enough memory for the odds-ratio model: " + Grouped(cells) + " cells");
        }
        progress(0);
        const LoglinearFit fit = detail::FitLoglinear(full, table.data(), fitControl);
        result.iterations = fit.iterations;
        result.converged = fit.converged;
        if (!fit.converged) result.fitWarnings.push_back(NotConverged("The odds-ratio model", fit));
        result.predictions = Predictions(full.layout, table);
        progress(1);

        // The associations of the dependent variable: the last columns.
        std::size_t first = fit.columns.size();
        while (first > 0 && fit.columns[first - 1].v == 0 && fit.columns[first - 1].w > 0) --first;
        const std::vector<double> variances = detail::TailVariances(full, fit, table.data(), first, control.stop);
        progress(2);
        for (int t = 1; t <= P; ++t)
            for (int c = 2; c <= full.layout.categories[t]; ++c)
                for (int d = 2; d <= full.layout.categories[0]; ++d) {
                    OddsRatioParameter parameter;
                    parameter.predictor = t;
                    parameter.category = c;
                    parameter.dependentCategory = d;
                    const std::size_t column = ColumnOf(fit, t, c, d);
                    if (fit.estimable[column]) {
                        parameter.logOddsRatio = fit.theta[column];
                        const double variance = variances[column - first];
                        parameter.standardError = variance >= 0 ? std::sqrt(variance) : NaN;
                    } else {
                        parameter.warning = NotEstimable(in, full, fit, variables, t, c, d);
                    }
                    result.parameters.push_back(parameter);
                }

        // The test of each association: the model without it.
        for (int t = 1; t <= P; ++t) {
            LoglinearModel reduced = full;
            reduced.pairs.erase(std::find(reduced.pairs.begin(), reduced.pairs.end(), PairSlot(0, t)));
            const LoglinearFit without = detail::FitLoglinear(reduced, table.data(), fitControl, &fit);
            if (!without.converged)
                result.fitWarnings.push_back(
                    NotConverged("The model without the association of " + in.VariableNames[variables[0]] +
                                     " with " + in.VariableNames[variables[static_cast<std::size_t>(t)]],
                                 without));
            // G2 = 2 sum of m (log m - log m~) over the fitted cells, which
            // the margins of the full fit turn into the sufficient
            // statistics: 2 sum of T_j (theta_j - theta~_j).
            double g2 = 0;
            for (std::size_t j = 0; j < fit.columns.size(); ++j)
                g2 += fit.observed[j] * (fit.theta[j] - without.Parameter(fit.columns[j]));
            OddsRatioTest test;
            test.predictor = t;
            test.g2 = std::max(0.0, 2 * g2);
            test.df = (full.layout.categories[0] - 1) * (full.layout.categories[t] - 1);
            test.pValue = ChiSquaredP(test.g2, test.df);
            result.tests.push_back(test);
            progress(2 + t);
        }
    } catch (const detail::FitStopped&) {
        throw OddsRatioCancelled();
    }
    result.present = true;
    return result;
}

void ComputeOddsRatioModel(const InputSide& in, const ModelSelection& model, EstimationArrays& est,
                           const OddsRatioControl& control) {
    est.OddsRatios = FitOddsRatioModel(in, model, control);
}

bool OddsRatiosCurrent(const InputSide& in, const ModelSelection& model, const EstimationArrays& est) {
    if (!est.OddsRatios.present || !EstimationProblem(in, model).empty()) return false;
    return est.OddsRatios.inputs == OddsRatioInputs(in, model);
}

}  // namespace kelvo
