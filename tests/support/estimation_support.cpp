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

void BuildNormalEquations(TableSet& ts, WarningSink& warnings, OutputFile& log, const std::filesystem::path& logPath,
                          Matrix* plain) {
    CheckMarginalTotals(ts, warnings);
    BuildRightHandSides(ts, log, logPath);
    BuildCrossProducts(ts, log);
    if (plain != nullptr) *plain = ts.CrossProducts;
    AddIdentifyingConstraints(ts, log);
}

int Parameter(const TableSet& ts, int t, int k) {
    return BlockStart(ts, t) + k;
}

}  // namespace kelvo::test
