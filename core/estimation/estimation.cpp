// The consistency check of the marginal totals and the normal equations with
// their identifying constraints.
#include "estimation.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <mutex>
#include <stdexcept>
#include <string>
#include <string_view>

#include "estimation_log.h"
#include "estimation_steps.h"

namespace kelvo {

namespace {

int Categories(const TableSet& ts, int variable) {
    return ts.CategoryCounts[variable];
}

}  // namespace

std::string detail::SelectionProblem(const TableSet& ts) {
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

    // Compares the totals of one table with the variable's established ones,
    // or establishes them.
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
            const PairTableTotals totals = PairTotals(ts, i, j);
            settle(i, totals.rows);
            // When both variables mismatch, the column variable is the one named.
            settle(j, totals.columns);
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

void detail::FillRightHandSides(TableSet& ts) {
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
}

void BuildRightHandSides(TableSet& ts, OutputFile& log, const std::filesystem::path& logPath) {
    detail::FillRightHandSides(ts);
    // The log is rewritten by every estimation: written over in place, so
    // that the estimation never waits for the disk.
    log.Create(logPath, OutputFile::Existing::WriteOver);
    detail::WriteLogMatrix(log, ts.ParameterCount, ts.DependentCategoryCount, 8, 1,
                           [&](int r) { return ts.RightHandSides.row(r) + 1; });
}

void detail::FillCrossProducts(TableSet& ts) {
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
}

namespace {

std::mutex g_keptTextMutex;
std::string g_keptText;  // the buffer of the last LogRows

}  // namespace

detail::LogRows::LogRows() {
    const std::lock_guard lock(g_keptTextMutex);
    text.swap(g_keptText);
    text.clear();
}

detail::LogRows::~LogRows() {
    const std::lock_guard lock(g_keptTextMutex);
    if (text.capacity() > g_keptText.capacity()) text.swap(g_keptText);
}

void detail::WriteCrossProductsLog(const TableSet& ts, OutputFile& log, LogRows& rows) {
    constexpr std::size_t PieceSize = 64 * 1024;
    const int m = ts.ParameterCount;
    rows.text.clear();
    rows.starts.clear();
    rows.text.reserve(static_cast<std::size_t>(m) * (8 * static_cast<std::size_t>(m) + 2) + 2);
    constexpr std::size_t Width = 8;
    const Matrix& cp = ts.CrossProducts;
    // Whether all fields of a row have their 8 characters.
    std::vector<char> fits(static_cast<std::size_t>(m) + 1, 0);
    const auto sameBits = [](double a, double b) {
        return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
    };
    std::size_t written = 0;
    for (int r = 1; r <= m; ++r) {
        const std::size_t start = rows.text.size();
        rows.starts.push_back(start);
        const double* values = cp.row(r) + 1;
        // Left of the diagonal, an entry that is the very double of its
        // mirror (c, r) above (X'X is built symmetric) has the text of that
        // one, which is copied when its row's fields all have 8 characters.
        bool mirrored = true;
        for (int c = 1; c < r && mirrored; ++c) mirrored = fits[c] && sameBits(values[c - 1], cp(c, r));
        if (mirrored) {
            rows.text.resize(start + static_cast<std::size_t>(r - 1) * Width);
            char* field = rows.text.data() + start;
            for (int c = 1; c < r; ++c, field += Width)
                std::memcpy(field, rows.text.data() + rows.starts[c - 1] + static_cast<std::size_t>(r - 1) * Width,
                            Width);
            AppendFixedRow(rows.text, std::span<const double>(values + r - 1, static_cast<std::size_t>(m - r + 1)), 1,
                           static_cast<int>(Width));
        } else {
            AppendFixedRow(rows.text, std::span<const double>(values, static_cast<std::size_t>(m)), 1,
                           static_cast<int>(Width));
        }
        fits[r] = rows.text.size() - start == Width * static_cast<std::size_t>(m);
        rows.text += "\r\n";
        if (rows.text.size() - written >= PieceSize) {
            log.Write(std::string_view(rows.text).substr(written));
            written = rows.text.size();
        }
    }
    rows.starts.push_back(rows.text.size());
    rows.text += "\r\n";
    log.Write(std::string_view(rows.text).substr(written));
}

void detail::AddConstraints(TableSet& ts) {
    Matrix& cp = ts.CrossProducts;
    ForEachIdentifyingConstraint(ts, [&cp](int i, int j, double product) { cp(i, j) += product; });
}

void detail::WriteConstrainedLog(const TableSet& ts, OutputFile& log, const LogRows& plain) {
    constexpr std::size_t PlainWidth = 8;
    constexpr std::size_t Widening = 4;  // block 3's fields are 12 wide
    const int m = ts.ParameterCount;
    // The constraints changed, in row s + k of a predictor's block, columns
    // s + 1 .. s + k; every other entry is the very double of block 2, so
    // its text is block 2's, in a field 4 characters wider. (A text that
    // overflowed its field in block 2 makes its row formatted anew.)
    std::vector<int> firstChanged(static_cast<std::size_t>(m) + 1, m + 1);
    std::vector<int> lastChanged(static_cast<std::size_t>(m) + 1, m);
    for (int t = 1; t <= ts.PredictorCount; ++t) {
        const int s = BlockStart(ts, t);
        for (int k = 1; k <= Categories(ts, ts.PredictorList[t]); ++k) {
            firstChanged[s + k] = s + 1;
            lastChanged[s + k] = s + k;
        }
    }
    const auto widened = [&](std::string& piece, const char* fields, int first, int last) {
        if (first > last) return;
        std::size_t at = piece.size();
        piece.resize(at + static_cast<std::size_t>(last - first + 1) * (PlainWidth + Widening));
        for (int c = first; c <= last; ++c) {
            std::memcpy(piece.data() + at, "    ", Widening);
            std::memcpy(piece.data() + at + Widening, fields + static_cast<std::size_t>(c - 1) * PlainWidth,
                        PlainWidth);
            at += PlainWidth + Widening;
        }
    };
    LogPieces pieces(log, static_cast<std::size_t>(m) * 40);
    std::string& piece = pieces.line();
    for (int r = 1; r <= m; ++r) {
        const double* values = ts.CrossProducts.row(r) + 1;
        const std::size_t start = plain.starts[static_cast<std::size_t>(r) - 1];
        const std::size_t length = plain.starts[static_cast<std::size_t>(r)] - start - 2;
        if (length != PlainWidth * static_cast<std::size_t>(m)) {
            AppendFixedRow(piece, std::span<const double>(values, static_cast<std::size_t>(m)), 1, 12);
        } else {
            const char* fields = plain.text.data() + start;
            const int first = firstChanged[r];
            const int last = lastChanged[r];
            widened(piece, fields, 1, std::min(first, m + 1) - 1);
            if (first <= last)
                AppendFixedRow(piece,
                               std::span<const double>(values + first - 1, static_cast<std::size_t>(last - first + 1)),
                               1, 12);
            widened(piece, fields, std::max(first, last + 1), m);
        }
        pieces.EndLine();
    }
    pieces.EndMatrix();
}

void BuildCrossProducts(TableSet& ts, OutputFile& log) {
    detail::FillCrossProducts(ts);
    const Matrix& cp = ts.CrossProducts;
    detail::WriteLogMatrix(log, ts.ParameterCount, ts.ParameterCount, 8, 1, [&](int r) { return cp.row(r) + 1; });
}

void AddIdentifyingConstraints(TableSet& ts, OutputFile& log) {
    detail::AddConstraints(ts);
    const Matrix& cp = ts.CrossProducts;
    const int m = ts.ParameterCount;
    detail::WriteLogMatrix(log, m, m, 12, 1, [&](int r) { return cp.row(r) + 1; });
}

}  // namespace kelvo
