// The largest table set KELVO holds, for benchmarks and tests: 16 variables
// of 16 categories, all 120 pair tables filled with varied counts below
// 100,000 (not consistent with one another).
#pragma once

#include <memory>
#include <string>

#include "table_set.h"

namespace kelvo::test {

inline std::unique_ptr<TableSet> MakeLargestTableSet() {
    auto ts = std::make_unique<TableSet>();
    ts->VariableCount = MaxVariables;
    for (int v = 1; v <= MaxVariables; ++v) {
        ts->VariableNames[v] = "Variable" + std::to_string(v);
        ts->CategoryCounts[v] = MaxCategories;
        for (int n = 1; n <= MaxCategories; ++n) ts->CategoryNames[v][n] = "Category" + std::to_string(n);
    }
    for (int k = 1; k <= MaxPairTables; ++k)
        for (int x = 1; x <= MaxCategories; ++x)
            for (int y = 1; y <= MaxCategories; ++y) ts->PairTables[k][x][y] = (k * 7919 + x * 104729 + y) % 100000;
    return ts;
}

}  // namespace kelvo::test
