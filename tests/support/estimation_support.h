// Helpers for tests that run the estimation.
#pragma once

#include <filesystem>
#include <vector>

#include "table_set.h"
#include "text_file.h"
#include "warnings.h"

namespace kelvo::test {

// The worked example of the estimation: predictor "Group" (categories A and
// B with 30 and 70 cases) and dependent "Vote" (Yes, No); 10 of the 30 and 35
// of the 70 vote Yes. The predictor is variable 1 or, with predictorFirst
// false, variable 2.
TableSet ThirtySeventy(bool predictorFirst = true);

// Stores the model (dependent variable, predictors in increasing order) as the
// model selection does and runs the whole estimation, writing the log to
// `log`. Returns what ComputeEstimates returns.
bool Estimate(TableSet& ts, int dependent, const std::vector<int>& predictors, WarningSink& warnings,
              const std::filesystem::path& log);

// The steps of the estimation up to the inversion: the consistency check and
// the normal equations with their constraints, the log created at `logPath`.
// `plain`, when given, receives the cross products before the constraints.
void BuildNormalEquations(TableSet& ts, WarningSink& warnings, OutputFile& log, const std::filesystem::path& logPath,
                          Matrix* plain = nullptr);

// The parameter of category k of the t-th predictor of the stored model.
int Parameter(const TableSet& ts, int t, int k);

}  // namespace kelvo::test
