#include "loglinear_reference.h"

#include <cmath>
#include <stdexcept>

namespace kelvo::test {

namespace {

struct DesignColumn {
    ParameterKey key;
    std::vector<char> x;  // by cell
};

// Solves A x = b for a symmetric positive definite A (Cholesky).
std::vector<Real> SolveSpd(RealMatrix a, std::vector<Real> b, RealMatrix* inverse) {
    const std::size_t n = b.size();
    for (std::size_t j = 0; j < n; ++j) {
        for (std::size_t k = 0; k < j; ++k) a[j][j] -= a[j][k] * a[j][k];
        if (!(a[j][j] > 0)) throw std::runtime_error("reference design is singular");
        a[j][j] = std::sqrt(a[j][j]);
        for (std::size_t i = j + 1; i < n; ++i) {
            for (std::size_t k = 0; k < j; ++k) a[i][j] -= a[i][k] * a[j][k];
            a[i][j] /= a[j][j];
        }
    }
    const auto solve = [&](std::vector<Real> y) {
        for (std::size_t i = 0; i < n; ++i) {
            for (std::size_t k = 0; k < i; ++k) y[i] -= a[i][k] * y[k];
            y[i] /= a[i][i];
        }
        for (std::size_t i = n; i-- > 0;) {
            for (std::size_t k = i + 1; k < n; ++k) y[i] -= a[k][i] * y[k];
            y[i] /= a[i][i];
        }
        return y;
    };
    if (inverse != nullptr) {
        inverse->assign(n, std::vector<Real>(n, 0));
        for (std::size_t j = 0; j < n; ++j) {
            std::vector<Real> e(n, 0);
            e[j] = 1;
            const std::vector<Real> column = solve(e);
            for (std::size_t i = 0; i < n; ++i) (*inverse)[i][j] = column[i];
        }
    }
    return solve(std::move(b));
}

}  // namespace

std::vector<int> JointCounts::CellCategories(std::size_t cell) const {
    std::vector<int> x(categories.size());
    for (std::size_t v = categories.size(); v-- > 0;) {
        x[v] = static_cast<int>(cell % static_cast<std::size_t>(categories[v])) + 1;
        cell /= static_cast<std::size_t>(categories[v]);
    }
    return x;
}

JointCounts CountJoint(const Records& records, const std::vector<int>& variables) {
    JointCounts joint;
    std::size_t cells = 1;
    for (const int v : variables) {
        joint.categories.push_back(records.categories[static_cast<std::size_t>(v)]);
        cells *= static_cast<std::size_t>(joint.categories.back());
    }
    joint.counts.assign(cells, 0);
    for (const auto& row : records.rows) {
        std::size_t cell = 0;
        for (std::size_t i = 0; i < variables.size(); ++i)
            cell = cell * static_cast<std::size_t>(joint.categories[i]) + static_cast<std::size_t>(row[static_cast<std::size_t>(variables[i])] - 1);
        ++joint.counts[cell];
    }
    return joint;
}

TableSet PairTablesOf(const JointCounts& joint) {
    TableSet ts;
    ts.VariableCount = static_cast<int>(joint.categories.size());
    for (int v = 1; v <= ts.VariableCount; ++v) {
        ts.VariableNames[v] = "V" + std::to_string(v);
        ts.CategoryCounts[v] = static_cast<std::uint8_t>(joint.categories[static_cast<std::size_t>(v) - 1]);
        for (int k = 1; k <= ts.CategoryCounts[v]; ++k) ts.CategoryNames[v][k] = "C" + std::to_string(k);
    }
    for (std::size_t cell = 0; cell < joint.counts.size(); ++cell) {
        const std::vector<int> x = joint.CellCategories(cell);
        for (int i = 2; i <= ts.VariableCount; ++i)
            for (int j = 1; j < i; ++j)
                ts.PairTables[PairIndex(i, j)][x[static_cast<std::size_t>(i) - 1]][x[static_cast<std::size_t>(j) - 1]] +=
                    static_cast<std::int32_t>(joint.counts[cell]);
    }
    return ts;
}

std::vector<std::pair<int, int>> AllPairsOf(int V) {
    std::vector<std::pair<int, int>> pairs;
    for (int v = 0; v < V; ++v)
        for (int w = v + 1; w < V; ++w) pairs.emplace_back(v, w);
    return pairs;
}

PoissonFit FitPoisson(const JointCounts& joint, const std::vector<std::pair<int, int>>& pairs) {
    const std::size_t cells = joint.counts.size();
    const int V = static_cast<int>(joint.categories.size());
    std::vector<std::vector<int>> x(cells);
    for (std::size_t c = 0; c < cells; ++c) x[c] = joint.CellCategories(c);

    // The cells that can have cases: every margin cell of the model they
    // fall into has some.
    const auto marginOf = [&](const std::vector<int>& vars, std::size_t cell) {
        Real total = 0;
        for (std::size_t c = 0; c < cells; ++c) {
            bool same = true;
            for (const int v : vars) same = same && x[c][static_cast<std::size_t>(v)] == x[cell][static_cast<std::size_t>(v)];
            if (same) total += joint.counts[c];
        }
        return total;
    };
    std::vector<std::size_t> used;
    for (std::size_t c = 0; c < cells; ++c) {
        bool possible = true;
        for (int v = 0; v < V; ++v) possible = possible && marginOf({v}, c) > 0;
        for (const auto& [v, w] : pairs) possible = possible && marginOf({v, w}, c) > 0;
        if (possible) used.push_back(c);
    }

    std::vector<DesignColumn> design;
    const auto add = [&](ParameterKey key, auto indicator) {
        DesignColumn column{key, {}};
        bool any = false;
        for (const std::size_t c : used) {
            column.x.push_back(indicator(x[c]) ? 1 : 0);
            any = any || column.x.back();
        }
        if (any) design.push_back(std::move(column));
    };
    add({-1, -1, 0, 0}, [](const std::vector<int>&) { return true; });
    for (int v = 0; v < V; ++v)
        for (int a = 2; a <= joint.categories[static_cast<std::size_t>(v)]; ++a)
            add({v, -1, a, 0}, [v, a](const std::vector<int>& cell) { return cell[static_cast<std::size_t>(v)] == a; });
    for (const auto& [v, w] : pairs)
        for (int a = 2; a <= joint.categories[static_cast<std::size_t>(v)]; ++a)
            for (int b = 2; b <= joint.categories[static_cast<std::size_t>(w)]; ++b)
                add({v, w, a, b}, [v, w, a, b](const std::vector<int>& cell) {
                    return cell[static_cast<std::size_t>(v)] == a && cell[static_cast<std::size_t>(w)] == b;
                });

    const std::size_t n = used.size(), p = design.size();
    std::vector<Real> y(n), mu(n), eta(n);
    for (std::size_t i = 0; i < n; ++i) {
        y[i] = joint.counts[used[i]];
        mu[i] = y[i] + 0.5L;
        eta[i] = std::log(mu[i]);
    }
    std::vector<Real> beta(p, 0);
    RealMatrix inverse;
    for (int iteration = 0; iteration < 200; ++iteration) {
        RealMatrix a(p, std::vector<Real>(p, 0));
        std::vector<Real> b(p, 0);
        for (std::size_t i = 0; i < n; ++i) {
            const Real z = eta[i] + (y[i] - mu[i]) / mu[i];
            for (std::size_t j = 0; j < p; ++j) {
                if (!design[j].x[i]) continue;
                b[j] += mu[i] * z;
                for (std::size_t k = 0; k <= j; ++k)
                    if (design[k].x[i]) a[j][k] += mu[i];
            }
        }
        for (std::size_t j = 0; j < p; ++j)
            for (std::size_t k = 0; k < j; ++k) a[k][j] = a[j][k];
        const std::vector<Real> next = SolveSpd(a, b, nullptr);
        Real change = 0;
        for (std::size_t j = 0; j < p; ++j) change = std::max(change, std::fabs(next[j] - beta[j]));
        beta = next;
        for (std::size_t i = 0; i < n; ++i) {
            eta[i] = 0;
            for (std::size_t j = 0; j < p; ++j)
                if (design[j].x[i]) eta[i] += beta[j];
            mu[i] = std::exp(eta[i]);
        }
        if (change < 1e-15L && iteration > 3) break;
    }
    // The information at the fit.
    RealMatrix a(p, std::vector<Real>(p, 0));
    for (std::size_t i = 0; i < n; ++i)
        for (std::size_t j = 0; j < p; ++j)
            for (std::size_t k = 0; k < p; ++k)
                if (design[j].x[i] && design[k].x[i]) a[j][k] += mu[i];
    SolveSpd(a, std::vector<Real>(p, 0), &inverse);

    PoissonFit fit;
    for (std::size_t j = 0; j < p; ++j) {
        fit.beta[design[j].key] = beta[j];
        fit.standardError[design[j].key] = std::sqrt(inverse[j][j]);
    }
    for (std::size_t i = 0; i < n; ++i)
        fit.deviance += 2 * ((y[i] > 0 ? y[i] * std::log(y[i] / mu[i]) : 0) - (y[i] - mu[i]));
    return fit;
}

}  // namespace kelvo::test
