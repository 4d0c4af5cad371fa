// Inversion of the constrained cross-product matrix: Cholesky factor L, its
// inverse W = L^-1, and the inverse W'W; then X'X is put back.
//
// Every sum adds its terms in one prescribed order (increasing index),
// starting from 0 or from the matrix entry. The kernels (estimation_kernels)
// work on many independent sums at once, each of them still receiving its
// terms one by one in exactly that order, so the results are the same to
// the last bit as those of the plain element-by-element loops.
#include "estimation.h"
#include "estimation_kernels.h"
#include "estimation_steps.h"

namespace kelvo {

bool detail::SingularPivot(double s, double diagonal) {
    return !(s > AbsolutePivotThreshold) || !(s > RelativePivotThreshold * diagonal);
}

void detail::StopAtSingularRow(EstimationArrays& est, const KernelMatrix& factor, int singularRow,
                               WarningSink& warnings,
                               OutputFile* log) {
    const int m = est.ParameterCount;
    if (est.InverseMatrix.rows() != m || est.InverseMatrix.columns() != m) est.InverseMatrix.resize(m, m);
    // The rows before the singular one, and that row's entries left of the
    // diagonal.
    for (int i = 0; i <= singularRow; ++i)
        for (int j = 0; j < (i < singularRow ? i + 1 : i); ++j) est.InverseMatrix(i + 1, j + 1) = factor(j, i);
    warnings.ShowWarning(SingularMatrixWarning);
    est.EstimationError = 1;
    if (log != nullptr) {
        log->WriteLine();
        log->Close();
    }
}

void detail::RestoreCrossProducts(EstimationArrays& est) {
    // Nothing above the diagonal was changed since the matrix was built, and
    // the plain diagonal was kept aside. (L and W live in the kernels' own
    // storage, not in the lower triangle.)
    Matrix& a = est.CrossProducts;
    for (int i = 1; i <= est.ParameterCount; ++i) {
        a(i, i) = est.DiagonalCopy[i];
        for (int j = 1; j < i; ++j) a(i, j) = a(j, i);
    }
}

void InvertMatrix(EstimationArrays& est, WarningSink& warnings, OutputFile& log) {
    const int m = est.ParameterCount;
    const Matrix& a = est.CrossProducts;  // constrained lower triangle in, X'X out
    Matrix& inverse = est.InverseMatrix;
    if (inverse.rows() != m || inverse.columns() != m) inverse.resize(m, m);
    const detail::Isa isa = detail::CurrentIsa();
    // Element (i, j) of these from 1 is element (i - 1, j - 1) from 0 there.
    const double* constrained = a.row(1) + 1;
    double* inverseFrom0 = inverse.row(1) + 1;
    const auto stride = static_cast<std::size_t>(m) + 1;

    // Step 1: L L' = A, row by row (rows before a singular one stay valid).
    //   L(i, j) = (A(i, j) - sum over k = 1..j-1 of L(i, k) L(j, k)) / L(j, j)
    //   L(i, i) = sqrt(A(i, i) - sum over k = 1..i-1 of L(i, k) L(i, k))
    detail::KernelMatrix factor(m);  // transposed: factor(k, i) = L(i, k)
    const int singularRow = detail::FactorCholesky(isa, constrained, stride, m, factor, detail::SingularPivot);
    if (singularRow >= 0) {
        detail::StopAtSingularRow(est, factor, singularRow, warnings, &log);
        return;
    }
    est.EstimationError = 0;

    // Step 2: W = L^-1.
    //   W(i, i) = 1 / L(i, i)
    //   W(i, j) = -(sum over k = j..i-1 of L(i, k) W(k, j)) / L(i, i)
    detail::KernelMatrix inverseFactor(m);
    detail::InvertFactor(isa, factor, inverseFactor);

    // Step 3: InverseMatrix = W'W, symmetric.
    //   InverseMatrix(i, j) = sum over k = i..m of W(k, i) W(k, j), j <= i
    detail::MultiplyTransposeByItself(isa, inverseFactor, inverseFrom0, stride);

    // Step 4: X'X again.
    detail::RestoreCrossProducts(est);
}

}  // namespace kelvo
