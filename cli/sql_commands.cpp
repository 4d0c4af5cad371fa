// kelvo-cli import-sql, pair-query and import-counts: table sets counted
// from a table in a database (SQLite, PostgreSQL) or by any engine that runs
// the counting query.
#include <iostream>

#include "cli_common.h"
#include "database_import.h"
#include "pair_query.h"
#include "table_set_file.h"

namespace kelvo::cli {

namespace {

// The options that every counting command shares.
struct CountingOptions {
    std::string table, columns, weight, where;
    CategoryOrder order = CategoryOrder::Value;
    bool truncate = false;
};

void AddTableOptions(CLI::App* command, CountingOptions& options) {
    command->add_option("--columns", options.columns, "Columns to use, in this order (A,B,...)");
    command->add_option("--weight", options.weight, "Column of whole-number frequency weights");
    command->add_option("--where", options.where,
                        "Only the records that meet this condition; it is your own SQL, put into the query as written");
}

std::vector<std::string> ColumnList(const std::string& text) {
    return text.empty() ? std::vector<std::string>{} : CLI::detail::split(text, ',');
}

// Writes the table set to `output` (atomically) and says so.
void WriteOutput(TableSet& ts, const std::string& output) {
    ts.FileName = output;
    WriteTableSet(ts);
    std::cout << output << ": " << ts.VariableCount << " variables\n";
}

[[noreturn]] void Refuse(const std::string& prefix, const ImportError& e) {
    throw UsageError(prefix + e.what() + (e.NameTooLong() ? "; use --truncate to cut long names" : ""));
}

void RegisterImportSql(CLI::App& app, int& status) {
    auto* command = app.add_subcommand(
        "import-sql", "Build a table set from a table in a database (SQLite or PostgreSQL)");
    struct Options : CountingOptions {
        std::string sqlite, postgres, output;
        bool countInDatabase = false;
    };
    auto options = std::make_shared<Options>();
    auto* sqlite = command->add_option("--sqlite", options->sqlite, "SQLite database file (opened read-only)");
    auto* postgres = command->add_option("--postgres", options->postgres,
                                         "PostgreSQL connection: \"host=... dbname=... user=...\" or postgresql://...");
    sqlite->excludes(postgres);
    command->add_option("--table", options->table, "Table (or view) that holds one record per row")->required();
    AddTableOptions(command, *options);
    AddOrderOption(command, options->order,
                   "Order of the categories: value (numbers by size, other text by its characters; the default) "
                   "or first-seen (by first appearance; SQLite only)");
    command->add_flag("--truncate", options->truncate, "Cut names and values to 12 characters instead of refusing");
    command->add_flag("--count-in-database", options->countInDatabase,
                      "Let the database count the pairs and send only the counts (for a server far away); by default "
                      "the records are read in one pass and counted here");
    command->add_option("-o,--output", options->output, "Table-set file to write")->required();
    command->callback([options, &status] {
        if (options->sqlite.empty() && options->postgres.empty())
            throw UsageError("import-sql needs --sqlite FILE or --postgres CONNINFO");
        SqlImportOptions import;
        import.table = options->table;
        import.columns = ColumnList(options->columns);
        import.weight = options->weight;
        import.where = options->where;
        import.counting = {options->truncate, options->order};
        import.countInDatabase = options->countInDatabase;
        auto ts = std::make_unique<TableSet>();
        try {
            if (!options->sqlite.empty()) ImportSqlite(options->sqlite, import, *ts);
            else ImportPostgres(options->postgres, import, *ts);
        } catch (const ImportError& e) {
            Refuse({}, e);
        }
        WriteOutput(*ts, options->output);
        status = ExitOk;
    });
}

void RegisterPairQuery(CLI::App& app, int& status) {
    auto* command = app.add_subcommand(
        "pair-query", "Print the SQL query that counts every pair of columns (to run on any SQL engine)");
    struct Options : CountingOptions {
        std::string dialect;
    };
    auto options = std::make_shared<Options>();
    command->add_option("--dialect", options->dialect, "SQL dialect: ansi, postgres, sqlite or spark")
        ->required()
        ->check(CLI::IsMember({"ansi", "postgres", "sqlite", "spark"}));
    command->add_option("--table", options->table, "Table that holds one record per row")->required();
    AddTableOptions(command, *options);
    command->get_option("--columns")->required();
    AddOrderOption(command, options->order,
                   "Order of the categories that import-counts will give: value (the default) or first-seen "
                   "(sqlite only: the query then also yields each value's first rowid)");
    command->callback([options, &status] {
        PairQueryOptions spec;
        spec.dialect = *DialectNamed(options->dialect);
        spec.table = options->table;
        spec.columns = ColumnList(options->columns);
        spec.weight = options->weight;
        spec.where = options->where;
        spec.order = options->order;
        try {
            std::cout << PairQuery(spec);
        } catch (const ImportError& e) {
            Refuse({}, e);
        }
        status = ExitOk;
    });
}

void RegisterImportCounts(CLI::App& app, int& status) {
    auto* command = app.add_subcommand(
        "import-counts", "Build a table set from the result of the pair-query query, exported as CSV with a header");
    struct Options : CountingOptions {
        std::string input, output;
    };
    auto options = std::make_shared<Options>();
    command->add_option("RESULT", options->input, "CSV file: the query's result, first row the column names")
        ->required();
    command->add_option("-o,--output", options->output, "Table-set file to write")->required();
    AddOrderOption(command, options->order,
                   "Order of the categories: value (the default) or first-seen (needs the query made with "
                   "--order first-seen)");
    command->add_flag("--truncate", options->truncate, "Cut names and values to 12 characters instead of refusing");
    command->callback([options, &status] {
        auto ts = std::make_unique<TableSet>();
        try {
            ImportCounts(options->input, {options->truncate, options->order}, *ts);
        } catch (const ImportError& e) {
            Refuse(options->input + ": ", e);
        }
        WriteOutput(*ts, options->output);
        status = ExitOk;
    });
}

}  // namespace

void RegisterSqlCommands(CLI::App& app, int& status) {
    RegisterImportSql(app, status);
    RegisterPairQuery(app, status);
    RegisterImportCounts(app, status);
}

}  // namespace kelvo::cli
