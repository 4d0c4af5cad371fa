#include "least_squares_reference.h"

#include <cmath>
#include <random>
#include <utility>

namespace kelvo::test {

// Draws records whose variables depend on one another through a hidden class,
// so that the predictors are correlated and the dependent variable depends on
// them.
Records DrawRecords(unsigned seed, const std::vector<int>& categories, int count) {
    std::mt19937 random(seed);
    Records records;
    records.categories = {0};
    records.categories.insert(records.categories.end(), categories.begin(), categories.end());
    const int variables = static_cast<int>(categories.size());
    std::uniform_int_distribution<int> hidden(0, 2);
    std::uniform_real_distribution<double> coin(0, 1);
    for (int n = 0; n < count; ++n) {
        std::vector<int> row(static_cast<std::size_t>(variables) + 1);
        const int h = hidden(random);
        for (int v = 1; v <= variables; ++v) {
            const int k = records.categories[v];
            row[v] = coin(random) < 0.4 ? (h * 5 + v) % k + 1 : std::uniform_int_distribution<int>(1, k)(random);
        }
        records.rows.push_back(row);
    }
    return records;
}

TableSet CountPairTables(const Records& records) {
    TableSet ts;
    ts.VariableCount = static_cast<int>(records.categories.size()) - 1;
    for (int v = 1; v <= ts.VariableCount; ++v) {
        ts.VariableNames[v] = "V" + std::to_string(v);
        ts.CategoryCounts[v] = static_cast<std::uint8_t>(records.categories[v]);
    }
    for (const auto& row : records.rows)
        for (int i = 2; i <= ts.VariableCount; ++i)
            for (int j = 1; j < i; ++j) ++ts.PairTables[PairIndex(i, j)][row[i]][row[j]];
    return ts;
}

// Inverse of a symmetric positive definite matrix by Gauss-Jordan elimination.
namespace {

RealMatrix Inverse(RealMatrix a) {
    const std::size_t n = a.size();
    RealMatrix inverse(n, std::vector<Real>(n, 0));
    for (std::size_t i = 0; i < n; ++i) inverse[i][i] = 1;
    for (std::size_t c = 0; c < n; ++c) {
        std::size_t pivot = c;
        for (std::size_t r = c + 1; r < n; ++r)
            if (std::fabs(a[r][c]) > std::fabs(a[pivot][c])) pivot = r;
        std::swap(a[c], a[pivot]);
        std::swap(inverse[c], inverse[pivot]);
        const Real p = a[c][c];
        for (std::size_t k = 0; k < n; ++k) {
            a[c][k] /= p;
            inverse[c][k] /= p;
        }
        for (std::size_t r = 0; r < n; ++r) {
            if (r == c || a[r][c] == 0) continue;
            const Real f = a[r][c];
            for (std::size_t k = 0; k < n; ++k) {
                a[r][k] -= f * a[c][k];
                inverse[r][k] -= f * inverse[c][k];
            }
        }
    }
    return inverse;
}

}  // namespace


Fit ReferenceFit(const Records& records, int dependent, const std::vector<int>& predictors) {
    const Real total = static_cast<Real>(records.rows.size());
    const int D = records.categories[dependent];
    // Columns of the reference design: 0 = constant; then categories 2..K of
    // each predictor. Parameters: 1 = constant; then all categories.
    std::vector<int> firstColumn, firstParameter;
    int columns = 1, parameters = 1;
    for (const int p : predictors) {
        firstColumn.push_back(columns);
        firstParameter.push_back(parameters);
        columns += records.categories[p] - 1;
        parameters += records.categories[p];
    }
    RealMatrix gram(columns, std::vector<Real>(columns, 0));
    RealMatrix moments(columns, std::vector<Real>(D + 1, 0));
    std::vector<std::vector<Real>> counts(predictors.size(), std::vector<Real>(17, 0));
    std::vector<Real> dependentCounts(D + 1, 0);
    for (const auto& row : records.rows) {
        std::vector<int> active = {0};
        for (std::size_t t = 0; t < predictors.size(); ++t) {
            const int k = row[predictors[t]];
            counts[t][k] += 1;
            if (k > 1) active.push_back(firstColumn[t] + k - 2);
        }
        for (const int a : active) {
            for (const int b : active) gram[a][b] += 1;
            moments[a][row[dependent]] += 1;
        }
        dependentCounts[row[dependent]] += 1;
    }
    const RealMatrix g = Inverse(gram);

    // The map from the reference fit to the reported coefficients.
    RealMatrix map(parameters + 1, std::vector<Real>(columns, 0));
    map[1][0] = 1;
    for (std::size_t t = 0; t < predictors.size(); ++t) {
        const int K = records.categories[predictors[t]];
        for (int k = 2; k <= K; ++k) {
            const int column = firstColumn[t] + k - 2;
            const Real share = counts[t][k] / total;
            map[1][column] += share;  // the constant takes the mean effect
            for (int r = 1; r <= K; ++r) map[firstParameter[t] + r][column] -= share;
            map[firstParameter[t] + k][column] += 1;
        }
    }

    Fit fit;
    fit.coefficients.assign(parameters + 1, std::vector<Real>(D + 1, 0));
    fit.standardErrors.assign(parameters + 1, std::vector<Real>(D + 1, 0));
    fit.classicalStandardErrors.assign(parameters + 1, std::vector<Real>(D + 1, 0));
    fit.residualSums.assign(D + 1, 0);
    for (int d = 1; d <= D; ++d) {
        std::vector<Real> beta(columns, 0);
        for (int a = 0; a < columns; ++a)
            for (int b = 0; b < columns; ++b) beta[a] += g[a][b] * moments[b][d];
        // The residuals of the records themselves.
        Real rss = 0;
        for (const auto& row : records.rows) {
            Real predicted = beta[0];
            for (std::size_t t = 0; t < predictors.size(); ++t) {
                const int k = row[predictors[t]];
                if (k > 1) predicted += beta[firstColumn[t] + k - 2];
            }
            const Real residual = (row[dependent] == d ? 1 : 0) - predicted;
            rss += residual * residual;
        }
        fit.residualSums[d] = rss;
        const Real residualVariance = rss / (total - columns);
        const Real p = dependentCounts[d] / total;
        for (int i = 1; i <= parameters; ++i) {
            Real value = 0, variance = 0;
            for (int a = 0; a < columns; ++a) {
                value += map[i][a] * beta[a];
                for (int b = 0; b < columns; ++b) variance += map[i][a] * g[a][b] * map[i][b];
            }
            fit.coefficients[i][d] = value;
            fit.standardErrors[i][d] = 100 * std::sqrt(variance * p * (1 - p));
            fit.classicalStandardErrors[i][d] = 100 * std::sqrt(variance * residualVariance);
        }
    }
    return fit;
}

}  // namespace kelvo::test
