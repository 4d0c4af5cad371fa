// The consistency check of the marginal totals, the normal equations with
// their identifying constraints, and the whole estimation run.
#include "estimation.h"

#include <stdexcept>
#include <string>

#include "estimation_log.h"

namespace kelvo {

namespace {

int Categories(const TableSet& ts, int variable) {
    return ts.CategoryCounts[variable];
}

// Why the stored selection cannot be estimated, or an empty text when it can.
// The desktop program shows the text in its error box.
std::string SelectionProblem(const TableSet& ts) {
    const int dependent = ts.DependentVariable;
    if (ts.VariableCount < 2 || ts.VariableCount > MaxVariables) return "A model needs at least two variables";
    if (dependent < 1 || dependent > ts.VariableCount) return "No dependent variable specified";
    if (ts.PredictorCount < 1 || ts.PredictorCount > ts.VariableCount - 1) return "No predictor variables specified";
    for (int t = 1; t <= ts.PredictorCount; ++t) {
        const int a = ts.PredictorList[t];
        if (a < 1 || a > ts.VariableCount) return "A predictor is not a variable of the table set";
        if (a == dependent) return "The dependent variable cannot also be a predictor";
        if (t > 1 && a <= ts.PredictorList[t - 1]) return "The predictors are not in variable order";
    }
    // A variable of the model without categories (a table-set file may hold
    // one) leaves nothing to estimate.
    const auto withoutCategories = [&ts](int v) {
        return Categories(ts, v) < 1 || Categories(ts, v) > MaxCategories;
    };
    if (withoutCategories(dependent)) return "Variable " + ts.VariableNames[dependent].str() + " has no categories";
    for (int t = 1; t <= ts.PredictorCount; ++t)
        if (withoutCategories(ts.PredictorList[t]))
            return "Variable " + ts.VariableNames[ts.PredictorList[t]].str() + " has no categories";
    return {};
}

}  // namespace

int BlockStart(const TableSet& ts, int t) {
    int s = 1;
    for (int u = 1; u < t; ++u) s += Categories(ts, ts.PredictorList[u]);
    return s;
}

void SelectModelFromRoles(TableSet& ts) {
    ts.PredictorCount = 0;
    ts.DependentVariable = 0;
    for (int v = 1; v <= ts.VariableCount && v <= MaxVariables; ++v) {
        if (ts.VariableRoles[v] == 1) {
            ts.DependentVariable = v;
        } else if (ts.VariableRoles[v] == 2) {
            ++ts.PredictorCount;
            ts.PredictorList[ts.PredictorCount] = v;
        }
    }
}

void CheckMarginalTotals(TableSet& ts, WarningSink& warnings) {
    ts.EstimationError = 0;
    std::array<bool, MaxVariables + 1> established{};
    std::array<std::int64_t, MaxCategories + 1> rowTotals{};
    std::array<std::int64_t, MaxCategories + 1> columnTotals{};

    // Compares the totals of one table with the variable's established ones,
    // or establishes them. Totals are 64-bit: the sum of 16 counts near 2^31
    // does not fit 32 bits.
    const auto settle = [&](int variable, const std::array<std::int64_t, MaxCategories + 1>& totals) {
        auto& marginal = ts.MarginalTotals[variable];
        if (!established[variable]) {
            for (int n = 1; n <= Categories(ts, variable); ++n) marginal[n] = totals[n];
            established[variable] = true;
            return;
        }
        for (int n = 1; n <= Categories(ts, variable); ++n)
            if (marginal[n] != totals[n]) ts.EstimationError = variable;
    };

    for (int i = 2; i <= ts.VariableCount; ++i) {
        for (int j = 1; j < i; ++j) {
            const PairTable& table = ts.PairTables[PairIndex(i, j)];
            for (int r = 1; r <= Categories(ts, i); ++r) {
                rowTotals[r] = 0;
                for (int k = 1; k <= Categories(ts, j); ++k) rowTotals[r] += table[r][k];
            }
            for (int k = 1; k <= Categories(ts, j); ++k) {
                columnTotals[k] = 0;
                for (int r = 1; r <= Categories(ts, i); ++r) columnTotals[k] += table[r][k];
            }
            settle(i, rowTotals);
            // When both variables mismatch, the column variable is the one named.
            settle(j, columnTotals);
            // The error is never cleared here, so once a mismatch was found the
            // warning repeats after every later pair.
            if (ts.EstimationError > 0)
                warnings.ShowWarning(TotalsMismatchWarning + ts.VariableNames[ts.EstimationError]);
        }
    }
}

void GetOrientedTable(const TableSet& ts, int a, int b, OrientedTable& table) {
    const int rows = Categories(ts, a);
    const int columns = Categories(ts, b);
    if (a > b) {
        const PairTable& stored = ts.PairTables[PairIndex(a, b)];
        for (int r = 1; r <= rows; ++r)
            for (int k = 1; k <= columns; ++k) table.cells[r][k] = stored[r][k];
    } else {
        const PairTable& stored = ts.PairTables[PairIndex(b, a)];
        for (int r = 1; r <= rows; ++r)
            for (int k = 1; k <= columns; ++k) table.cells[r][k] = stored[k][r];
    }
    table.OrientedRows = rows;
    table.OrientedColumns = columns;
}

void BuildRightHandSides(TableSet& ts, OutputFile& log, const std::filesystem::path& logPath) {
    const int dependent = ts.DependentVariable;
    const int D = Categories(ts, dependent);
    ts.DependentCategoryCount = D;
    // The matrices are sized to the model, so every selection fits.
    const int size = BlockStart(ts, ts.PredictorCount + 1);
    ts.RightHandSides.resize(size, D);

    for (int d = 1; d <= D; ++d) ts.RightHandSides(1, d) = static_cast<double>(ts.MarginalTotals[dependent][d]);
    int m = 1;
    OrientedTable table;
    for (int t = 1; t <= ts.PredictorCount; ++t) {
        const int a = ts.PredictorList[t];
        GetOrientedTable(ts, a, dependent, table);
        std::int64_t total = 0;
        for (int r = 1; r <= Categories(ts, a); ++r)
            for (int d = 1; d <= D; ++d) {
                ts.RightHandSides(m + r, d) = table(r, d);
                total += table(r, d);
            }
        // A sum of at most 256 32-bit counts: exact in 64 bits and in double.
        if (t == 1) ts.TotalCount = static_cast<double>(total);
        m += Categories(ts, a);
    }
    ts.ParameterCount = m;
    ts.CrossProducts.resize(m, m);

    log.Create(logPath);
    detail::WriteLogMatrix(log, m, D, 8, 1, [&](int r) { return ts.RightHandSides.row(r) + 1; });
}

void BuildCrossProducts(TableSet& ts, OutputFile& log) {
    Matrix& cp = ts.CrossProducts;
    cp(1, 1) = ts.TotalCount;
    OrientedTable table;
    for (int t = 1; t <= ts.PredictorCount; ++t) {
        const int a = ts.PredictorList[t];
        const int s = BlockStart(ts, t);
        for (int k = 1; k <= Categories(ts, a); ++k) {
            const auto n = static_cast<double>(ts.MarginalTotals[a][k]);
            cp(s + k, 1) = n;
            cp(1, s + k) = n;
            cp(s + k, s + k) = n;
        }
        for (int u = 1; u < t; ++u) {
            const int b = ts.PredictorList[u];
            const int su = BlockStart(ts, u);
            GetOrientedTable(ts, a, b, table);
            for (int r = 1; r <= Categories(ts, a); ++r)
                for (int k = 1; k <= Categories(ts, b); ++k) {
                    cp(s + r, su + k) = table(r, k);
                    cp(su + k, s + r) = table(r, k);
                }
        }
        // Off the diagonal of a predictor's own block everything stays 0: two
        // categories of one variable never occur together.
    }
    const int m = ts.ParameterCount;
    ts.DiagonalCopy.assign(static_cast<std::size_t>(m) + 1, 0.0);
    for (int i = 1; i <= m; ++i) ts.DiagonalCopy[i] = cp(i, i);

    detail::WriteLogMatrix(log, m, m, 8, 1, [&](int r) { return cp.row(r) + 1; });
}

void AddIdentifyingConstraints(TableSet& ts, OutputFile& log) {
    Matrix& cp = ts.CrossProducts;
    for (int t = 1; t <= ts.PredictorCount; ++t) {
        const int a = ts.PredictorList[t];
        const int s = BlockStart(ts, t);
        const auto& n = ts.MarginalTotals[a];
        for (int k = 1; k <= Categories(ts, a); ++k)
            for (int k2 = 1; k2 <= k; ++k2) cp(s + k, s + k2) += static_cast<double>(n[k]) * static_cast<double>(n[k2]);
    }
    const int m = ts.ParameterCount;
    detail::WriteLogMatrix(log, m, m, 12, 1, [&](int r) { return cp.row(r) + 1; });
}

bool ComputeEstimates(TableSet& ts, WarningSink& warnings, const std::filesystem::path& logPath) {
    if (const std::string problem = SelectionProblem(ts); !problem.empty()) throw std::invalid_argument(problem);
    OutputFile log;
    CheckMarginalTotals(ts, warnings);
    BuildRightHandSides(ts, log, logPath);
    BuildCrossProducts(ts, log);
    AddIdentifyingConstraints(ts, log);
    InvertMatrix(ts, warnings, log);
    if (ts.EstimationError != 0) return false;
    ComputeCoefficients(ts, log);
    ComputeStandardErrors(ts);
    ComputePredictionRange(ts);
    return true;
}

}  // namespace kelvo
