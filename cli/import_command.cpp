// kelvo-cli import-csv: a table set from record-level data.
#include <iostream>

#include "cli_common.h"
#include "csv_import.h"
#include "table_set_file.h"

namespace kelvo::cli {

void RegisterImportCommand(CLI::App& app, int& status) {
    auto* command = app.add_subcommand("import-csv", "Build a table set from record-level data in a CSV file");
    struct Options {
        std::string input, output, weight, variables;
        bool truncate = false;
        CategoryOrder order = CategoryOrder::FirstSeen;
    };
    auto options = std::make_shared<Options>();
    command->add_option("DATA", options->input, "CSV file: first row the variable names, then one record per row")
        ->required();
    command->add_option("-o,--output", options->output, "Table-set file to write")->required();
    command->add_option("--weight", options->weight, "Column of whole-number frequency weights");
    command->add_option("--variables,--columns", options->variables, "Columns to use, in this order (A,B,...)");
    AddOrderOption(command, options->order,
                   "Order of the categories: first-seen (by first appearance; the default) or value (numbers by "
                   "size, other text by its characters)");
    command->add_flag("--truncate", options->truncate, "Cut names and values to 12 characters instead of refusing");
    command->callback([options, &status] {
        CsvImportOptions import;
        import.weightColumn = options->weight;
        import.truncate = options->truncate;
        import.order = options->order;
        if (!options->variables.empty()) import.variables = CLI::detail::split(options->variables, ',');
        auto ts = std::make_unique<TableSet>();
        try {
            ImportCsv(options->input, import, *ts);
        } catch (const ImportError& e) {
            throw UsageError(options->input + ": " + e.what() +
                             (e.NameTooLong() ? "; use --truncate to cut long names" : ""));
        }
        ts->FileName = options->output;
        WriteTableSet(*ts);
        std::cout << options->output << ": " << ts->VariableCount << " variables\n";
        status = ExitOk;
    });
}

}  // namespace kelvo::cli
