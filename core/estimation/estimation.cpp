// The consistency check of the marginal totals and the normal equations with
// their identifying constraints.
#include "estimation.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <stdexcept>
#include <string>
#include <string_view>

#include "estimation_log.h"
#include "estimation_steps.h"

namespace kelvo {

namespace {

int Categories(const InputSide& in, int variable) {
    return in.CategoryCounts[variable];
}

}  // namespace

std::string SelectionProblem(const InputSide& in, const ModelSelection& model) {
    const int dependent = model.DependentVariable;
    if (in.VariableCount < 0 || in.VariableCount > MaxVariables) return "The number of variables is out of range";
    if (dependent < 1 || dependent > in.VariableCount) return "No dependent variable specified";
    if (model.PredictorCount < 1 || model.PredictorCount > MaxVariables - 1) return "No predictor variables specified";
    for (int t = 1; t <= model.PredictorCount; ++t) {
        const int a = model.PredictorList[t];
        if (a < 1 || a > in.VariableCount) return "A predictor is not a variable of the table set";
    }
    const auto tooMany = [&in](int v) { return Categories(in, v) > MaxCategories; };
    if (tooMany(dependent)) return "Variable " + in.VariableNames[dependent].str() + " has too many categories";
    for (int t = 1; t <= model.PredictorCount; ++t)
        if (tooMany(model.PredictorList[t]))
            return "Variable " + in.VariableNames[model.PredictorList[t]].str() + " has too many categories";
    return {};
}

std::string EstimationProblem(const InputSide& in, const ModelSelection& model) {
    if (in.VariableCount < 2 || in.VariableCount > MaxVariables) return "A model needs at least two variables";
    if (std::string problem = SelectionProblem(in, model); !problem.empty()) return problem;
    const int dependent = model.DependentVariable;
    if (model.PredictorCount > in.VariableCount - 1) return "No predictor variables specified";
    for (int t = 1; t <= model.PredictorCount; ++t) {
        const int a = model.PredictorList[t];
        if (a == dependent) return "The dependent variable cannot also be a predictor";
        if (t > 1 && a <= model.PredictorList[t - 1]) return "The predictors are not in variable order";
    }
    // A variable of the model without categories (a table-set file may hold
    // one) leaves nothing to estimate.
    if (Categories(in, dependent) < 1) return "Variable " + in.VariableNames[dependent].str() + " has no categories";
    for (int t = 1; t <= model.PredictorCount; ++t)
        if (Categories(in, model.PredictorList[t]) < 1)
            return "Variable " + in.VariableNames[model.PredictorList[t]].str() + " has no categories";
    return {};
}

int BlockStart(const InputSide& in, const ModelSelection& model, int t) {
    int s = 1;
    for (int u = 1; u < t; ++u) s += Categories(in, model.PredictorList[u]);
    return s;
}

void SelectModelFromRoles(const InputSide& in, ModelSelection& model) {
    model.PredictorCount = 0;
    model.DependentVariable = 0;
    for (int v = 1; v <= in.VariableCount && v <= MaxVariables; ++v) {
        if (model.VariableRoles[v] == 1) {
            model.DependentVariable = v;
        } else if (model.VariableRoles[v] == 2) {
            ++model.PredictorCount;
            model.PredictorList[model.PredictorCount] = v;
        }
    }
}

void CheckMarginalTotals(const InputSide& in, EstimationArrays& est, WarningSink& warnings) {
    est.EstimationError = 0;
    std::array<bool, MaxVariables + 1> established{};

    // Compares the totals of one table with the variable's established ones,
    // or establishes them.
    const auto settle = [&](int variable, const std::array<std::int64_t, MaxCategories + 1>& totals) {
        auto& marginal = est.MarginalTotals[variable];
        if (!established[variable]) {
            for (int n = 1; n <= Categories(in, variable); ++n) marginal[n] = totals[n];
            established[variable] = true;
            return;
        }
        for (int n = 1; n <= Categories(in, variable); ++n)
            if (marginal[n] != totals[n]) est.EstimationError = variable;
    };

    for (int i = 2; i <= in.VariableCount; ++i) {
        for (int j = 1; j < i; ++j) {
            const PairTableTotals totals = PairTotals(in, i, j);
            settle(i, totals.rows);
            // When both variables mismatch, the column variable is the one named.
            settle(j, totals.columns);
            // The error is never cleared here, so once a mismatch was found the
            // warning repeats after every later pair.
            if (est.EstimationError > 0)
                warnings.ShowWarning(TotalsMismatchWarning + in.VariableNames[est.EstimationError]);
        }
    }
}

void GetOrientedTable(const InputSide& in, int a, int b, OrientedTable& table) {
    const int rows = Categories(in, a);
    const int columns = Categories(in, b);
    if (a > b) {
        const PairTable& stored = in.PairTables[PairIndex(a, b)];
        for (int r = 1; r <= rows; ++r)
            for (int k = 1; k <= columns; ++k) table.cells[r][k] = stored[r][k];
    } else {
        const PairTable& stored = in.PairTables[PairIndex(b, a)];
        for (int r = 1; r <= rows; ++r)
            for (int k = 1; k <= columns; ++k) table.cells[r][k] = stored[k][r];
    }
    table.OrientedRows = rows;
    table.OrientedColumns = columns;
}

void detail::FillRightHandSides(const InputSide& in, const ModelSelection& model, EstimationArrays& est) {
    const int dependent = model.DependentVariable;
    const int D = Categories(in, dependent);
    est.DependentCategoryCount = D;
    // The matrices are sized to the model, so every selection fits.
    const int size = BlockStart(in, model, model.PredictorCount + 1);
    est.RightHandSides.resize(size, D);

    for (int d = 1; d <= D; ++d) est.RightHandSides(1, d) = static_cast<double>(est.MarginalTotals[dependent][d]);
    int m = 1;
    OrientedTable table;
    for (int t = 1; t <= model.PredictorCount; ++t) {
        const int a = model.PredictorList[t];
        GetOrientedTable(in, a, dependent, table);
        std::int64_t total = 0;
        for (int r = 1; r <= Categories(in, a); ++r)
            for (int d = 1; d <= D; ++d) {
                est.RightHandSides(m + r, d) = table(r, d);
                total += table(r, d);
            }
        // A sum of at most 256 32-bit counts: exact in 64 bits and in double.
        if (t == 1) est.TotalCount = static_cast<double>(total);
        m += Categories(in, a);
    }
    est.ParameterCount = m;
    est.CrossProducts.resize(m, m);
}

void BuildRightHandSides(const InputSide& in, const ModelSelection& model, EstimationArrays& est, OutputFile& log,
                         const std::filesystem::path& logPath) {
    detail::FillRightHandSides(in, model, est);
    // The log is rewritten by every estimation: written over in place, so
    // that the estimation never waits for the disk.
    log.Create(logPath, OutputFile::Existing::WriteOver);
    detail::WriteLogMatrix(log, est.ParameterCount, est.DependentCategoryCount, 8, 1,
                           [&](int r) { return est.RightHandSides.row(r) + 1; });
}

void detail::FillCrossProducts(const InputSide& in, const ModelSelection& model, EstimationArrays& est) {
    Matrix& cp = est.CrossProducts;
    cp(1, 1) = est.TotalCount;
    OrientedTable table;
    for (int t = 1; t <= model.PredictorCount; ++t) {
        const int a = model.PredictorList[t];
        const int s = BlockStart(in, model, t);
        for (int k = 1; k <= Categories(in, a); ++k) {
            const auto n = static_cast<double>(est.MarginalTotals[a][k]);
            cp(s + k, 1) = n;
            cp(1, s + k) = n;
            cp(s + k, s + k) = n;
        }
        for (int u = 1; u < t; ++u) {
            const int b = model.PredictorList[u];
            const int su = BlockStart(in, model, u);
            GetOrientedTable(in, a, b, table);
            for (int r = 1; r <= Categories(in, a); ++r)
                for (int k = 1; k <= Categories(in, b); ++k) {
                    cp(s + r, su + k) = table(r, k);
                    cp(su + k, s + r) = table(r, k);
                }
        }
        // Off the diagonal of a predictor's own block everything stays 0: two
        // categories of one variable never occur together.
    }
    const int m = est.ParameterCount;
    est.DiagonalCopy.assign(static_cast<std::size_t>(m) + 1, 0.0);
    for (int i = 1; i <= m; ++i) est.DiagonalCopy[i] = cp(i, i);
}

detail::LogRows::LogRows(std::string& kept) : m_kept(kept) {
    text.swap(m_kept);
    text.clear();
}

detail::LogRows::~LogRows() {
    // Only the room is kept: a copy of the arrays copies no text.
    text.clear();
    if (text.capacity() > m_kept.capacity()) text.swap(m_kept);
}

void detail::WriteCrossProductsLog(const EstimationArrays& est, OutputFile& log, LogRows& rows) {
    constexpr std::size_t PieceSize = 64 * 1024;
    const int m = est.ParameterCount;
    rows.text.clear();
    rows.starts.clear();
    rows.text.reserve(static_cast<std::size_t>(m) * (8 * static_cast<std::size_t>(m) + 2) + 2);
    constexpr std::size_t Width = 8;
    const Matrix& cp = est.CrossProducts;
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

void detail::AddConstraints(const InputSide& in, const ModelSelection& model, EstimationArrays& est) {
    Matrix& cp = est.CrossProducts;
    ForEachIdentifyingConstraint(in, model, est, [&cp](int i, int j, double product) { cp(i, j) += product; });
}

void detail::WriteConstrainedLog(const InputSide& in, const ModelSelection& model, const EstimationArrays& est, OutputFile& log,
                                 const LogRows& plain) {
    constexpr std::size_t PlainWidth = 8;
    constexpr std::size_t Widening = 4;  // block 3's fields are 12 wide
    const int m = est.ParameterCount;
    // The constraints changed, in row s + k of a predictor's block, columns
    // s + 1 .. s + k; every other entry is the very double of block 2, so
    // its text is block 2's, in a field 4 characters wider. (A text that
    // overflowed its field in block 2 makes its row formatted anew.)
    std::vector<int> firstChanged(static_cast<std::size_t>(m) + 1, m + 1);
    std::vector<int> lastChanged(static_cast<std::size_t>(m) + 1, m);
    for (int t = 1; t <= model.PredictorCount; ++t) {
        const int s = BlockStart(in, model, t);
        for (int k = 1; k <= Categories(in, model.PredictorList[t]); ++k) {
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
        const double* values = est.CrossProducts.row(r) + 1;
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

void BuildCrossProducts(const InputSide& in, const ModelSelection& model, EstimationArrays& est, OutputFile& log) {
    detail::FillCrossProducts(in, model, est);
    const Matrix& cp = est.CrossProducts;
    detail::WriteLogMatrix(log, est.ParameterCount, est.ParameterCount, 8, 1, [&](int r) { return cp.row(r) + 1; });
}

void AddIdentifyingConstraints(const InputSide& in, const ModelSelection& model, EstimationArrays& est, OutputFile& log) {
    detail::AddConstraints(in, model, est);
    const Matrix& cp = est.CrossProducts;
    const int m = est.ParameterCount;
    detail::WriteLogMatrix(log, m, m, 12, 1, [&](int r) { return cp.row(r) + 1; });
}

}  // namespace kelvo
