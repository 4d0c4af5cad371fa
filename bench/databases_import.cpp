// The commands import-csv and import-sql as kelvo-cli runs them (parsing the
// arguments, counting, writing the table-set file), in this process, on
// 1,000,000 weighted records of 16 columns: as a CSV file, in SQLite and in a
// PostgreSQL server of the benchmark's own (wall-clock time, the server's
// work included). Loading the databases is not timed. Counting inside the
// database, meant for a server far away, is timed on 4 of the columns,
// whose few combinations of values it counts first. Every command must
// write the same table-set file as import-csv; a difference fails the run.
#include <benchmark/benchmark.h>

#include <iostream>
#include <sstream>

#include "cli_common.h"
#include "database_support.h"
#include "record_file.h"
#include "test_support.h"

namespace {

constexpr int Records = 1000000;
const std::string FewColumns = "Variable1,Variable2,Variable3,Variable4";

std::string WeightedTable() {
    std::string columns;
    for (int c = 1; c <= 16; ++c) columns += "\"Variable" + std::to_string(c) + "\" text, ";
    return "CREATE TABLE records (" + columns + "\"Weight\" integer);\n";
}

// Runs one kelvo-cli command as its main() does; what it prints is kept
// from the benchmark's report. Throws when the command fails.
void RunCommand(const std::vector<std::string>& arguments) {
    CLI::App app{"kelvo-cli", "kelvo-cli"};
    app.require_subcommand(1);
    int status = kelvo::cli::ExitOk;
    kelvo::cli::RegisterImportCommand(app, status);
    kelvo::cli::RegisterSqlCommands(app, status);
    std::vector<const char*> argv = {"kelvo-cli"};
    for (const std::string& argument : arguments) argv.push_back(argument.c_str());
    std::ostringstream printed;
    std::streambuf* const out = std::cout.rdbuf(printed.rdbuf());
    try {
        app.parse(static_cast<int>(argv.size()), argv.data());
    } catch (...) {
        std::cout.rdbuf(out);
        throw;
    }
    std::cout.rdbuf(out);
    if (status != kelvo::cli::ExitOk) throw std::runtime_error("exit status " + std::to_string(status));
}

// Times `arguments` (with -o FILE added) and checks the file it wrote
// against import-csv's of the same columns.
void TimeCommand(benchmark::State& state, std::vector<std::string> arguments, const std::string& columns = {}) {
    kelvo::test::TempDir dir;
    const auto csv = kelvo::test::WeightedRecordFile(Records);
    std::vector<std::string> expected = {"import-csv", csv.string(), "--weight", "Weight", "--order", "value"};
    if (!columns.empty()) {
        expected.insert(expected.end(), {"--columns", columns});
        arguments.insert(arguments.end(), {"--columns", columns});
    }
    expected.insert(expected.end(), {"-o", (dir / "csv.tbl").string()});
    arguments.insert(arguments.end(), {"-o", (dir / "out.tbl").string()});
    try {
        RunCommand(expected);
        for (auto _ : state) RunCommand(arguments);
    } catch (const std::exception& e) {
        return state.SkipWithError(e.what());
    }
    if (kelvo::test::ReadFile(dir / "out.tbl") != kelvo::test::ReadFile(dir / "csv.tbl"))
        state.SkipWithError("the table set differs from import-csv's");
}

// The records in an SQLite file, made once.
const std::filesystem::path& SqliteFile() {
    static const kelvo::test::TempDir dir;
    static const std::filesystem::path db = [] {
        const auto path = dir / "records.db";
        const auto made = kelvo::test::RunSqlite(path, WeightedTable() + ".import --csv --skip 1 " +
                                                           kelvo::test::WeightedRecordFile(Records).string() + " records\n");
        if (made.status != 0) throw std::runtime_error(made.err);
        return path;
    }();
    return db;
}

// The records in a PostgreSQL server, started and loaded once.
std::string PostgresConninfo() {
    static const std::unique_ptr<kelvo::test::PostgresServer> server = [] {
        auto started = std::make_unique<kelvo::test::PostgresServer>();
        const auto made = started->Psql(WeightedTable() + "\\copy records FROM '" +
                                        kelvo::test::WeightedRecordFile(Records).string() + "' CSV HEADER\nANALYZE records;\n");
        if (made.status != 0) throw std::runtime_error(made.err);
        return started;
    }();
    return server->Conninfo();
}

void BM_ImportCsvWeightedMillion(benchmark::State& state) {
    TimeCommand(state, {"import-csv", kelvo::test::WeightedRecordFile(Records).string(), "--weight", "Weight", "--order",
                        "value"});
}
BENCHMARK(BM_ImportCsvWeightedMillion)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

void BM_ImportSqliteWeightedMillion(benchmark::State& state) {
    TimeCommand(state, {"import-sql", "--sqlite", SqliteFile().string(), "--table", "records", "--weight", "Weight"});
}
BENCHMARK(BM_ImportSqliteWeightedMillion)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

void BM_ImportPostgresWeightedMillion(benchmark::State& state) {
    TimeCommand(state, {"import-sql", "--postgres", PostgresConninfo(), "--table", "records", "--weight", "Weight"});
}
BENCHMARK(BM_ImportPostgresWeightedMillion)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

void BM_ImportSqliteInDatabaseFourColumns(benchmark::State& state) {
    TimeCommand(state,
                {"import-sql", "--sqlite", SqliteFile().string(), "--table", "records", "--weight", "Weight",
                 "--count-in-database"},
                FewColumns);
}
BENCHMARK(BM_ImportSqliteInDatabaseFourColumns)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

void BM_ImportPostgresInDatabaseFourColumns(benchmark::State& state) {
    TimeCommand(state,
                {"import-sql", "--postgres", PostgresConninfo(), "--table", "records", "--weight", "Weight",
                 "--count-in-database"},
                FewColumns);
}
BENCHMARK(BM_ImportPostgresInDatabaseFourColumns)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

}  // namespace
