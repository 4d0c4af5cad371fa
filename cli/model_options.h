// The model options shared by the commands that estimate a model:
// --dependent NAME, --predictors NAME[,NAME...] and --log PATH.
#pragma once

#include <CLI/CLI.hpp>
#include <string>

#include "table_set.h"

namespace kelvo::cli {

struct ModelOptions {
    std::string dependent;    // a variable name
    std::string predictors;   // variable names separated by commas
    std::string log = "log";  // where the estimation log is written
};

// Adds the options to `command`; --dependent and --predictors are required.
void AddModelOptions(CLI::App* command, ModelOptions& options);

// Selects the model in `ts` as the model selection window does: the roles of
// all variables are set (the dependent 1, the predictors 2, the others 0), the
// selection is rebuilt from them in variable order, and ResultsAvailable is
// set. Names match exactly, as FindVariable does; a name typed in UTF-8 also
// finds the variable whose Latin-1 name it spells. Throws UsageError, leaving
// `ts` unchanged, for an unknown name, an empty name or list, a predictor
// given twice, or the dependent among the predictors.
void ApplyModelOptions(TableSet& ts, const ModelOptions& options);

}  // namespace kelvo::cli
