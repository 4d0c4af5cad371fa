#include "model_options.h"

#include <iostream>
#include <vector>

#include "cli_common.h"
#include "estimation.h"
#include "latin1.h"
#include "model_fit.h"

namespace kelvo::cli {

namespace {

int FindVariableNamed(const TableSet& ts, const std::string& name) {
    if (name.empty()) throw UsageError("empty variable name");
    if (const int v = FindVariable(ts, name)) return v;
    // A name typed in a UTF-8 terminal finds the Latin-1 name it spells.
    if (const auto latin1 = Utf8ToLatin1(name); latin1 && *latin1 != name)
        if (const int v = FindVariable(ts, *latin1)) return v;
    throw UsageError("no variable named \"" + name + "\"");
}

}  // namespace

void AddModelOptions(CLI::App* command, ModelOptions& options) {
    command->add_option("--dependent", options.dependent, "Name of the dependent variable")->required();
    command->add_option("--predictors", options.predictors, "Names of the predictor variables, separated by commas")
        ->required();
    command->add_option("--log", options.log,
                        "Where to write the estimation log (default: log); only a regular file is written, "
                        "never through a symbolic link");
}

ModelCommand AddModelCommand(CLI::App& app, const std::string& name, const std::string& description) {
    ModelCommand model{app.add_subcommand(name, description), std::make_shared<std::string>(),
                       std::make_shared<ModelOptions>()};
    model.command->add_option("FILE", *model.path, "Table-set file (.tbl)")->required();
    AddModelOptions(model.command, *model.options);
    return model;
}

void ApplyModelOptions(TableSet& ts, const ModelOptions& options) {
    const int dependent = FindVariableNamed(ts, options.dependent);
    if (options.predictors.empty()) throw UsageError("--predictors names no variable");
    std::vector<int> predictors;
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = options.predictors.find(',', start);
        const std::string name = options.predictors.substr(start, comma == std::string::npos ? comma : comma - start);
        if (name.empty()) throw UsageError("empty variable name in --predictors \"" + options.predictors + "\"");
        const int v = FindVariableNamed(ts, name);
        if (v == dependent)
            throw UsageError("\"" + name + "\" is the dependent variable and cannot be a predictor too");
        for (const int earlier : predictors)
            if (earlier == v) throw UsageError("\"" + name + "\" is given twice in --predictors");
        predictors.push_back(v);
        if (comma == std::string::npos) break;
        start = comma + 1;
    }

    for (int v = 1; v <= ts.VariableCount; ++v) ts.VariableRoles[v] = 0;
    ts.VariableRoles[dependent] = 1;
    for (const int v : predictors) ts.VariableRoles[v] = 2;
    SelectModelFromRoles(ts, ts);
    ts.ResultsAvailable = true;
}

EstimatedModel EstimateModel(const std::string& path, const ModelOptions& options, WarningSink& warnings) {
    EstimatedModel model;
    model.ts = ReadInput(path, warnings, &model.complete);
    ApplyModelOptions(*model.ts, options);
    model.computed = ComputeEstimates(*model.ts, warnings, options.log);
    if (model.computed) ComputeModelSummary(*model.ts);
    return model;
}

EstimatedModel EstimateForOutput(const std::string& path, const ModelOptions& options, WarningSink& warnings,
                                 const char* product, int& status) {
    EstimatedModel model = EstimateModel(path, options, warnings);
    if (!model.computed) {
        std::cerr << "kelvo-cli: the model is singular; no " << product << " written\n";
        status = StatusAfterRead(model.complete, path, ExitFindings);
    }
    return model;
}

}  // namespace kelvo::cli
