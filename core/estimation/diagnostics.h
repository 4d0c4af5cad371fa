// A closer look at a table set than the consistency check gives: where the
// totals of a variable disagree, which categories have no cases, and which
// pair tables are empty.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "table_set.h"

namespace kelvo {

// The totals of one variable's categories as one pair table gives them.
struct TableTotals {
    int table = 0;  // PairIndex of the table
    int other = 0;  // the other variable of the table
    std::vector<std::int64_t> totals;  // per category of the variable, from 1 (index 0 unused)
    std::int64_t grandTotal = 0;
};

// A variable whose tables do not all give it the same totals.
struct TotalsMismatch {
    int variable = 0;
    std::vector<TableTotals> tables;  // every table of the variable, in pair order
};

struct TableSetDiagnostics {
    std::vector<TotalsMismatch> mismatches;
    // (variable, category) pairs whose marginal count is 0, by the totals the
    // estimation uses (a variable's first table in pair order).
    std::vector<std::pair<int, int>> emptyCategories;
    std::vector<int> emptyTables;  // PairIndex of every table whose cells are all 0
};

TableSetDiagnostics DiagnoseTableSet(const InputSide& ts);

// The findings as lines of text for people, one finding a line (details of
// a mismatch on indented lines); no lines when there is nothing to report.
std::vector<std::string> DescribeDiagnostics(const InputSide& ts, const TableSetDiagnostics& diagnostics);

}  // namespace kelvo
