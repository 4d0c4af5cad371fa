#include "diagnostics.h"

#include <algorithm>

namespace kelvo {

namespace {

// The totals of variable v's categories in its table with variable w.
TableTotals TotalsIn(const InputSide& ts, int v, int w) {
    TableTotals result;
    result.table = v > w ? PairIndex(v, w) : PairIndex(w, v);
    result.other = w;
    const PairTableTotals totals = v > w ? PairTotals(ts, v, w) : PairTotals(ts, w, v);
    const auto& ofV = v > w ? totals.rows : totals.columns;
    result.totals.assign(ofV.begin(), ofV.begin() + std::min<int>(ts.CategoryCounts[v], MaxCategories) + 1);
    result.totals[0] = 0;
    result.grandTotal = totals.grand;
    return result;
}

std::string TableName(const InputSide& ts, int table, int v, int w) {
    const int i = std::max(v, w), j = std::min(v, w);
    return "table " + std::to_string(table) + " (" + ts.VariableNames[i].str() + " by " + ts.VariableNames[j].str() + ")";
}

}  // namespace

TableSetDiagnostics DiagnoseTableSet(const InputSide& ts) {
    TableSetDiagnostics result;
    const int count = ts.VariableCount;
    if (count < 2) return result;
    for (int v = 1; v <= count; ++v) {
        // The variable's tables in pair order: first those with the earlier
        // variables (rows of v), then those with the later ones.
        TotalsMismatch mismatch;
        mismatch.variable = v;
        for (int w = 1; w <= count; ++w)
            if (w != v) mismatch.tables.push_back(TotalsIn(ts, v, w));
        std::sort(mismatch.tables.begin(), mismatch.tables.end(),
                  [](const TableTotals& a, const TableTotals& b) { return a.table < b.table; });
        const TableTotals& first = mismatch.tables.front();
        for (int x = 1; x <= ts.CategoryCounts[v]; ++x)
            if (first.totals[static_cast<std::size_t>(x)] == 0) result.emptyCategories.emplace_back(v, x);
        for (const TableTotals& other : mismatch.tables)
            if (other.totals != first.totals) {
                result.mismatches.push_back(mismatch);
                break;
            }
    }
    // A table is empty when all its cells are 0; a table of positive and
    // negative counts summing to 0 is not.
    for (int i = 2; i <= count; ++i)
        for (int j = 1; j < i; ++j) {
            const PairTable& table = ts.PairTables[PairIndex(i, j)];
            bool empty = true;
            for (int x = 1; x <= ts.CategoryCounts[i] && empty; ++x)
                for (int y = 1; y <= ts.CategoryCounts[j]; ++y)
                    if (table[x][y] != 0) empty = false;
            if (empty) result.emptyTables.push_back(PairIndex(i, j));
        }
    return result;
}

std::vector<std::string> DescribeDiagnostics(const InputSide& ts, const TableSetDiagnostics& diagnostics) {
    std::vector<std::string> lines;
    for (const TotalsMismatch& mismatch : diagnostics.mismatches) {
        const int v = mismatch.variable;
        lines.push_back("Totals do not match for variable " + ts.VariableNames[v].str() + ":");
        for (const TableTotals& table : mismatch.tables) {
            std::string line = "  " + TableName(ts, table.table, v, table.other) + ":";
            for (int x = 1; x <= ts.CategoryCounts[v]; ++x)
                line += (x > 1 ? ", " : " ") + ts.CategoryNames[v][x].str() + " " +
                        std::to_string(table.totals[static_cast<std::size_t>(x)]);
            line += "; total " + std::to_string(table.grandTotal);
            lines.push_back(line);
        }
    }
    for (const auto& [v, x] : diagnostics.emptyCategories)
        lines.push_back("No cases in category " + ts.CategoryNames[v][x].str() + " of variable " +
                        ts.VariableNames[v].str() + ": a model with " + ts.VariableNames[v].str() +
                        " as a predictor is singular");
    for (const int k : diagnostics.emptyTables) {
        int i = 2;
        while (PairIndex(i + 1, 1) <= k) ++i;
        const int j = k - PairIndex(i, 1) + 1;
        lines.push_back("All cells are 0 in " + TableName(ts, k, i, j));
    }
    return lines;
}

}  // namespace kelvo
