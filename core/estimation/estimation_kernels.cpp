#include "estimation_kernels.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <mutex>
#include <system_error>
#include <thread>

// Reordered or fused sums would change the results' bits.
#ifdef __FAST_MATH__
#error "the estimation must be built without -ffast-math"
#endif

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define KELVO_KERNELS_AVX2 1
#endif

namespace kelvo::detail {

namespace {

// ---- Vectors ----
//
// Two or four doubles side by side (the compiler's vector extension): every
// operation works lane by lane with the rounding of the scalar operation.
// The *Unaligned types read and write them anywhere in an array of doubles.
typedef double Double2 __attribute__((vector_size(16)));
typedef double Double2Unaligned __attribute__((vector_size(16), aligned(8), may_alias));
typedef double Double4 __attribute__((vector_size(32)));
typedef double Double4Unaligned __attribute__((vector_size(32), aligned(8), may_alias));
typedef double Double8 __attribute__((vector_size(64)));
typedef double Double8Unaligned __attribute__((vector_size(64), aligned(8), may_alias));

template <class V>
struct Lanes;
template <>
struct Lanes<Double2> {
    static constexpr int count = 2;
    using Unaligned = Double2Unaligned;
};
template <>
struct Lanes<Double4> {
    static constexpr int count = 4;
    using Unaligned = Double4Unaligned;
};
template <>
struct Lanes<Double8> {
    static constexpr int count = 8;
    using Unaligned = Double8Unaligned;
};

// The vector of doubles from p on. (References, not values: a function that
// takes or returns a 32-byte vector would need a calling convention that the
// baseline instruction set lacks.)
template <class V>
[[gnu::always_inline]] inline const typename Lanes<V>::Unaligned& At(const double* p) {
    return *reinterpret_cast<const typename Lanes<V>::Unaligned*>(p);
}
template <class V>
[[gnu::always_inline]] inline typename Lanes<V>::Unaligned& At(double* p) {
    return *reinterpret_cast<typename Lanes<V>::Unaligned*>(p);
}

// Every kernel works on tiles of 8 rows.
constexpr int TileRows = 8;

// The inner loop of every kernel: for r = 0..7 and k = k0..k1-1 in that
// order, sum r (a vector of sums over neighbouring columns) gets the term
// a[k * aStep + r] x (the vector at b + k * bStep), added, or subtracted when
// Subtract. Each of the 8 x Lanes sums receives its terms one by one in
// increasing k.
template <class V, bool Subtract>
[[gnu::always_inline]] inline void UpdateTile(V (&sums)[TileRows], const double* a, std::size_t aStep,
                                              const double* b, std::size_t bStep, int k0, int k1) {
    for (int k = k0; k < k1; ++k) {
        const V column = At<V>(b + static_cast<std::size_t>(k) * bStep);
        const double* ak = a + static_cast<std::size_t>(k) * aStep;
        for (int r = 0; r < TileRows; ++r) {
            if constexpr (Subtract) sums[r] -= ak[r] * column;
            else sums[r] += ak[r] * column;
        }
    }
}

template <class V>
[[gnu::always_inline]] inline void LanesOf(const V& vector, double (&lanes)[Lanes<V>::count]) {
    std::memcpy(lanes, &vector, sizeof lanes);
}

// The inner loop of the factorisation, with the sums of a tile lying the
// other way: sums[c][h] is a vector of the sums of rows 8 h / Lanes.. of
// column c, and for k = k0..k1-1 in that order each gets the term
// (the vector at a + k * aStep + h Lanes) x b[k * bStep + c], subtracted.
template <class V, int Columns>
[[gnu::always_inline]] inline void SubtractTileByRows(V (&sums)[Columns][TileRows / Lanes<V>::count], const double* a,
                                                      std::size_t aStep, const double* b, std::size_t bStep, int k0,
                                                      int k1) {
    constexpr int W = Lanes<V>::count;
    for (int k = k0; k < k1; ++k) {
        const double* ak = a + static_cast<std::size_t>(k) * aStep;
        V rows[TileRows / W];
        for (int h = 0; h < TileRows / W; ++h) rows[h] = At<V>(ak + h * W);
        const double* bk = b + static_cast<std::size_t>(k) * bStep;
        for (int c = 0; c < Columns; ++c)
            for (int h = 0; h < TileRows / W; ++h) sums[c][h] -= rows[h] * bk[c];
    }
}

// ---- Cholesky factor ----
//
// Rows are done in blocks of 8. For a block, the columns left of it come in
// tiles of 4: the sums of the 8 rows x 4 columns start from A and first
// subtract the terms of all columns k before the tile, side by side (each
// vector holding neighbouring rows of one column); then the terms of the
// tile's own earlier columns, column after column, each finished column
// L(i0.., j) being divided by L(j, j) before the next one needs it. The
// block's own columns (its diagonal part) take the terms of the columns
// before the block in the same way, then row by row, in row order, the rest
// of each sum and the pivot. So every sum gets its terms in increasing k,
// and the first singular row is found first.
//
// lt holds L transposed (lt(k, i) = L(i, k)): the entries L(i0.., k) of a
// block's rows for one k are neighbours, and so are L(j0.., k) of a tile.
constexpr int FactorTileColumns = 4;

template <class V>
[[gnu::always_inline]] inline int FactorCholeskyBody(const double* a, std::size_t aStride, int n, KernelMatrix& lt,
                                                     SingularPivotTest singular) {
    constexpr int W = Lanes<V>::count;
    constexpr int C = FactorTileColumns;
    constexpr int H = TileRows / W;
    const std::size_t S = lt.stride();
    double* t = lt.row(0);  // t[k * S + i] = L(i, k)
    for (int i0 = 0; i0 < n; i0 += TileRows) {
        const int rows = std::min(TileRows, n - i0);
        for (int j0 = 0; j0 < i0; j0 += C) {
            V sums[C][H];
            for (int c = 0; c < C; ++c) {
                double start[TileRows] = {};
                for (int r = 0; r < rows; ++r) start[r] = a[static_cast<std::size_t>(i0 + r) * aStride + j0 + c];
                std::memcpy(sums[c], start, sizeof start);
            }
            SubtractTileByRows<V, C>(sums, t + i0, S, t + j0, S, 0, j0);
            for (int c = 0; c < C; ++c) {
                const int j = j0 + c;
                for (int c2 = 0; c2 < c; ++c2) {
                    const double ljk = t[(j0 + c2) * S + j];
                    for (int h = 0; h < H; ++h) sums[c][h] -= At<V>(t + (j0 + c2) * S + i0 + h * W) * ljk;
                }
                const double ljj = t[j * S + j];
                for (int h = 0; h < H; ++h) At<V>(t + j * S + i0 + h * W) = sums[c][h] / ljj;
            }
        }
        // The diagonal part: columns i0..i0+7, of which row i needs those up
        // to i (the others start from 0 and are not used).
        double s[TileRows][TileRows];  // [column][row]
        for (int c0 = 0; c0 < TileRows; c0 += C) {
            V sums[C][H];
            for (int c = 0; c < C; ++c) {
                double start[TileRows] = {};
                for (int r = c0 + c; r < rows; ++r)
                    start[r] = a[static_cast<std::size_t>(i0 + r) * aStride + i0 + c0 + c];
                std::memcpy(sums[c], start, sizeof start);
            }
            SubtractTileByRows<V, C>(sums, t + i0, S, t + i0 + c0, S, 0, i0);
            for (int c = 0; c < C; ++c) std::memcpy(s[c0 + c], sums[c], sizeof s[0]);
        }
        for (int r = 0; r < rows; ++r) {
            const int i = i0 + r;
            for (int c = 0; c < r; ++c) {
                const int j = i0 + c;
                double x = s[c][r];
                for (int k = i0; k < j; ++k) x = x - t[k * S + i] * t[k * S + j];
                t[j * S + i] = x / t[j * S + j];
            }
            double x = s[r][r];
            for (int k = i0; k < i; ++k) x = x - t[k * S + i] * t[k * S + i];
            if (singular(x, a[static_cast<std::size_t>(i) * aStride + i])) return i;
            t[i * S + i] = std::sqrt(x);
        }
    }
    return -1;
}

// ---- Inverse of the factor ----
//
// Rows in blocks of 8 again, the columns left of a block in tiles of one
// vector's width: the sums of the 8 rows start from 0 and take the terms of
// the rows k before the block side by side, from the tile's first column on
// (W(k, j) is 0 for k < j, and adding a product with 0 to a sum that is not
// -0 leaves it unchanged, so these extra leading terms change no bit; a sum
// that starts from +0 never becomes -0). Then, row by row, the terms of the
// block's earlier rows, which are finished by then; the tiles of one row do
// not depend on one another and go one after the other. The diagonal part
// works row by row on the block's columns.
template <class V>
[[gnu::always_inline]] inline void InvertFactorBody(const KernelMatrix& lt, KernelMatrix& w) {
    constexpr int W = Lanes<V>::count;
    const int n = lt.size();
    const std::size_t S = lt.stride();
    const double* t = lt.row(0);
    double* wr = w.row(0);  // wr[i * S + j] = W(i, j)
    std::vector<double> partial(static_cast<std::size_t>(S) * TileRows);  // [row][column] of a block
    for (int i0 = 0; i0 < n; i0 += TileRows) {
        const int rows = std::min(TileRows, n - i0);
        for (int j0 = 0; j0 < i0; j0 += W) {
            V sums[TileRows] = {};
            UpdateTile<V, false>(sums, t + i0, S, wr + j0, S, j0, i0);
            for (int r = 0; r < TileRows; ++r) At<V>(partial.data() + r * S + j0) = sums[r];
        }
        for (int r = 0; r < rows; ++r) {
            const int i = i0 + r;
            const double lii = t[i * S + i];
            for (int j0 = 0; j0 < i0; j0 += W) {
                V x = At<V>(partial.data() + r * S + j0);
                for (int q = 0; q < r; ++q) x += t[(i0 + q) * S + i] * At<V>(wr + (i0 + q) * S + j0);
                const V entries = -x / lii;
                At<V>(wr + i * S + j0) = entries;
            }
            for (int c0 = 0; c0 < r; c0 += W) {
                V x = {};
                for (int q = 0; q < r; ++q) x += t[(i0 + q) * S + i] * At<V>(wr + (i0 + q) * S + i0 + c0);
                double s[W];
                LanesOf(x, s);
                for (int c = 0; c < W && c0 + c < r; ++c) wr[i * S + i0 + c0 + c] = -s[c] / lii;
            }
            wr[i * S + i] = 1.0 / lii;
        }
    }
}

// ---- W'W ----
//
// Tiles of 8 rows i by one vector's width of columns j, for the tiles that
// hold some j <= i: 8 x Lanes sums side by side over k from the block's first
// row on (W(k, i) is 0 for k < i: leading terms that change no bit, as in
// the inverse of the factor).
template <class V>
[[gnu::always_inline]] inline void MultiplyTransposeByItselfBody(const KernelMatrix& w, double* out,
                                                                 std::size_t outStride) {
    constexpr int W = Lanes<V>::count;
    const int n = w.size();
    const std::size_t S = w.stride();
    const double* wr = w.row(0);
    for (int i0 = 0; i0 < n; i0 += TileRows) {
        const int rows = std::min(TileRows, n - i0);
        for (int j0 = 0; j0 < i0 + rows; j0 += W) {
            V sums[TileRows] = {};
            UpdateTile<V, false>(sums, wr + i0, S, wr + j0, S, i0, n);
            for (int r = 0; r < rows; ++r) {
                const int i = i0 + r;
                double s[W];
                LanesOf(sums[r], s);
                for (int c = 0; c < W && j0 + c <= i; ++c) {
                    const int j = j0 + c;
                    out[static_cast<std::size_t>(i) * outStride + j] = s[c];
                    out[static_cast<std::size_t>(j) * outStride + i] = s[c];
                }
            }
        }
    }
}

// ---- S R ----
//
// Tiles of 8 rows p by one vector's width of columns d, over a copy of R
// padded with zero columns; S(p, q) for the 8 rows is row q of S.
template <class V>
[[gnu::always_inline]] inline void MultiplySymmetricBody(const KernelMatrix& symmetric, const double* r,
                                                         std::size_t rStride, int columns, double* out,
                                                         std::size_t outStride) {
    constexpr int W = Lanes<V>::count;
    const int n = symmetric.size();
    const std::size_t S = symmetric.stride();
    const std::size_t padded = static_cast<std::size_t>((columns + W - 1) / W * W);
    std::vector<double> right(static_cast<std::size_t>(n) * padded, 0.0);
    for (int q = 0; q < n; ++q)
        std::copy(r + static_cast<std::size_t>(q) * rStride, r + static_cast<std::size_t>(q) * rStride + columns,
                  right.begin() + static_cast<std::ptrdiff_t>(q * padded));
    for (int p0 = 0; p0 < n; p0 += TileRows) {
        const int rows = std::min(TileRows, n - p0);
        for (int d0 = 0; d0 < columns; d0 += W) {
            V sums[TileRows] = {};
            UpdateTile<V, false>(sums, symmetric.row(0) + p0, S, right.data() + d0, padded, 0, n);
            for (int row = 0; row < rows; ++row) {
                double s[W];
                LanesOf(sums[row], s);
                for (int c = 0; c < W && d0 + c < columns; ++c)
                    out[static_cast<std::size_t>(p0 + row) * outStride + d0 + c] = s[c];
            }
        }
    }
}

// ---- diag(S X S) ----
//
// The terms of row j of X that are 0: with every entry of S finite, the term
// (S(i, j) 0) S(k, i) is +0 or -0, and adding it to a sum that is not -0
// changes no bit (a sum that starts from +0 never becomes -0). Those terms
// are skipped; any other entry of S (infinite, not a number) keeps them all.
void KeepTerms(const KernelMatrix& symmetric, const double* x, std::size_t xStride, std::vector<int>& columns,
               std::vector<std::size_t>& start) {
    const auto n = static_cast<std::size_t>(symmetric.size());
    // Every finite entry e has e - e == 0; infinities and NaN give NaN.
    unsigned notFinite = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const double* row = symmetric.row(static_cast<int>(i));
        for (std::size_t j = 0; j < n; ++j) notFinite |= row[j] - row[j] == 0 ? 0U : 1U;
    }
    const bool finite = notFinite == 0;
    start.resize(n + 1);
    columns.resize(n * n);
    std::size_t kept = 0;
    for (std::size_t j = 0; j < n; ++j) {
        start[j] = kept;
        const double* xj = x + j * xStride;
        for (std::size_t k = 0; k < n; ++k) {
            columns[kept] = static_cast<int>(k);
            kept += !finite || xj[k] != 0 ? 1 : 0;
        }
    }
    start[n] = kept;
    columns.resize(kept);
}

// The sums of one block: Vectors vectors of neighbouring i, from
// i0 = Vectors x Lanes x block on. For each j, S(i, j) of the block is row
// j of S; for each kept k, the term's two products go lane by lane over the
// block, in the order (S(i, j) X(j, k)) S(k, i).
constexpr int SandwichVectors = 4;

template <class V, int Vectors>
[[gnu::always_inline]] inline void SandwichBlockBody(const KernelMatrix& symmetric, const double* x,
                                                     std::size_t xStride, const int* columns,
                                                     const std::size_t* start, int block, double* v) {
    constexpr int W = Lanes<V>::count;
    constexpr int BlockWidth = Vectors * W;
    const int n = symmetric.size();
    const int i0 = block * BlockWidth;
    V sums[Vectors] = {};
    for (int j = 0; j < n; ++j) {
        const double* sj = symmetric.row(j) + i0;
        V left[Vectors];
        for (int q = 0; q < Vectors; ++q) left[q] = At<V>(sj + q * W);
        const double* xj = x + static_cast<std::size_t>(j) * xStride;
        for (std::size_t term = start[j]; term < start[j + 1]; ++term) {
            const int k = columns[term];
            const double xjk = xj[k];
            const double* sk = symmetric.row(k) + i0;
            for (int q = 0; q < Vectors; ++q) sums[q] += (left[q] * xjk) * At<V>(sk + q * W);
        }
    }
    double s[BlockWidth];
    std::memcpy(s, sums, sizeof s);
    for (int c = 0; c < BlockWidth && i0 + c < n; ++c) v[i0 + c] = s[c];
}

// ---- The kernels for each instruction set ----

int FactorCholeskyBaseline(const double* a, std::size_t aStride, int n, KernelMatrix& lt, SingularPivotTest singular) {
    return FactorCholeskyBody<Double2>(a, aStride, n, lt, singular);
}
void InvertFactorBaseline(const KernelMatrix& lt, KernelMatrix& w) { InvertFactorBody<Double2>(lt, w); }
void MultiplyTransposeByItselfBaseline(const KernelMatrix& w, double* out, std::size_t outStride) {
    MultiplyTransposeByItselfBody<Double2>(w, out, outStride);
}
void MultiplySymmetricBaseline(const KernelMatrix& symmetric, const double* r, std::size_t rStride, int columns,
                               double* out, std::size_t outStride) {
    MultiplySymmetricBody<Double2>(symmetric, r, rStride, columns, out, outStride);
}
void SandwichBlockBaseline(const KernelMatrix& symmetric, const double* x, std::size_t xStride, const int* columns,
                           const std::size_t* start, int block, double* v) {
    SandwichBlockBody<Double2, SandwichVectors>(symmetric, x, xStride, columns, start, block, v);
}

#ifdef KELVO_KERNELS_AVX2
[[gnu::target("avx2")]] int FactorCholeskyAvx2(const double* a, std::size_t aStride, int n, KernelMatrix& lt,
                                               SingularPivotTest singular) {
    return FactorCholeskyBody<Double4>(a, aStride, n, lt, singular);
}
[[gnu::target("avx2")]] void InvertFactorAvx2(const KernelMatrix& lt, KernelMatrix& w) {
    InvertFactorBody<Double4>(lt, w);
}
[[gnu::target("avx2")]] void MultiplyTransposeByItselfAvx2(const KernelMatrix& w, double* out,
                                                           std::size_t outStride) {
    MultiplyTransposeByItselfBody<Double4>(w, out, outStride);
}
[[gnu::target("avx2")]] void MultiplySymmetricAvx2(const KernelMatrix& symmetric, const double* r,
                                                   std::size_t rStride, int columns, double* out,
                                                   std::size_t outStride) {
    MultiplySymmetricBody<Double4>(symmetric, r, rStride, columns, out, outStride);
}
[[gnu::target("avx2")]] void SandwichBlockAvx2(const KernelMatrix& symmetric, const double* x, std::size_t xStride,
                                               const int* columns, const std::size_t* start, int block, double* v) {
    SandwichBlockBody<Double4, SandwichVectors>(symmetric, x, xStride, columns, start, block, v);
}

[[gnu::target("avx512f")]] int FactorCholeskyAvx512(const double* a, std::size_t aStride, int n, KernelMatrix& lt,
                                                    SingularPivotTest singular) {
    return FactorCholeskyBody<Double8>(a, aStride, n, lt, singular);
}
[[gnu::target("avx512f")]] void InvertFactorAvx512(const KernelMatrix& lt, KernelMatrix& w) {
    InvertFactorBody<Double8>(lt, w);
}
[[gnu::target("avx512f")]] void MultiplyTransposeByItselfAvx512(const KernelMatrix& w, double* out,
                                                                std::size_t outStride) {
    MultiplyTransposeByItselfBody<Double8>(w, out, outStride);
}
[[gnu::target("avx512f")]] void MultiplySymmetricAvx512(const KernelMatrix& symmetric, const double* r,
                                                        std::size_t rStride, int columns, double* out,
                                                        std::size_t outStride) {
    MultiplySymmetricBody<Double8>(symmetric, r, rStride, columns, out, outStride);
}
[[gnu::target("avx512f")]] void SandwichBlockAvx512(const KernelMatrix& symmetric, const double* x,
                                                    std::size_t xStride, const int* columns,
                                                    const std::size_t* start, int block, double* v) {
    SandwichBlockBody<Double8, SandwichVectors>(symmetric, x, xStride, columns, start, block, v);
}
#endif

Isa FastestIsa() {
#ifdef KELVO_KERNELS_AVX2
    if (__builtin_cpu_supports("avx512f")) return Isa::Avx512;
    if (__builtin_cpu_supports("avx2")) return Isa::Avx2;
#endif
    return Isa::Baseline;
}

// The instruction set a ScopedIsa chose, or -1.
int g_chosenIsa = -1;

}  // namespace

std::vector<Isa> SupportedIsas() {
    std::vector<Isa> isas = {Isa::Baseline};
    if (FastestIsa() >= Isa::Avx2) isas.push_back(Isa::Avx2);
    if (FastestIsa() >= Isa::Avx512) isas.push_back(Isa::Avx512);
    return isas;
}

Isa CurrentIsa() {
    static const Isa fastest = FastestIsa();
    return g_chosenIsa < 0 ? fastest : static_cast<Isa>(g_chosenIsa);
}

ScopedIsa::ScopedIsa(Isa isa) : m_previous(g_chosenIsa) { g_chosenIsa = static_cast<int>(isa); }
ScopedIsa::~ScopedIsa() { g_chosenIsa = m_previous; }

namespace {

// The buffers of KernelMatrix objects that went, for the next ones.
class BufferPool {
public:
    // A buffer of `size` doubles, zeros when `zeros`.
    std::vector<double> Take(std::size_t size, bool zeros) {
        std::vector<double> buffer;
        {
            const std::lock_guard lock(m_mutex);
            for (auto it = m_free.begin(); it != m_free.end(); ++it)
                if (it->capacity() >= size) {
                    buffer = std::move(*it);
                    m_free.erase(it);
                    break;
                }
        }
        if (zeros) buffer.assign(size, 0.0);
        else buffer.resize(size);
        return buffer;
    }
    void Give(std::vector<double>&& buffer) {
        if (buffer.capacity() == 0) return;
        const std::lock_guard lock(m_mutex);
        if (m_free.size() < MaxBuffers) m_free.push_back(std::move(buffer));
    }

private:
    // Enough for the matrices of one estimation.
    static constexpr std::size_t MaxBuffers = 8;
    std::mutex m_mutex;
    std::vector<std::vector<double>> m_free;
};

BufferPool& Buffers() {
    static BufferPool pool;
    return pool;
}

}  // namespace

KernelMatrix::KernelMatrix(int size, Fill fill)
    : m_size(size), m_stride(static_cast<std::size_t>((std::max(size, 1) + 31) / 32 * 32)),
      m_data(Buffers().Take(m_stride * m_stride, fill == Fill::Zeros)) {}

KernelMatrix::~KernelMatrix() { Buffers().Give(std::move(m_data)); }

int FactorCholesky(Isa isa, const double* a, std::size_t aStride, int n, KernelMatrix& lt,
                   SingularPivotTest singular) {
#ifdef KELVO_KERNELS_AVX2
    if (isa == Isa::Avx512) return FactorCholeskyAvx512(a, aStride, n, lt, singular);
    if (isa == Isa::Avx2) return FactorCholeskyAvx2(a, aStride, n, lt, singular);
#endif
    (void)isa;
    return FactorCholeskyBaseline(a, aStride, n, lt, singular);
}

void InvertFactor(Isa isa, const KernelMatrix& lt, KernelMatrix& w) {
#ifdef KELVO_KERNELS_AVX2
    if (isa == Isa::Avx512) return InvertFactorAvx512(lt, w);
    if (isa == Isa::Avx2) return InvertFactorAvx2(lt, w);
#endif
    (void)isa;
    InvertFactorBaseline(lt, w);
}

void MultiplyTransposeByItself(Isa isa, const KernelMatrix& w, double* out, std::size_t outStride) {
#ifdef KELVO_KERNELS_AVX2
    if (isa == Isa::Avx512) return MultiplyTransposeByItselfAvx512(w, out, outStride);
    if (isa == Isa::Avx2) return MultiplyTransposeByItselfAvx2(w, out, outStride);
#endif
    (void)isa;
    MultiplyTransposeByItselfBaseline(w, out, outStride);
}

void MultiplySymmetric(Isa isa, const KernelMatrix& symmetric, const double* r, std::size_t rStride, int columns,
                       double* out, std::size_t outStride) {
#ifdef KELVO_KERNELS_AVX2
    if (isa == Isa::Avx512) return MultiplySymmetricAvx512(symmetric, r, rStride, columns, out, outStride);
    if (isa == Isa::Avx2) return MultiplySymmetricAvx2(symmetric, r, rStride, columns, out, outStride);
#endif
    (void)isa;
    MultiplySymmetricBaseline(symmetric, r, rStride, columns, out, outStride);
}

SandwichSums::SandwichSums(Isa isa, const KernelMatrix& symmetric, const double* x, std::size_t xStride)
    : m_symmetric(symmetric), m_x(x), m_xStride(xStride), m_block(SandwichBlockBaseline) {
#ifdef KELVO_KERNELS_AVX2
    if (isa == Isa::Avx2) m_block = SandwichBlockAvx2;
    if (isa == Isa::Avx512) m_block = SandwichBlockAvx512;
#endif
    const int width = SandwichVectors * (isa == Isa::Avx512 ? 8 : isa == Isa::Avx2 ? 4 : 2);
    m_blocks = (symmetric.size() + width - 1) / width;
    KeepTerms(symmetric, x, xStride, m_columns, m_start);
}

void SandwichSums::Compute(int block, double* v) const {
    m_block(m_symmetric, m_x, m_xStride, m_columns.data(), m_start.data(), block, v);
}

void SandwichSums::ComputeShared(std::atomic<int>& next, double* v) const {
    for (int block = next++; block < m_blocks; block = next++) Compute(block, v);
}

void SandwichDiagonal(Isa isa, const KernelMatrix& symmetric, const double* x, std::size_t xStride, double* v,
                      int threads) {
    const SandwichSums sums(isa, symmetric, x, xStride);
    std::atomic<int> next = 0;
    if (threads > 1 && sums.blocks() > 1) {
        try {
            std::jthread helper([&] { sums.ComputeShared(next, v); });
            sums.ComputeShared(next, v);
            return;  // the helper is joined here
        } catch (const std::system_error&) {
            // No thread to be had: the rest is done here.
        }
    }
    sums.ComputeShared(next, v);
}

}  // namespace kelvo::detail
