// The fixed limits of a table set.
#pragma once

namespace kelvo {

constexpr int MaxVariables = 16;
constexpr int MaxCategories = 16;
constexpr int MaxNameLength = 12;
constexpr int MaxPairTables = 120;
// 1 + 15 predictors x 16 categories: the largest model a table set allows.
constexpr int MaxParameters = 1 + (MaxVariables - 1) * MaxCategories;

}  // namespace kelvo
