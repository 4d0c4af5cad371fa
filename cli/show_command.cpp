// kelvo-cli show and copy: look into a table-set file, or rewrite it.
#include <iostream>

#include <nlohmann/json.hpp>

#include "cli_common.h"
#include "table_set_file.h"

namespace kelvo::cli {

namespace {

void PrintText(const TableSet& ts) {
    for (int v = 1; v <= ts.VariableCount; ++v) {
        std::cout << v << ' ' << ts.VariableNames[v].str() << " (" << int(ts.CategoryCounts[v]) << " categories): ";
        for (int n = 1; n <= ts.CategoryCounts[v]; ++n)
            std::cout << (n > 1 ? ", " : "") << ts.CategoryNames[v][n].str();
        std::cout << '\n';
    }
}

void PrintJson(const TableSet& ts) {
    nlohmann::ordered_json variables = nlohmann::ordered_json::array();
    for (int v = 1; v <= ts.VariableCount; ++v) {
        nlohmann::ordered_json categories = nlohmann::ordered_json::array();
        for (int n = 1; n <= ts.CategoryCounts[v]; ++n) categories.push_back(Latin1ToUtf8(ts.CategoryNames[v][n]));
        variables.push_back({{"name", Latin1ToUtf8(ts.VariableNames[v])}, {"categories", categories}});
    }
    nlohmann::ordered_json tables = nlohmann::ordered_json::array();
    for (int i = 2; i <= ts.VariableCount; ++i)
        for (int j = 1; j < i; ++j) {
            const int k = PairIndex(i, j);
            nlohmann::ordered_json cells = nlohmann::ordered_json::array();
            for (int x = 1; x <= ts.CategoryCounts[i]; ++x) {
                nlohmann::ordered_json row = nlohmann::ordered_json::array();
                for (int y = 1; y <= ts.CategoryCounts[j]; ++y) row.push_back(ts.PairTables[k][x][y]);
                cells.push_back(row);
            }
            tables.push_back({{"index", k},
                              {"rows", Latin1ToUtf8(ts.VariableNames[i])},
                              {"columns", Latin1ToUtf8(ts.VariableNames[j])},
                              {"cells", cells}});
        }
    const nlohmann::ordered_json out = {{"variables", variables}, {"tables", tables}};
    std::cout << out.dump() << '\n';
}

}  // namespace

void RegisterShowCommand(CLI::App& app, int& status) {
    auto* show = app.add_subcommand("show", "List the variables and categories of a table-set file");
    auto path = std::make_shared<std::string>();
    auto json = std::make_shared<bool>(false);
    show->add_option("FILE", *path, "Table-set file (.tbl)")->required();
    show->add_flag("--json", *json, "Print the whole table set, tables included, as JSON");
    show->callback([path, json, &status] {
        StderrWarningSink warnings;
        const auto ts = ReadInput(*path, warnings);
        if (*json) PrintJson(*ts);
        else PrintText(*ts);
        status = ExitOk;
    });
}

void RegisterCopyCommand(CLI::App& app, int& status) {
    auto* copy = app.add_subcommand("copy", "Read a table-set file and write it again in the standard layout");
    auto in = std::make_shared<std::string>();
    auto out = std::make_shared<std::string>();
    copy->add_option("IN", *in, "Table-set file to read")->required();
    copy->add_option("OUT", *out, "Table-set file to write (replaced as a whole)")->required();
    copy->callback([in, out, &status] {
        StderrWarningSink warnings;
        auto ts = ReadInput(*in, warnings);
        ts->FileName = *out;
        WriteTableSet(*ts);
        status = ExitOk;
    });
}

}  // namespace kelvo::cli
