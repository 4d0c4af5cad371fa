// Inversion of the constrained cross-product matrix: Cholesky factor L, its
// inverse W = L^-1, and the inverse W'W; then X'X is put back.
//
// Every sum below adds its terms in one prescribed order (increasing index),
// starting from 0 or from the matrix entry. The loops are arranged so that
// several independent sums advance side by side (which lets the compiler use
// vector instructions), but each single sum still receives its terms one by
// one in exactly that order, so the results are the same to the last bit as
// those of the plain element-by-element loops.
#include <cmath>
#include <vector>

#include "estimation.h"

namespace kelvo {

namespace {

// Whether the pivot `s` of a row whose constrained diagonal entry is
// `diagonal` shows the matrix to be singular (NaN counts as singular).
bool SingularPivot(double s, double diagonal) {
    return !(s > AbsolutePivotThreshold) || !(s > RelativePivotThreshold * diagonal);
}

}  // namespace

void InvertMatrix(TableSet& ts, WarningSink& warnings, OutputFile& log) {
    const int m = ts.ParameterCount;
    Matrix& a = ts.CrossProducts;  // constrained lower triangle in; W, then X'X out
    Matrix& inverse = ts.InverseMatrix;
    if (inverse.rows() != m || inverse.columns() != m) inverse.resize(m, m);
    const auto width = static_cast<std::size_t>(m) + 1;

    // Step 1: L L' = A, row by row, into the lower triangle of InverseMatrix.
    //   L(i, j) = (A(i, j) - sum over k = 1..j-1 of L(i, k) L(j, k)) / L(j, j)
    //   L(i, i) = sqrt(A(i, i) - sum over k = 1..i-1 of L(i, k) L(i, k))
    // The sums of one row advance together: once L(i, k) is known, its term is
    // subtracted from every later sum of the row. `columns` holds L by columns
    // (columns[k][j] = L(j, k)) so that those terms lie side by side.
    std::vector<double> columns(width * width, 0.0);
    std::vector<double> sums(width, 0.0);
    for (int i = 1; i <= m; ++i) {
        ts.EstimationError = 0;
        double* s = sums.data();
        const double* ai = a.row(i);
        double* li = inverse.row(i);
        for (int j = 1; j <= i; ++j) s[j] = ai[j];
        for (int k = 1; k < i; ++k) {
            const double lik = s[k] / inverse(k, k);
            li[k] = lik;
            double* ck = columns.data() + static_cast<std::size_t>(k) * width;
            ck[i] = lik;
            for (int j = k + 1; j <= i; ++j) s[j] -= lik * ck[j];
        }
        if (SingularPivot(s[i], ai[i])) {
            warnings.ShowWarning(SingularMatrixWarning);
            ts.EstimationError = 1;
            log.WriteLine();
            log.Close();
            return;
        }
        li[i] = std::sqrt(s[i]);
        columns[static_cast<std::size_t>(i) * width + i] = li[i];
    }

    // Step 2: W = L^-1 into the lower triangle of CrossProducts.
    //   W(i, i) = 1 / L(i, i)
    //   W(i, j) = -(sum over k = j..i-1 of L(i, k) W(k, j)) / L(i, i)
    // For row i the sums of all j advance together over k.
    for (int i = 1; i <= m; ++i) {
        double* s = sums.data();
        const double* li = inverse.row(i);
        for (int j = 1; j < i; ++j) s[j] = 0.0;
        for (int k = 1; k < i; ++k) {
            const double lik = li[k];
            const double* wk = a.row(k);
            for (int j = 1; j <= k; ++j) s[j] += lik * wk[j];
        }
        double* wi = a.row(i);
        const double lii = li[i];
        for (int j = 1; j < i; ++j) wi[j] = -s[j] / lii;
        wi[i] = 1.0 / lii;
    }

    // Step 3: InverseMatrix = W'W, symmetric.
    //   InverseMatrix(i, j) = sum over k = i..m of W(k, i) W(k, j), j <= i
    // The factor L is no longer needed and is overwritten.
    for (int i = 1; i <= m; ++i) {
        double* s = sums.data();
        for (int j = 1; j <= i; ++j) s[j] = 0.0;
        for (int k = i; k <= m; ++k) {
            const double* wk = a.row(k);
            const double wki = wk[i];
            for (int j = 1; j <= i; ++j) s[j] += wki * wk[j];
        }
        for (int j = 1; j <= i; ++j) {
            inverse(i, j) = s[j];
            inverse(j, i) = s[j];
        }
    }

    // Step 4: X'X again. Nothing above the diagonal was changed since the
    // matrix was built, and the plain diagonal was kept aside.
    for (int i = 1; i <= m; ++i) {
        a(i, i) = ts.DiagonalCopy[i];
        for (int j = 1; j < i; ++j) a(i, j) = a(j, i);
    }
}

}  // namespace kelvo
