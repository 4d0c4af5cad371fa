// The model options shared by the commands that estimate a model:
// --dependent NAME, --predictors NAME[,NAME...] and --log PATH.
#pragma once

#include <CLI/CLI.hpp>
#include <memory>
#include <string>

#include "table_set.h"
#include "warnings.h"

namespace kelvo::cli {

struct ModelOptions {
    std::string dependent;    // a variable name
    std::string predictors;   // variable names separated by commas
    std::string log = "log";  // where the estimation log is written
};

// Adds the options to `command`; --dependent and --predictors are required.
void AddModelOptions(CLI::App* command, ModelOptions& options);

// A subcommand of `app` that estimates a model of a table-set file: its
// required FILE and the model options; the command adds its own after them.
struct ModelCommand {
    CLI::App* command;
    std::shared_ptr<std::string> path;
    std::shared_ptr<ModelOptions> options;
};
ModelCommand AddModelCommand(CLI::App& app, const std::string& name, const std::string& description);

// Selects the model in `ts` as the model selection window does: the roles of
// all variables are set (the dependent 1, the predictors 2, the others 0), the
// selection is rebuilt from them in variable order, and ResultsAvailable is
// set. Names match exactly, as FindVariable does; a name typed in UTF-8 also
// finds the variable whose Latin-1 name it spells. Throws UsageError, leaving
// `ts` unchanged, for an unknown name, an empty name or list, a predictor
// given twice, or the dependent among the predictors.
void ApplyModelOptions(TableSet& ts, const ModelOptions& options);

// The table-set file `path` read, the model of `options` selected and
// estimated, and, when it is not singular, its summary computed, as the
// desktop program's Compute does. `computed` is false for a singular model,
// `complete` false when a warning stopped the reading of the file.
struct EstimatedModel {
    std::unique_ptr<TableSet> ts;
    bool computed = false;
    bool complete = true;
};
EstimatedModel EstimateModel(const std::string& path, const ModelOptions& options, WarningSink& warnings);

// For the commands that write the results of a model: EstimateModel, with a
// singular model reported on stderr ("no `product` written") and recorded in
// `status` (ExitFindings, or ExitPartialRead after an incomplete read).
EstimatedModel EstimateForOutput(const std::string& path, const ModelOptions& options, WarningSink& warnings,
                                 const char* product, int& status);

}  // namespace kelvo::cli
