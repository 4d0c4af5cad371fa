#include "estimation_support.h"

#include "estimation.h"

namespace kelvo::test {

bool Estimate(TableSet& ts, int dependent, const std::vector<int>& predictors, WarningSink& warnings,
              const std::filesystem::path& log) {
    ts.VariableRoles = {};
    ts.VariableRoles[dependent] = 1;
    for (const int p : predictors) ts.VariableRoles[p] = 2;
    SelectModelFromRoles(ts);
    return ComputeEstimates(ts, warnings, log);
}

int Parameter(const TableSet& ts, int t, int k) {
    return BlockStart(ts, t) + k;
}

}  // namespace kelvo::test
