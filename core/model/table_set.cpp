#include "table_set.h"

#include <algorithm>

namespace kelvo {

int FindVariable(const InputSide& ts, std::string_view name) {
    int found = 0;
    for (int v = 1; v <= ts.VariableCount && v <= MaxVariables; ++v) {
        if (ts.VariableNames[v] == name) found = v;
    }
    return found;
}

std::int32_t PairCell(const InputSide& ts, int a, int x, int b, int y) {
    if (a > b) return ts.PairTables[PairIndex(a, b)][x][y];
    return ts.PairTables[PairIndex(b, a)][y][x];
}

PairTableTotals TotalsOf(const PairTable& table, int rows, int columns) {
    rows = std::clamp(rows, 0, MaxCategories);
    columns = std::clamp(columns, 0, MaxCategories);
    PairTableTotals totals;
    for (int r = 1; r <= rows; ++r)
        for (int c = 1; c <= columns; ++c) {
            const std::int64_t cell = table[r][c];
            totals.rows[r] += cell;
            totals.columns[c] += cell;
            totals.grand += cell;
        }
    return totals;
}

PairTableTotals PairTotals(const InputSide& ts, int i, int j) {
    return TotalsOf(ts.PairTables[PairIndex(i, j)], ts.CategoryCounts[i], ts.CategoryCounts[j]);
}

void ResetCategoryNames(InputSide& ts) {
    for (int v = 1; v <= MaxVariables; ++v)
        for (int n = 1; n <= MaxCategories; ++n) ts.CategoryNames[v][n] = "C" + std::to_string(n);
}

std::string BaseNameOf(std::string_view path) {
    const auto slash = path.find_last_of('/');
    std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    const auto dot = name.find('.');
    // A name without any "." has no base name before a "." at all.
    if (dot == std::string_view::npos) return std::string();
    return std::string(name.substr(0, dot));
}

}  // namespace kelvo
