#include "estimation_support.h"

#include "estimation.h"
#include "test_support.h"

namespace kelvo::test {

TableSet ThirtySeventy(bool predictorFirst) {
    TableSet ts = predictorFirst ? MakeTableSet({{"Group", {"A", "B"}}, {"Vote", {"Yes", "No"}}})
                                 : MakeTableSet({{"Vote", {"Yes", "No"}}, {"Group", {"A", "B"}}});
    const int group = predictorFirst ? 1 : 2;
    SetTable(ts, group, 3 - group, {{10, 20}, {35, 35}});
    return ts;
}

bool Estimate(TableSet& ts, int dependent, const std::vector<int>& predictors, WarningSink& warnings,
              const std::filesystem::path& log) {
    ts.VariableRoles = {};
    ts.VariableRoles[dependent] = 1;
    for (const int p : predictors) ts.VariableRoles[p] = 2;
    SelectModelFromRoles(ts, ts);
    return ComputeEstimates(ts, warnings, log);
}

void BuildNormalEquations(TableSet& ts, WarningSink& warnings, OutputFile& log, const std::filesystem::path& logPath,
                          Matrix* plain) {
    CheckMarginalTotals(ts, ts, warnings);
    BuildRightHandSides(ts, ts, ts, log, logPath);
    BuildCrossProducts(ts, ts, ts, log);
    if (plain != nullptr) *plain = ts.CrossProducts;
    AddIdentifyingConstraints(ts, ts, ts, log);
}

int Parameter(const TableSet& ts, int t, int k) {
    return BlockStart(ts, ts, t) + k;
}

}  // namespace kelvo::test
