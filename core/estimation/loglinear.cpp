#include "loglinear.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>

#include "estimation_kernels.h"

namespace kelvo::detail {

namespace {

constexpr double MinusInfinity = -std::numeric_limits<double>::infinity();

void CheckStop(const std::stop_token& stop) {
    if (stop.stop_requested()) throw FitStopped{};
}

// The sum of n doubles: halves down to blocks of 64, each added in four
// running sums, so that no sum collects more than a few dozen terms.
double Sum(const double* x, std::int64_t n) {
    if (n <= 64) {
        double s0 = 0, s1 = 0, s2 = 0, s3 = 0;
        std::int64_t i = 0;
        for (; i + 4 <= n; i += 4) {
            s0 += x[i];
            s1 += x[i + 1];
            s2 += x[i + 2];
            s3 += x[i + 3];
        }
        for (; i < n; ++i) s0 += x[i];
        return (s0 + s1) + (s2 + s3);
    }
    const std::int64_t half = n / 2;
    return Sum(x, half) + Sum(x + half, n - half);
}

void VariablesOfSlot(int slot, int& v, int& w) {
    w = 1;
    while (PairSlot(0, w + 1) <= slot) ++w;
    v = slot - PairSlot(0, w);
}

}  // namespace

JointLayout::JointLayout(const std::vector<int>& categoryCounts) : variables(static_cast<int>(categoryCounts.size())) {
    suffix[static_cast<std::size_t>(variables)] = 1;
    for (int v = variables - 1; v >= 0; --v) {
        categories[v] = categoryCounts[static_cast<std::size_t>(v)];
        strides[v] = suffix[v + 1];
        suffix[v] = suffix[v + 1] * categories[v];
    }
    cells = suffix[0];
}

// ---- Margins ----
//
// The margin of a set of variables P is the table summed over every other
// variable. They come from one expansion: a node holds the table summed over
// the variables before `next` that are not kept, as [kept][next..V-1]; its
// margin is the sum over its last axes, and its children keep one more
// variable x >= next, each from its predecessor summed over one variable, so
// that every reduction halves or better the table it reads.

Margins::Margins(const JointLayout& layout)
    : m_layout(layout),
      m_offset(std::size_t{1} << layout.variables, -1),
      m_wanted(std::size_t{1} << layout.variables, 0) {}

void Margins::Require(unsigned mask) {
    if (m_offset[mask] >= 0) return;
    std::int64_t size = 1;
    for (unsigned m = mask; m; m &= m - 1) size *= m_layout.categories[std::countr_zero(m)];
    m_offset[mask] = static_cast<std::int64_t>(m_values.size());
    m_values.resize(m_values.size() + static_cast<std::size_t>(size));
    // The expansion reaches a set through the sets of its first variables.
    unsigned prefix = 0;
    m_wanted[0] = 1;
    for (unsigned m = mask; m; m &= m - 1) {
        prefix |= m & (~m + 1);
        m_wanted[prefix] = 1;
    }
}

void Margins::Compute(const double* table, const std::stop_token& stop) {
    Expand(table, 0, 0, 0, 1, stop);
}

double Margins::At(unsigned mask, const int* category) const {
    std::int64_t index = 0;
    for (unsigned m = mask; m; m &= m - 1) {
        const int v = std::countr_zero(m);
        index = index * m_layout.categories[v] + category[v];
    }
    return m_values[static_cast<std::size_t>(m_offset[mask] + index)];
}

std::size_t Margins::WorkingSize() const {
    std::size_t size = m_values.size();
    for (const auto& buffer : m_buffers) size += buffer.size();
    return size;
}

void Margins::Expand(const double* node, unsigned kept, int count, int next, std::int64_t keptCells,
                     const std::stop_token& stop) {
    const int V = m_layout.variables;
    const std::int64_t rest = m_layout.suffix[next];
    if (m_offset[kept] >= 0) {
        double* out = m_values.data() + m_offset[kept];
        for (std::int64_t p = 0; p < keptCells; ++p) out[p] = Sum(node + p * rest, rest);
    }
    if (count == 4) return;
    int last = -1;
    for (int x = next; x < V; ++x)
        if (m_wanted[kept | 1u << x]) last = x;
    std::vector<double>& buffer = m_buffers[static_cast<std::size_t>(count)];
    const double* t = node;  // [kept][x..V-1]
    for (int x = next; x <= last; ++x) {
        if (x > next) {
            // Sum over variable x - 1. In place after the first time: every
            // result lies at or before the cells it is summed from.
            const int K = m_layout.categories[x - 1];
            const std::int64_t inner = m_layout.suffix[x];
            if (t == node && buffer.size() < static_cast<std::size_t>(keptCells * inner))
                buffer.resize(static_cast<std::size_t>(keptCells * inner));
            double* out = buffer.data();
            for (std::int64_t p = 0; p < keptCells; ++p) {
                const double* in = t + p * K * inner;
                double* o = out + p * inner;
                for (std::int64_t r = 0; r < inner; ++r) o[r] = in[r];
                for (int k = 1; k < K; ++k) {
                    const double* from = in + k * inner;
                    for (std::int64_t r = 0; r < inner; ++r) o[r] += from[r];
                }
            }
            t = out;
        }
        if (count <= 1) CheckStop(stop);
        if (m_wanted[kept | 1u << x])
            Expand(t, kept | 1u << x, count + 1, x + 1, keptCells * m_layout.categories[x], stop);
    }
}

// ---- The fitted table ----

namespace {

class Filler {
public:
    Filler(const JointLayout& layout, const LogLinearTerms& terms, double* table)
        : m_layout(layout), m_terms(terms), m_table(table) {
        for (int k = 0; k < layout.variables; ++k) {
            m_sums[k].resize(static_cast<std::size_t>(layout.categories[k]));
            for (int u = 0; u < k; ++u)
                if (!terms.pair[PairSlot(u, k)].empty()) m_lower[k].push_back(u);
        }
    }
    void Level(int k, double eta, std::int64_t base) {
        const int K = m_layout.categories[k];
        double* g = m_sums[k].data();
        const double* main = m_terms.main[k].data();
        for (int x = 0; x < K; ++x) g[x] = main[x];
        for (const int u : m_lower[k]) {
            const double* row = m_terms.pair[PairSlot(u, k)].data() + m_digit[u] * K;
            for (int x = 0; x < K; ++x) g[x] += row[x];
        }
        if (k == m_layout.variables - 1) {
            double* out = m_table + base;
            for (int x = 0; x < K; ++x) out[x] = std::exp(eta + g[x]);
            return;
        }
        const std::int64_t stride = m_layout.strides[k];
        for (int x = 0; x < K; ++x) {
            const double e = eta + g[x];
            if (e == MinusInfinity) {
                std::fill_n(m_table + base + x * stride, stride, 0.0);
                continue;
            }
            m_digit[k] = x;
            Level(k + 1, e, base + x * stride);
        }
    }

private:
    const JointLayout& m_layout;
    const LogLinearTerms& m_terms;
    double* m_table;
    std::array<int, MaxVariables> m_digit{};
    std::array<std::vector<int>, MaxVariables> m_lower;
    std::array<std::vector<double>, MaxVariables> m_sums;
};

}  // namespace

void FillTable(const JointLayout& layout, const LogLinearTerms& terms, double* table) {
    if (layout.variables == 0) return;
    Filler(layout, terms, table).Level(0, terms.constant, 0);
}

// ---- The fit ----

double LoglinearFit::Parameter(const Column& column) const {
    for (std::size_t i = 0; i < columns.size(); ++i) {
        const Column& c = columns[i];
        if (c.v == column.v && c.w == column.w && c.a == column.a && c.b == column.b)
            return inBasis[i] && std::isfinite(theta[i]) ? theta[i] : 0.0;
    }
    return 0.0;
}

namespace {

// A pivot of the information matrix that shows it to be singular.
bool InformationSingular(double pivot, double diagonal) {
    return !(pivot > 1e-15 * diagonal) || !(pivot > 0.0);
}

// A pivot of the counts of the structurally possible cells that shows the
// column to depend on those before it.
bool SupportDependent(double pivot, double diagonal) {
    return !(pivot > 1e-9 * diagonal);
}

// Whether a multiple of a column takes part in a dependency.
constexpr double DependencyCoefficient = 1e-6;

// The categories of the cell of the margin that two columns share; false
// when they ask for different categories of one variable.
bool Combine(const Column& a, const Column& b, std::array<int, MaxVariables>& category) {
    unsigned taken = 0;
    const auto set = [&category, &taken](int v, int c) {
        if (v < 0) return true;
        if (taken & 1u << v) return category[v] == c;
        category[v] = c;
        return true;
    };
    set(a.v, a.a);
    set(a.w, a.b);
    taken = a.Mask();
    return set(b.v, b.a) && set(b.w, b.b);
}

// Every margin that the information matrix of `which` (columns of
// `columns`) reads.
void RequireUnions(Margins& margins, const std::vector<Column>& columns, const std::vector<int>& which) {
    for (std::size_t i = 0; i < which.size(); ++i)
        for (std::size_t j = 0; j <= i; ++j)
            margins.Require(columns[static_cast<std::size_t>(which[i])].Mask() |
                            columns[static_cast<std::size_t>(which[j])].Mask());
}

// The information matrix X'diag(m)X of the columns `which` (its lower
// triangle, n x n with stride n), from the margins of m: the entry of two
// columns is the fitted count of the cells where both are 1.
void Information(const Margins& margins, const std::vector<Column>& columns, const std::vector<int>& which,
                 std::vector<double>& h) {
    const std::size_t n = which.size();
    h.assign(n * n, 0.0);
    std::array<int, MaxVariables> category{};
    for (std::size_t i = 0; i < n; ++i) {
        const Column& ci = columns[static_cast<std::size_t>(which[i])];
        for (std::size_t j = 0; j <= i; ++j) {
            const Column& cj = columns[static_cast<std::size_t>(which[j])];
            if (Combine(ci, cj, category)) h[i * n + j] = margins.At(ci.Mask() | cj.Mask(), category.data());
        }
    }
}

// The information matrix of the columns `which` at the fitted table `table`:
// the margins it reads, summed from the table, then the matrix.
std::vector<double> InformationAt(const JointLayout& layout, const double* table, const std::vector<Column>& columns,
                                  const std::vector<int>& which, const std::stop_token& stop) {
    Margins margins(layout);
    RequireUnions(margins, columns, which);
    margins.Compute(table, stop);
    std::vector<double> h;
    Information(margins, columns, which, h);
    return h;
}

class Fitter {
public:
    Fitter(const LoglinearModel& model, double* table) : m_model(model), m_layout(model.layout), m_table(table) {
        BuildColumns();
        BuildZeros();
    }

    LoglinearFit Run(const FitControl& control, const LoglinearFit* start) {
        if (m_anyZero) FindDependencies(control.stop);
        Basis();
        RequireMargins();
        StartAt(start);
        Iterate(control);
        // Where the likelihood has its maximum only at infinity (the tables
        // leave some combinations without cases although no pair-table cell
        // is empty), the fit drives those cells towards 0 and the
        // parameters that lead there without bound. The maximum is then the
        // table with those cells 0: fitted again on the others, where the
        // parameters that only led there depend on the rest and are not
        // estimable.
        if (MarkVanishedCells()) {
            m_fit.boundary = true;
            m_fit.converged = false;
            m_fit.estimable.assign(m_fit.columns.size(), 1);
            m_fit.inBasis.assign(m_fit.columns.size(), 0);
            m_dependent.assign(m_fit.columns.size(), 0);
            for (std::size_t i = 0; i < m_fit.columns.size(); ++i)
                if (!(m_fit.observed[i] > 0)) m_dependent[i] = m_fit.estimable[i] = 0;
            m_basis.clear();
            FindDependencies(control.stop);
            Basis();
            StartAt(start);
            Iterate(control);
        }
        m_fit.terms = Terms(m_theta);
        m_fit.theta.assign(m_fit.columns.size(), 0.0);
        for (std::size_t i = 0; i < m_basis.size(); ++i) m_fit.theta[static_cast<std::size_t>(m_basis[i])] = m_theta[i];
        return std::move(m_fit);
    }

private:
    void BuildColumns() {
        const auto& K = m_layout.categories;
        std::vector<Column>& columns = m_fit.columns;
        std::vector<double>& observed = m_fit.observed;
        columns.push_back({});
        observed.push_back(m_model.total);
        for (int v = 0; v < m_layout.variables; ++v)
            for (int a = 1; a < K[v]; ++a) {
                columns.push_back({v, -1, a, 0});
                observed.push_back(m_model.observedMain[v][static_cast<std::size_t>(a)]);
            }
        for (const int slot : m_model.pairs) {
            int v = 0, w = 0;
            VariablesOfSlot(slot, v, w);
            for (int a = 1; a < K[v]; ++a)
                for (int b = 1; b < K[w]; ++b) {
                    columns.push_back({v, w, a, b});
                    const int cell = a * K[w] + b;
                    observed.push_back(m_model.observedPair[slot][static_cast<std::size_t>(cell)]);
                }
        }
        m_fit.estimable.assign(columns.size(), 1);
        m_fit.inBasis.assign(columns.size(), 0);
        m_dependent.assign(columns.size(), 0);
        for (std::size_t i = 0; i < columns.size(); ++i)
            if (!(observed[i] > 0)) {
                m_fit.estimable[i] = 0;
                m_dependent[i] = 1;  // it vanishes on every cell that can have cases
            }
    }

    // The structural zeros: -infinity in the terms of every observed margin
    // cell without cases.
    void BuildZeros() {
        const auto& K = m_layout.categories;
        for (int v = 0; v < m_layout.variables; ++v) {
            auto& main = m_zeros.main[v];
            main.assign(static_cast<std::size_t>(K[v]), 0.0);
            for (int a = 0; a < K[v]; ++a)
                if (!(m_model.observedMain[v][static_cast<std::size_t>(a)] > 0)) {
                    main[static_cast<std::size_t>(a)] = MinusInfinity;
                    m_anyZero = true;
                }
        }
        for (const int slot : m_model.pairs) {
            const auto& observed = m_model.observedPair[slot];
            auto& pair = m_zeros.pair[slot];
            pair.assign(observed.size(), 0.0);
            for (std::size_t c = 0; c < observed.size(); ++c)
                if (!(observed[c] > 0)) {
                    pair[c] = MinusInfinity;
                    m_anyZero = true;
                }
        }
    }

    // The cells of a converged fit that it drove to (nearly) 0 without a
    // margin cell that forces them there, kept as zeros from now on: true
    // when there are any.
    bool MarkVanishedCells() {
        if (!m_fit.converged) return false;
        // Far below any count the data can support, far above rounding.
        const double vanished = 1e-11 * m_model.total;
        const std::int64_t cells = m_layout.cells;
        bool any = false;
        for (std::int64_t c = 0; c < cells && !any; ++c) any = m_table[c] > 0 && m_table[c] < vanished;
        if (!any) return false;
        m_support.assign(static_cast<std::size_t>(cells), 1);
        for (std::int64_t c = 0; c < cells; ++c)
            if (m_table[c] < vanished) m_support[static_cast<std::size_t>(c)] = 0;
        return true;
    }

    void Fill(const LogLinearTerms& terms) {
        FillTable(m_layout, terms, m_table);
        if (m_support.empty()) return;
        for (std::size_t c = 0; c < m_support.size(); ++c)
            if (!m_support[c]) m_table[c] = 0;
    }

    // Columns that depend on earlier ones on the cells that can have cases,
    // and those that take part in such a dependency: neither is estimable.
    void FindDependencies(const std::stop_token& stop) {
        Fill(m_zeros);  // 1 on every possible cell
        std::vector<int> candidates;
        for (std::size_t i = 0; i < m_fit.columns.size(); ++i)
            if (!m_dependent[i]) candidates.push_back(static_cast<int>(i));
        std::vector<double> g = InformationAt(m_layout, m_table, m_fit.columns, candidates, stop);
        const int n = static_cast<int>(candidates.size());
        {
            KernelMatrix lt(n);
            if (FactorCholesky(CurrentIsa(), g.data(), static_cast<std::size_t>(n), n, lt, SupportDependent) < 0)
                return;
        }
        // Column by column: a column is kept when it is independent of those
        // kept before it; otherwise it is x_k = sum of a_j x_j over the kept
        // ones, and every kept j with a_j != 0 is no more estimable than k.
        std::vector<int> kept;
        std::vector<std::vector<double>> rows;  // the factor's rows of the kept columns
        std::vector<double> l;
        for (int k = 0; k < n; ++k) {
            CheckStop(stop);
            const std::size_t r = kept.size();
            l.assign(r, 0.0);
            for (std::size_t i = 0; i < r; ++i) {
                const int ki = kept[i];
                double x = ki > k ? g[static_cast<std::size_t>(ki) * n + k] : g[static_cast<std::size_t>(k) * n + ki];
                for (std::size_t j = 0; j < i; ++j) x -= rows[i][j] * l[j];
                l[i] = x / rows[i][i];
            }
            double pivot = g[static_cast<std::size_t>(k) * n + k];
            for (std::size_t i = 0; i < r; ++i) pivot -= l[i] * l[i];
            if (!SupportDependent(pivot, g[static_cast<std::size_t>(k) * n + k])) {
                l.push_back(std::sqrt(pivot));
                rows.push_back(l);
                kept.push_back(k);
                continue;
            }
            const auto column = static_cast<std::size_t>(candidates[static_cast<std::size_t>(k)]);
            m_dependent[column] = 1;
            m_fit.estimable[column] = 0;
            // a = L'^-1 l
            for (std::size_t i = r; i-- > 0;) {
                double x = l[i];
                for (std::size_t j = i + 1; j < r; ++j) x -= rows[j][i] * l[j];
                l[i] = x / rows[i][i];
                if (std::fabs(l[i]) > DependencyCoefficient)
                    m_fit.estimable[static_cast<std::size_t>(candidates[static_cast<std::size_t>(kept[i])])] = 0;
            }
        }
    }

    void Basis() {
        for (std::size_t i = 0; i < m_fit.columns.size(); ++i)
            if (!m_dependent[i]) {
                m_basis.push_back(static_cast<int>(i));
                m_fit.inBasis[i] = 1;
            }
    }

    void RequireMargins() {
        RequireUnions(m_margins, m_fit.columns, m_basis);
        m_margins.Require(0);
        for (int v = 0; v < m_layout.variables; ++v) m_margins.Require(1u << v);
        for (const int slot : m_model.pairs) {
            int v = 0, w = 0;
            VariablesOfSlot(slot, v, w);
            m_margins.Require(1u << v | 1u << w);
        }
    }

    // The terms of the table of parameters theta (over the basis).
    LogLinearTerms Terms(const std::vector<double>& theta) const {
        LogLinearTerms terms = m_zeros;
        const auto& K = m_layout.categories;
        for (std::size_t i = 0; i < m_basis.size(); ++i) {
            const Column& c = m_fit.columns[static_cast<std::size_t>(m_basis[i])];
            if (c.v < 0)
                terms.constant = theta[i];
            else if (c.w < 0)
                terms.main[c.v][static_cast<std::size_t>(c.a)] += theta[i];
            else {
                const int cell = c.a * K[c.w] + c.b;
                terms.pair[PairSlot(c.v, c.w)][static_cast<std::size_t>(cell)] += theta[i];
            }
        }
        return terms;
    }

    // From `start` where it has the parameter, otherwise the table of
    // independence: N times the product of the variables' proportions.
    void StartAt(const LoglinearFit* start) {
        m_theta.assign(m_basis.size(), 0.0);
        if (start != nullptr) {
            for (std::size_t i = 0; i < m_basis.size(); ++i)
                m_theta[i] = start->Parameter(m_fit.columns[static_cast<std::size_t>(m_basis[i])]);
            return;
        }
        const double N = m_model.total;
        double constant = std::log(N);
        std::array<double, MaxVariables> base{};
        for (int v = 0; v < m_layout.variables; ++v) {
            const double n0 = m_model.observedMain[v][0];
            base[v] = n0 > 0 ? std::log(n0 / N) : 0.0;
            constant += base[v];
        }
        for (std::size_t i = 0; i < m_basis.size(); ++i) {
            const Column& c = m_fit.columns[static_cast<std::size_t>(m_basis[i])];
            if (c.v < 0)
                m_theta[i] = constant;
            else if (c.w < 0)
                m_theta[i] = std::log(m_model.observedMain[c.v][static_cast<std::size_t>(c.a)] / N) - base[c.v];
        }
    }

    // The table of theta, its margins, and the log-likelihood (up to a
    // constant): T'theta - sum of m. False when the table overflows.
    bool Evaluate(const std::vector<double>& theta, const std::stop_token& stop, double& logLikelihood) {
        Fill(Terms(theta));
        m_margins.Compute(m_table, stop);
        const double fitted = *m_margins.Of(0);
        if (!std::isfinite(fitted)) return false;
        logLikelihood = LinearPart(theta) - fitted;
        return true;
    }

    double LinearPart(const std::vector<double>& theta) const {
        double s = 0;
        for (std::size_t i = 0; i < m_basis.size(); ++i)
            s += m_fit.observed[static_cast<std::size_t>(m_basis[i])] * theta[i];
        return s;
    }
    double LinearMagnitude(const std::vector<double>& theta) const {
        double s = m_model.total;
        for (std::size_t i = 0; i < m_basis.size(); ++i)
            s += std::fabs(m_fit.observed[static_cast<std::size_t>(m_basis[i])] * theta[i]);
        return s;
    }

    // The largest difference between a fitted and an observed margin cell,
    // relative to N.
    double MarginError() const {
        const double N = m_model.total;
        double worst = std::fabs(*m_margins.Of(0) - N);
        for (int v = 0; v < m_layout.variables; ++v) {
            const double* fitted = m_margins.Of(1u << v);
            const auto& observed = m_model.observedMain[v];
            for (std::size_t a = 0; a < observed.size(); ++a) worst = std::max(worst, std::fabs(fitted[a] - observed[a]));
        }
        for (const int slot : m_model.pairs) {
            int v = 0, w = 0;
            VariablesOfSlot(slot, v, w);
            const double* fitted = m_margins.Of(1u << v | 1u << w);
            const auto& observed = m_model.observedPair[slot];
            for (std::size_t c = 0; c < observed.size(); ++c) worst = std::max(worst, std::fabs(fitted[c] - observed[c]));
        }
        return std::isfinite(worst) ? worst / N : std::numeric_limits<double>::infinity();
    }

    // Newton's direction at the current margins: I delta = T - M.
    std::vector<double> Direction(std::vector<double>& gradient) {
        const int n = static_cast<int>(m_basis.size());
        std::array<int, MaxVariables> category{};
        gradient.assign(m_basis.size(), 0.0);
        for (std::size_t i = 0; i < m_basis.size(); ++i) {
            const Column& c = m_fit.columns[static_cast<std::size_t>(m_basis[i])];
            if (c.v >= 0) category[c.v] = c.a;
            if (c.w >= 0) category[c.w] = c.b;
            gradient[i] = m_fit.observed[static_cast<std::size_t>(m_basis[i])] - m_margins.At(c.Mask(), category.data());
        }
        std::vector<double> h;
        Information(m_margins, m_fit.columns, m_basis, h);
        KernelMatrix lt(n);
        // A matrix that rounding leaves singular is made definite by a small
        // ridge; the step is then shorter, never wrong in direction.
        double ridge = 0;
        while (FactorCholesky(CurrentIsa(), h.data(), static_cast<std::size_t>(n), n, lt, InformationSingular) >= 0) {
            ridge = ridge == 0 ? 1e-12 : ridge * 100;
            if (ridge > 1) return {};
            for (int i = 0; i < n; ++i) h[static_cast<std::size_t>(i) * n + i] *= 1 + ridge;
        }
        return Solve(lt, gradient);
    }

    static std::vector<double> Solve(const KernelMatrix& lt, std::vector<double> x) {
        const int n = lt.size();
        for (int k = 0; k < n; ++k) {  // L y = x
            const double* row = lt.row(k);  // row[i] = L(i, k)
            x[static_cast<std::size_t>(k)] /= row[k];
            const double y = x[static_cast<std::size_t>(k)];
            for (int i = k + 1; i < n; ++i) x[static_cast<std::size_t>(i)] -= row[i] * y;
        }
        for (int i = n; i-- > 0;) {  // L' delta = y
            const double* row = lt.row(i);
            double s = x[static_cast<std::size_t>(i)];
            for (int k = i + 1; k < n; ++k) s -= row[k] * x[static_cast<std::size_t>(k)];
            x[static_cast<std::size_t>(i)] = s / row[i];
        }
        return x;
    }

    void Iterate(const FitControl& control) {
        double logLikelihood = 0;
        if (!Evaluate(m_theta, control.stop, logLikelihood)) {
            m_fit.marginError = std::numeric_limits<double>::infinity();
            return;
        }
        double error = MarginError();
        double best = error;
        int sinceBest = 0;
        std::vector<double> gradient, trial(m_theta.size());
        while (true) {
            m_fit.marginError = error;
            if (error <= control.tolerance) {
                m_fit.converged = true;
                return;
            }
            if (m_fit.iterations >= control.maxIterations) return;
            CheckStop(control.stop);
            const std::vector<double> delta = Direction(gradient);
            if (delta.empty()) return;
            double slope = 0;
            for (std::size_t i = 0; i < delta.size(); ++i) slope += gradient[i] * delta[i];
            ++m_fit.iterations;
            // Halve the step until the likelihood grows (or, where its
            // change is below what rounding lets it show, the margins come
            // closer).
            bool accepted = false;
            double newLogLikelihood = 0;
            double t = 2;
            for (int halvings = 0; halvings < 40; ++halvings) {
                t /= 2;
                for (std::size_t i = 0; i < trial.size(); ++i) trial[i] = m_theta[i] + t * delta[i];
                if (!Evaluate(trial, control.stop, newLogLikelihood)) continue;
                const double noise = 1e-13 * std::max(LinearMagnitude(m_theta), LinearMagnitude(trial));
                const double gain = newLogLikelihood - logLikelihood;
                if (gain >= 1e-4 * t * slope - noise && (gain > noise || MarginError() <= error)) {
                    accepted = true;
                    break;
                }
            }
            if (!accepted) {
                // Leave the table and its margins at the last accepted point.
                Evaluate(m_theta, control.stop, logLikelihood);
                return;
            }
            m_theta.swap(trial);
            logLikelihood = newLogLikelihood;
            if (control.stepped) control.stepped(m_fit.iterations);
            error = MarginError();
            // A fit that stops improving (rounding sets its floor) ends.
            if (error < best / 2) {
                best = error;
                sinceBest = 0;
            } else if (++sinceBest >= 20) {
                m_fit.marginError = error;
                m_fit.converged = error <= control.tolerance;
                return;
            }
        }
    }

    const LoglinearModel& m_model;
    const JointLayout& m_layout;
    double* m_table;
    LoglinearFit m_fit;
    LogLinearTerms m_zeros;
    bool m_anyZero = false;
    std::vector<char> m_support;    // [cell]: not driven to 0 (empty: every cell)
    std::vector<char> m_dependent;  // [column]: vanishes or depends on earlier columns
    std::vector<int> m_basis;       // the columns fitted
    std::vector<double> m_theta;    // [basis]
    Margins m_margins{m_layout};
};

}  // namespace

LoglinearFit FitLoglinear(const LoglinearModel& model, double* table, const FitControl& control,
                          const LoglinearFit* start) {
    Fitter fitter(model, table);
    return fitter.Run(control, start);
}

std::vector<double> TailVariances(const LoglinearModel& model, const LoglinearFit& fit, const double* table,
                                  std::size_t first, const std::stop_token& stop) {
    std::vector<double> variances(fit.columns.size() - first, std::numeric_limits<double>::quiet_NaN());
    std::vector<int> basis;
    for (std::size_t i = 0; i < fit.columns.size(); ++i)
        if (fit.inBasis[i]) basis.push_back(static_cast<int>(i));
    // The information matrix of the basis, as the fit's own steps take it.
    std::vector<double> h = InformationAt(model.layout, table, fit.columns, basis, stop);
    const int n = static_cast<int>(basis.size());
    KernelMatrix lt(n);
    if (FactorCholesky(CurrentIsa(), h.data(), static_cast<std::size_t>(n), n, lt, InformationSingular) >= 0)
        return variances;
    // With the tail last, the variance of its parameter j is |L^-1 e_j|^2,
    // which only the tail's part of L decides.
    int tail = n;
    while (tail > 0 && static_cast<std::size_t>(basis[static_cast<std::size_t>(tail) - 1]) >= first) --tail;
    std::vector<double> y(static_cast<std::size_t>(n));
    for (int j = tail; j < n; ++j) {
        CheckStop(stop);
        std::fill(y.begin() + j, y.end(), 0.0);
        y[static_cast<std::size_t>(j)] = 1.0;
        double sum = 0;
        for (int k = j; k < n; ++k) {
            const double* row = lt.row(k);
            const double value = y[static_cast<std::size_t>(k)] / row[k];
            y[static_cast<std::size_t>(k)] = value;
            sum += value * value;
            for (int i = k + 1; i < n; ++i) y[static_cast<std::size_t>(i)] -= row[i] * value;
        }
        const auto column = static_cast<std::size_t>(basis[static_cast<std::size_t>(j)]);
        if (fit.estimable[column]) variances[column - first] = sum;
    }
    return variances;
}

}  // namespace kelvo::detail
