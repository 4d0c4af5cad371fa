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

detail::KernelMatrix detail::InverseForKernels(const EstimationArrays& est) {
    const int m = est.ParameterCount;
    KernelMatrix inverse(m);
    for (int i = 0; i < m; ++i) std::copy_n(est.InverseMatrix.row(i + 1) + 1, m, inverse.row(i));
    return inverse;
}

bool detail::UseTwoThreads(int m) {
    return m >= ParametersForTwoThreads && std::thread::hardware_concurrency() > 1;
}

void detail::WriteCoefficientsLog(const EstimationArrays& est, OutputFile& log) {
    WriteLogMatrix(log, est.ParameterCount, est.DependentCategoryCount, 12, 6,
                   [&](int r) { return est.Coefficients[r].data() + 1; });
    log.Close();
}

void detail::StandardErrorsFromVariances(const ModelSelection& model, EstimationArrays& est,
                                         const std::vector<double>& v) {
    const int dependent = model.DependentVariable;
    for (int d = 1; d <= est.DependentCategoryCount; ++d) {
        // The variance of the indicator of category d (its total variance).
        const double p = static_cast<double>(est.MarginalTotals[dependent][d]) / est.TotalCount;
        const double w = (1.0 - p) * p;
        for (int i = 1; i <= est.ParameterCount; ++i) {
            double x = v[static_cast<std::size_t>(i) - 1] * w;
            if (x < 0) x = 0;  // rounding can leave a tiny negative variance
            est.StandardErrors[i][d] = 100.0 * std::sqrt(x);
        }
    }
}

void ComputeCoefficients(EstimationArrays& est, OutputFile& log) {
    const int D = est.DependentCategoryCount;
    // Coefficients(p, d) = sum over q = 1..m of InverseMatrix(p, q) RightHandSides(q, d)
    detail::MultiplySymmetric(detail::CurrentIsa(), detail::InverseForKernels(est), est.RightHandSides.row(1) + 1,
                              static_cast<std::size_t>(D) + 1, D, est.Coefficients[1].data() + 1,
                              est.Coefficients[1].size());
    detail::WriteCoefficientsLog(est, log);
}

void ComputeStandardErrors(const ModelSelection& model, EstimationArrays& est) {
    const int m = est.ParameterCount;
    // V(i) = sum over j = 1..m, then k = 1..m, of
    //        (InverseMatrix(i, j) CrossProducts(j, k)) InverseMatrix(k, i):
    // the diagonal of M X'X M, one running sum per i over the (j, k) pairs in
    // that order. InverseMatrix is exactly symmetric (Step 3 of the inversion
    // writes both halves from one sum).
    std::vector<double> v(static_cast<std::size_t>(m), 0.0);
    detail::SandwichDiagonal(detail::CurrentIsa(), detail::InverseForKernels(est), est.CrossProducts.row(1) + 1,
                             static_cast<std::size_t>(m) + 1, v.data(), detail::UseTwoThreads(m) ? 2 : 1);
    detail::StandardErrorsFromVariances(model, est, v);
}

void ComputePredictionRange(const InputSide& in, const ModelSelection& model, EstimationArrays& est) {
    for (int d = 1; d <= est.DependentCategoryCount; ++d) {
        double low = est.Coefficients[1][d];
        double high = low;
        for (int t = 1; t <= model.PredictorCount; ++t) {
            const int a = model.PredictorList[t];
            const int s = BlockStart(in, model, t);
            double smallest = est.Coefficients[s + 1][d];
            double largest = smallest;
            for (int k = 2; k <= in.CategoryCounts[a]; ++k) {
                const double value = est.Coefficients[s + k][d];
                if (value < smallest) smallest = value;
                if (value > largest) largest = value;
            }
            low += smallest;
            high += largest;
        }
        est.MinimumPrediction[d] = 100.0 * low;
        est.MaximumPrediction[d] = 100.0 * high;
    }
}

}  // namespace kelvo
