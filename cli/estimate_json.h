// The results of `kelvo-cli estimate --json`: one JSON object on one line.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "model_results.h"

namespace kelvo::cli {

// Writes the results of an estimated model as one JSON object and a line end:
// status ("ok", or "singular" when `computed` is false), the model, and when
// computed its coefficients, standard errors, prediction range, the
// combinations behind it and, when the summary is present, its "fit"; the
// "odds_ratio_model" when the results have one (also for a singular linear
// model); then `warnings`. Numbers have 17 significant digits.
void PrintJson(std::ostream& out, const ModelResults& results, bool computed, const std::vector<std::string>& warnings);

}  // namespace kelvo::cli
