// Parts of the estimation's operations, for the run that shares the work
// with a helper thread (estimation_run.cpp). Used only inside the estimation.
#pragma once

#include <string>
#include <vector>

#include "estimation.h"
#include "estimation_kernels.h"

namespace kelvo::detail {

// Why the stored selection cannot be estimated, or an empty text when it can
// (the desktop program shows the text in its error box).
std::string SelectionProblem(const TableSet& ts);

// From this many parameters on, a second thread is worth its start.
inline constexpr int ParametersForTwoThreads = 128;

// Whether this process may use a second thread for a model of m parameters.
bool UseTwoThreads(int m);

// BuildRightHandSides without the log.
void FillRightHandSides(TableSet& ts);

// BuildCrossProducts without its log block: CrossProducts = X'X, and its
// diagonal in DiagonalCopy.
void FillCrossProducts(TableSet& ts);

// The text of a log block, kept for the next block: the rows, each followed
// by CR LF, then the empty line; row r (from 1) starts at starts[r - 1], and
// starts[rows] is where the empty line starts.
// Its text buffer is kept for the next estimation when it goes (the
// allocator would hand a block this large back to the system, and its pages
// would be faulted in again).
struct LogRows {
    LogRows();
    ~LogRows();
    LogRows(const LogRows&) = delete;
    LogRows& operator=(const LogRows&) = delete;
    std::string text;
    std::vector<std::size_t> starts;
};

// BuildCrossProducts' log block (CrossProducts as built), keeping its text
// in `rows`.
void WriteCrossProductsLog(const TableSet& ts, OutputFile& log, LogRows& rows);

// AddIdentifyingConstraints without its log block.
void AddConstraints(TableSet& ts);

// AddIdentifyingConstraints' log block, the same bytes, with the texts of
// the entries the constraints left alone taken from block 2 (`plain`).
void WriteConstrainedLog(const TableSet& ts, OutputFile& log, const LogRows& plain);

// Calls add(i, j, n(k) x n(k')) for every identifying constraint, in the
// order AddIdentifyingConstraints adds them: for each predictor, parameter
// i = s + k and j = s + k' with k' <= k, the product formed in double.
template <class Add>
void ForEachIdentifyingConstraint(const TableSet& ts, Add add) {
    for (int t = 1; t <= ts.PredictorCount; ++t) {
        const int a = ts.PredictorList[t];
        const int s = BlockStart(ts, t);
        const auto& n = ts.MarginalTotals[a];
        for (int k = 1; k <= ts.CategoryCounts[a]; ++k)
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
void StopAtSingularRow(TableSet& ts, const KernelMatrix& factor, int singularRow, WarningSink& warnings,
                       OutputFile* log);

// Step 4 of InvertMatrix: CrossProducts is X'X again.
void RestoreCrossProducts(TableSet& ts);

// InverseMatrix (from 1) into the kernels' storage (from 0).
KernelMatrix InverseForKernels(const TableSet& ts);

// Coefficients (already computed) into log block 4; closes the log.
void WriteCoefficientsLog(const TableSet& ts, OutputFile& log);

// StandardErrors from V(i) = v[i - 1], the diagonal of M X'X M.
void StandardErrorsFromVariances(TableSet& ts, const std::vector<double>& v);

}  // namespace kelvo::detail
