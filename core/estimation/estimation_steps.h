// Parts of the estimation's operations, for the run that shares the work
// with a helper thread (estimation_run.cpp). Used only inside the estimation.
#pragma once

#include <string>
#include <vector>

#include "estimation.h"
#include "estimation_kernels.h"

namespace kelvo::detail {

// From this many parameters on, a second thread is worth its start.
inline constexpr int ParametersForTwoThreads = 128;

// Whether this process may use a second thread for a model of m parameters.
bool UseTwoThreads(int m);

// BuildRightHandSides without the log.
void FillRightHandSides(const InputSide& in, const ModelSelection& model, EstimationArrays& est);

// BuildCrossProducts without its log block: CrossProducts = X'X, and its
// diagonal in DiagonalCopy.
void FillCrossProducts(const InputSide& in, const ModelSelection& model, EstimationArrays& est);

// The text of a log block, kept for the next block: the rows, each followed
// by CR LF, then the empty line; row r (from 1) starts at starts[r - 1], and
// starts[rows] is where the empty line starts.
// Its text buffer is taken from `kept` and handed back there when it goes,
// for the next estimation (the allocator would hand a block this large back
// to the system, and its pages would be faulted in again).
struct LogRows {
    explicit LogRows(std::string& kept);
    ~LogRows();
    LogRows(const LogRows&) = delete;
    LogRows& operator=(const LogRows&) = delete;
    std::string text;
    std::vector<std::size_t> starts;

private:
    std::string& m_kept;
};

// BuildCrossProducts' log block (CrossProducts as built), keeping its text
// in `rows`.
void WriteCrossProductsLog(const EstimationArrays& est, OutputFile& log, LogRows& rows);

// AddIdentifyingConstraints without its log block.
void AddConstraints(const InputSide& in, const ModelSelection& model, EstimationArrays& est);

// AddIdentifyingConstraints' log block, the same bytes, with the texts of
// the entries the constraints left alone taken from block 2 (`plain`).
void WriteConstrainedLog(const InputSide& in, const ModelSelection& model, const EstimationArrays& est, OutputFile& log,
                         const LogRows& plain);

// Calls add(i, j, n(k) x n(k')) for every identifying constraint, in the
// order AddIdentifyingConstraints adds them: for each predictor, parameter
// i = s + k and j = s + k' with k' <= k, the product formed in double.
template <class Add>
void ForEachIdentifyingConstraint(const InputSide& in, const ModelSelection& model, const EstimationArrays& est, Add add) {
    for (int t = 1; t <= model.PredictorCount; ++t) {
        const int a = model.PredictorList[t];
        const int s = BlockStart(in, model, t);
        const auto& n = est.MarginalTotals[a];
        for (int k = 1; k <= in.CategoryCounts[a]; ++k)
            for (int k2 = 1; k2 <= k; ++k2) add(s + k, s + k2, static_cast<double>(n[k]) * static_cast<double>(n[k2]));
    }
}

// Whether the pivot `s` of a row whose constrained diagonal entry is
// `diagonal` shows the matrix to be singular (NaN counts as singular).
bool SingularPivot(double s, double diagonal);

// The end of InvertMatrix when row `singularRow` (from 0) was singular:
// InverseMatrix gets the factor as far as the row-by-row factorisation got
// (from `factor`, transposed as FactorCholesky leaves it), then the warning,
// EstimationError = 1, and when there is a log its last empty line and its
// closing.
void StopAtSingularRow(EstimationArrays& est, const KernelMatrix& factor, int singularRow, WarningSink& warnings,
                       OutputFile* log);

// Step 4 of InvertMatrix: CrossProducts is X'X again.
void RestoreCrossProducts(EstimationArrays& est);

// InverseMatrix (from 1) into the kernels' storage (from 0).
KernelMatrix InverseForKernels(const EstimationArrays& est);

// Coefficients (already computed) into log block 4; closes the log.
void WriteCoefficientsLog(const EstimationArrays& est, OutputFile& log);

// StandardErrors from V(i) = v[i - 1], the diagonal of M X'X M.
void StandardErrorsFromVariances(const ModelSelection& model, EstimationArrays& est, const std::vector<double>& v);

}  // namespace kelvo::detail
