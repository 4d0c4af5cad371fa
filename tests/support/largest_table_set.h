// The largest table sets KELVO holds, for benchmarks and tests: 16 variables
// of 16 categories, all 120 pair tables filled.
#pragma once

#include <cstdint>
#include <memory>
#include <random>
#include <vector>
#include <string>
#include <vector>

#include "table_set.h"

namespace kelvo::test {

// Varied counts below 100,000, not consistent with one another.
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

// A table set of `variables` variables with `categories` categories each,
// whose pair tables are counted from `records` random records (so they are
// consistent and every category occurs); each variable follows the first one
// now and then, so that the tables are not flat.
inline std::unique_ptr<TableSet> CountedTableSet(int variables, int categories, int records) {
    auto ts = std::make_unique<TableSet>();
    ts->VariableCount = variables;
    for (int v = 1; v <= variables; ++v) {
        ts->VariableNames[v] = "Variable" + std::to_string(v);
        ts->CategoryCounts[v] = static_cast<std::uint8_t>(categories);
        for (int n = 1; n <= categories; ++n) ts->CategoryNames[v][n] = "Category" + std::to_string(n);
    }
    std::mt19937 random(20240611);
    std::uniform_int_distribution<int> category(1, categories);
    std::vector<int> record(static_cast<std::size_t>(variables) + 1);
    for (int n = 0; n < records; ++n) {
        for (int v = 1; v <= variables; ++v) record[v] = v > 1 && category(random) <= 2 ? record[1] : category(random);
        for (int i = 2; i <= variables; ++i)
            for (int j = 1; j < i; ++j) ++ts->PairTables[PairIndex(i, j)][record[i]][record[j]];
    }
    return ts;
}

// A consistent table set of 16 variables of 16 categories, counted from
// 50,000 records that a fixed linear congruential generator draws (so the
// counts are the same with every standard library). A hidden class links the
// variables, so the predictors are correlated and every category occurs.
inline std::unique_ptr<TableSet> MakeCountedLargestTableSet() {
    auto ts = std::make_unique<TableSet>();
    ts->VariableCount = MaxVariables;
    ResetCategoryNames(*ts);
    for (int v = 1; v <= MaxVariables; ++v) {
        ts->VariableNames[v] = "Variable" + std::to_string(v);
        ts->CategoryCounts[v] = MaxCategories;
    }
    std::uint64_t state = 20240611;
    const auto draw = [&state](int n) {
        state = state * 6364136223846793005u + 1442695040888963407u;
        return static_cast<int>((state >> 33) % static_cast<std::uint64_t>(n));
    };
    std::vector<int> record(MaxVariables + 1);
    for (int n = 0; n < 50000; ++n) {
        const int hidden = draw(3);
        for (int v = 1; v <= MaxVariables; ++v)
            record[v] = draw(5) < 2 ? (hidden * 5 + v) % MaxCategories + 1 : draw(MaxCategories) + 1;
        for (int i = 2; i <= MaxVariables; ++i)
            for (int j = 1; j < i; ++j) ++ts->PairTables[PairIndex(i, j)][record[i]][record[j]];
    }
    return ts;
}

// The largest model of a counted table set: dependent 1 on predictors 2..16,
// 241 parameters.
inline std::unique_ptr<TableSet> LargestCountedModel() {
    auto ts = MakeCountedLargestTableSet();
    ts->DependentVariable = 1;
    ts->PredictorCount = MaxVariables - 1;
    for (int t = 1; t < MaxVariables; ++t) ts->PredictorList[t] = t + 1;
    return ts;
}

}  // namespace kelvo::test
