// The arithmetic of the estimation's large steps (the inversion, the
// coefficients and the variances), used only inside the estimation.
//
// Every result is a running sum that receives its terms one by one in the
// prescribed order, each product and each sum rounded to double as the
// single operation it stands for. The speed comes from working on many such
// sums at once: each sum lives in one lane of a vector register, and a lane
// computes exactly what a plain loop computes (IEEE 754 operations are the
// same in every lane and every instruction set; the build forbids fused
// multiply-add). So the results are the same to the last bit whatever the
// processor, and whichever instruction set below runs.
#pragma once

#include <atomic>
#include <cstddef>
#include <vector>

namespace kelvo::detail {

// The instruction sets the kernels are built for. Baseline runs everywhere.
enum class Isa { Baseline, Avx2, Avx512 };

// Those that this processor can run, the baseline first, the fastest last.
std::vector<Isa> SupportedIsas();

// The one the estimation uses: the fastest, unless a ScopedIsa chose another.
Isa CurrentIsa();

// Makes the estimation use `isa` while the object lives (for tests that check
// every instruction set). Not for use while an estimation runs.
class ScopedIsa {
public:
    explicit ScopedIsa(Isa isa);
    ~ScopedIsa();
    ScopedIsa(const ScopedIsa&) = delete;
    ScopedIsa& operator=(const ScopedIsa&) = delete;

private:
    int m_previous;
};

// A square matrix for the kernels: rows and columns numbered from 0, every
// row padded with zeros to a multiple of 32 columns and the rows to a
// multiple of 32, so that whole vectors never leave it.
//
// Their storage is kept for the next estimation when they go (a few
// buffers): the system would otherwise hand large blocks back and forth,
// and every page of them would be faulted in again on each run.
class KernelMatrix {
public:
    // Zeros: every entry 0. Unset: entries unspecified, for a matrix whose
    // readers only read what is written first.
    enum class Fill { Zeros, Unset };
    explicit KernelMatrix(int size, Fill fill = Fill::Zeros);
    ~KernelMatrix();
    KernelMatrix(KernelMatrix&& other) noexcept = default;
    KernelMatrix& operator=(KernelMatrix&& other) noexcept = default;
    int size() const { return m_size; }
    std::size_t stride() const { return m_stride; }
    double* row(int i) { return m_data.data() + static_cast<std::size_t>(i) * m_stride; }
    const double* row(int i) const { return m_data.data() + static_cast<std::size_t>(i) * m_stride; }
    double& operator()(int i, int j) { return row(i)[j]; }
    double operator()(int i, int j) const { return row(i)[j]; }

private:
    int m_size;
    std::size_t m_stride;
    std::vector<double> m_data;
};

// Whether the pivot of a row shows the matrix to be singular, given the
// row's diagonal entry.
using SingularPivotTest = bool (*)(double pivot, double diagonal);

// The Cholesky factor L of the symmetric matrix A whose lower triangle and
// diagonal are a[i * aStride + j] (j <= i < n):
//   L(i, j) = (A(i, j) - sum over k = 0..j-1 of L(i, k) L(j, k)) / L(j, j)
//   L(i, i) = sqrt(A(i, i) - sum over k = 0..i-1 of L(i, k) L(i, k)),
// each sum subtracting its terms in that order. The result is stored
// transposed: lt(k, i) = L(i, k); everything else in `lt` stays 0. Returns
// -1, or the first row i whose pivot `singular` rejects: then rows 0..i-1
// and L(i, 0..i-1) are filled and the rest of row i's column is not.
int FactorCholesky(Isa isa, const double* a, std::size_t aStride, int n, KernelMatrix& lt, SingularPivotTest singular);

// W = L^-1 from lt as FactorCholesky leaves it (every pivot accepted):
//   W(i, i) = 1 / L(i, i)
//   W(i, j) = -(sum over k = j..i-1 of L(i, k) W(k, j)) / L(i, i), j < i,
// each sum from 0 in increasing k. `w` must be all zeros; its entries above
// the diagonal stay 0.
void InvertFactor(Isa isa, const KernelMatrix& lt, KernelMatrix& w);

// The symmetric product W'W of w (lower triangular, 0 above the diagonal):
//   out(i, j) = out(j, i) = sum over k = i..n-1 of W(k, i) W(k, j), j <= i,
// each sum from 0 in increasing k, written to out[i * outStride + j].
void MultiplyTransposeByItself(Isa isa, const KernelMatrix& w, double* out, std::size_t outStride);

// out(p, d) = sum over q = 0..n-1 of S(p, q) R(q, d), each sum from 0 in
// increasing q, for p < n, d < columns, with S = `symmetric` (exactly
// symmetric: S(p, q) is read as S(q, p)) and R(q, d) = r[q * rStride + d];
// written to out[p * outStride + d].
void MultiplySymmetric(Isa isa, const KernelMatrix& symmetric, const double* r, std::size_t rStride, int columns,
                       double* out, std::size_t outStride);

// The diagonal of S X S for S = `symmetric` (exactly symmetric) and
// X(j, k) = x[j * xStride + k]:
//   v[i] = sum over j = 0..n-1 (outer), k = 0..n-1 (inner) of (S(i, j) X(j, k)) S(k, i),
// one sum per i from 0, each term multiplied left to right. The sums come in
// blocks of neighbouring i that threads can share: each block's sums are
// done by one thread alone, in the same order whichever it is.
class SandwichSums {
public:
    // Keeps references to `symmetric` and `x`, which must outlive it.
    SandwichSums(Isa isa, const KernelMatrix& symmetric, const double* x, std::size_t xStride);
    int blocks() const { return m_blocks; }
    // The sums of one block, into v[i] for the block's i below n.
    void Compute(int block, double* v) const;
    // Takes blocks from `next` on (shared with other threads) until none is left.
    void ComputeShared(std::atomic<int>& next, double* v) const;

private:
    using Block = void (*)(const KernelMatrix&, const double*, std::size_t, const int*, const std::size_t*, int,
                           double*);
    const KernelMatrix& m_symmetric;
    const double* m_x;
    std::size_t m_xStride;
    Block m_block;
    int m_blocks = 0;
    std::vector<int> m_columns;        // the k of each term kept, row j after row j
    std::vector<std::size_t> m_start;  // row j's terms are m_columns[m_start[j]..m_start[j + 1])
};

// All the sums of SandwichSums into v[0..n-1], shared among `threads` threads.
void SandwichDiagonal(Isa isa, const KernelMatrix& symmetric, const double* x, std::size_t xStride, double* v,
                      int threads);

}  // namespace kelvo::detail
