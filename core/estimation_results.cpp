// Coefficients, their standard errors and the range of the predictions.
//
// As in the inversion, independent sums advance side by side while each one
// receives its terms in exactly the prescribed order.
#include <cmath>
#include <vector>

#include "estimation.h"
#include "estimation_log.h"

namespace kelvo {

void ComputeCoefficients(TableSet& ts, OutputFile& log) {
    const int m = ts.ParameterCount;
    const int D = ts.DependentCategoryCount;
    // Coefficients(p, d) = sum over q = 1..m of InverseMatrix(p, q) RightHandSides(q, d)
    std::array<double, MaxCategories + 1> sums{};
    for (int p = 1; p <= m; ++p) {
        const double* inverseRow = ts.InverseMatrix.row(p);
        for (int d = 1; d <= D; ++d) sums[d] = 0.0;
        for (int q = 1; q <= m; ++q) {
            const double c = inverseRow[q];
            const double* rhs = ts.RightHandSides.row(q);
            for (int d = 1; d <= D; ++d) sums[d] += c * rhs[d];
        }
        for (int d = 1; d <= D; ++d) ts.Coefficients[p][d] = sums[d];
    }
    detail::WriteLogMatrix(log, m, D, 12, 6, [&](int r) { return ts.Coefficients[r].data() + 1; });
    log.Close();
}

void ComputeStandardErrors(TableSet& ts) {
    const int m = ts.ParameterCount;
    const int D = ts.DependentCategoryCount;
    const Matrix& inverse = ts.InverseMatrix;
    const Matrix& crossProducts = ts.CrossProducts;

    // V(i) = sum over j = 1..m, then k = 1..m, of
    //        (InverseMatrix(i, j) CrossProducts(j, k)) InverseMatrix(k, i):
    // the diagonal of M X'X M, one running sum per i over the (j, k) pairs in
    // that order. InverseMatrix is exactly symmetric, so InverseMatrix(i, j)
    // is row j at i and InverseMatrix(k, i) row k at i; all m sums then take
    // their (j, k) term from contiguous rows.
    std::vector<double> variance(static_cast<std::size_t>(m) + 1, 0.0);
    double* v = variance.data();
    for (int j = 1; j <= m; ++j) {
        const double* inverseJ = inverse.row(j);
        const double* crossJ = crossProducts.row(j);
        for (int k = 1; k <= m; ++k) {
            const double c = crossJ[k];
            const double* inverseK = inverse.row(k);
            for (int i = 1; i <= m; ++i) v[i] += (inverseJ[i] * c) * inverseK[i];
        }
    }

    const int dependent = ts.DependentVariable;
    for (int d = 1; d <= D; ++d) {
        // The variance of the indicator of category d (its total variance).
        const double p = static_cast<double>(ts.MarginalTotals[dependent][d]) / ts.TotalCount;
        const double w = (1.0 - p) * p;
        for (int i = 1; i <= m; ++i) {
            double x = v[i] * w;
            if (x < 0) x = 0;  // rounding can leave a tiny negative variance
            ts.StandardErrors[i][d] = 100.0 * std::sqrt(x);
        }
    }
}

void ComputePredictionRange(TableSet& ts) {
    for (int d = 1; d <= ts.DependentCategoryCount; ++d) {
        double low = ts.Coefficients[1][d];
        double high = low;
        for (int t = 1; t <= ts.PredictorCount; ++t) {
            const int a = ts.PredictorList[t];
            const int s = BlockStart(ts, t);
            double smallest = ts.Coefficients[s + 1][d];
            double largest = smallest;
            for (int k = 2; k <= ts.CategoryCounts[a]; ++k) {
                const double value = ts.Coefficients[s + k][d];
                if (value < smallest) smallest = value;
                if (value > largest) largest = value;
            }
            low += smallest;
            high += largest;
        }
        ts.MinimumPrediction[d] = 100.0 * low;
        ts.MaximumPrediction[d] = 100.0 * high;
    }
}

std::vector<int> PredictionCombination(const TableSet& ts, int d, bool maximum) {
    std::vector<int> combination;
    for (int t = 1; t <= ts.PredictorCount; ++t) {
        const int s = BlockStart(ts, t);
        int best = 1;
        for (int k = 2; k <= ts.CategoryCounts[ts.PredictorList[t]]; ++k) {
            const double value = ts.Coefficients[s + k][d];
            if (maximum ? value > ts.Coefficients[s + best][d] : value < ts.Coefficients[s + best][d]) best = k;
        }
        combination.push_back(best);
    }
    return combination;
}

}  // namespace kelvo
