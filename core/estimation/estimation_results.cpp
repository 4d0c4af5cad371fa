// Coefficients, their standard errors and the range of the predictions.
//
// As in the inversion, the kernels advance independent sums side by side
// while each one receives its terms in exactly the prescribed order.
#include <algorithm>
#include <cmath>
#include <thread>
#include <vector>

#include "estimation.h"
#include "estimation_kernels.h"
#include "estimation_log.h"
#include "estimation_steps.h"

namespace kelvo {

detail::KernelMatrix detail::InverseForKernels(const TableSet& ts) {
    const int m = ts.ParameterCount;
    KernelMatrix inverse(m);
    for (int i = 0; i < m; ++i) std::copy_n(ts.InverseMatrix.row(i + 1) + 1, m, inverse.row(i));
    return inverse;
}

bool detail::UseTwoThreads(int m) {
    return m >= ParametersForTwoThreads && std::thread::hardware_concurrency() > 1;
}

void detail::WriteCoefficientsLog(const TableSet& ts, OutputFile& log) {
    WriteLogMatrix(log, ts.ParameterCount, ts.DependentCategoryCount, 12, 6,
                   [&](int r) { return ts.Coefficients[r].data() + 1; });
    log.Close();
}

void detail::StandardErrorsFromVariances(TableSet& ts, const std::vector<double>& v) {
    const int dependent = ts.DependentVariable;
    for (int d = 1; d <= ts.DependentCategoryCount; ++d) {
        // The variance of the indicator of category d (its total variance).
        const double p = static_cast<double>(ts.MarginalTotals[dependent][d]) / ts.TotalCount;
        const double w = (1.0 - p) * p;
        for (int i = 1; i <= ts.ParameterCount; ++i) {
            double x = v[static_cast<std::size_t>(i) - 1] * w;
            if (x < 0) x = 0;  // rounding can leave a tiny negative variance
            ts.StandardErrors[i][d] = 100.0 * std::sqrt(x);
        }
    }
}

void ComputeCoefficients(TableSet& ts, OutputFile& log) {
    const int D = ts.DependentCategoryCount;
    // Coefficients(p, d) = sum over q = 1..m of InverseMatrix(p, q) RightHandSides(q, d)
    detail::MultiplySymmetric(detail::CurrentIsa(), detail::InverseForKernels(ts), ts.RightHandSides.row(1) + 1,
                              static_cast<std::size_t>(D) + 1, D, ts.Coefficients[1].data() + 1,
                              ts.Coefficients[1].size());
    detail::WriteCoefficientsLog(ts, log);
}

void ComputeStandardErrors(TableSet& ts) {
    const int m = ts.ParameterCount;
    // V(i) = sum over j = 1..m, then k = 1..m, of
    //        (InverseMatrix(i, j) CrossProducts(j, k)) InverseMatrix(k, i):
    // the diagonal of M X'X M, one running sum per i over the (j, k) pairs in
    // that order. InverseMatrix is exactly symmetric (Step 3 of the inversion
    // writes both halves from one sum).
    std::vector<double> v(static_cast<std::size_t>(m), 0.0);
    detail::SandwichDiagonal(detail::CurrentIsa(), detail::InverseForKernels(ts), ts.CrossProducts.row(1) + 1,
                             static_cast<std::size_t>(m) + 1, v.data(), detail::UseTwoThreads(m) ? 2 : 1);
    detail::StandardErrorsFromVariances(ts, v);
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
