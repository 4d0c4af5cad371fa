#include "model_options.h"

#include <vector>

#include "cli_common.h"
#include "estimation.h"
#include "latin1.h"

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
    SelectModelFromRoles(ts);
    ts.ResultsAvailable = true;
}

}  // namespace kelvo::cli
