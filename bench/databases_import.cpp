// Counting 1,000,000 weighted records of 16 columns inside SQLite and inside
// a PostgreSQL server (wall-clock time, the server's work included), beside
// the CSV importer on the same records. Loading the databases is not timed.
// Every path must give the same table-set file; a difference fails the run.
#include <benchmark/benchmark.h>

#include <memory>

#include "csv_import.h"
#include "database_import.h"
#include "database_support.h"
#include "record_file.h"
#include "table_set_file.h"
#include "test_support.h"

namespace {

constexpr int Records = 1000000;

std::string WeightedTable() {
    std::string columns;
    for (int c = 1; c <= 16; ++c) columns += "\"Variable" + std::to_string(c) + "\" text, ";
    return "CREATE TABLE records (" + columns + "\"Weight\" integer);\n";
}

kelvo::SqlImportOptions Options() {
    kelvo::SqlImportOptions options;
    options.table = "records";
    options.weight = "Weight";
    options.counting.order = kelvo::CategoryOrder::Value;
    return options;
}

// The table set of the CSV importer, for the comparison.
const std::string& CsvText() {
    static const std::string text = [] {
        kelvo::CsvImportOptions options;
        options.weightColumn = "Weight";
        options.order = kelvo::CategoryOrder::Value;
        auto ts = std::make_unique<kelvo::TableSet>();
        kelvo::ImportCsv(kelvo::test::WeightedRecordFile(Records), options, *ts);
        return kelvo::TableSetText(*ts);
    }();
    return text;
}

void Compare(benchmark::State& state, const kelvo::TableSet& ts) {
    if (kelvo::TableSetText(ts) != CsvText()) state.SkipWithError("the table set differs from the CSV import's");
}

void BM_CsvWeightedMillion(benchmark::State& state) {
    kelvo::CsvImportOptions options;
    options.weightColumn = "Weight";
    options.order = kelvo::CategoryOrder::Value;
    auto ts = std::make_unique<kelvo::TableSet>();
    const auto path = kelvo::test::WeightedRecordFile(Records);
    for (auto _ : state) kelvo::ImportCsv(path, options, *ts);
    Compare(state, *ts);
}
BENCHMARK(BM_CsvWeightedMillion)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

void BM_SqliteWeightedMillion(benchmark::State& state) {
    kelvo::test::TempDir dir;
    const auto db = dir / "records.db";
    const auto made = kelvo::test::RunSqlite(
        db, WeightedTable() + ".import --csv --skip 1 " + kelvo::test::WeightedRecordFile(Records).string() + " records\n");
    if (made.status != 0) return state.SkipWithError(made.err.c_str());
    auto ts = std::make_unique<kelvo::TableSet>();
    for (auto _ : state) kelvo::ImportSqlite(db, Options(), *ts);
    Compare(state, *ts);
}
BENCHMARK(BM_SqliteWeightedMillion)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

void BM_PostgresWeightedMillion(benchmark::State& state) {
    kelvo::test::PostgresServer server;
    const auto made = server.Psql(WeightedTable() + "\\copy records FROM '" +
                                  kelvo::test::WeightedRecordFile(Records).string() + "' CSV HEADER\nANALYZE records;\n");
    if (made.status != 0) return state.SkipWithError(made.err.c_str());
    auto ts = std::make_unique<kelvo::TableSet>();
    for (auto _ : state) kelvo::ImportPostgres(server.Conninfo(), Options(), *ts);
    Compare(state, *ts);
}
BENCHMARK(BM_PostgresWeightedMillion)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

}  // namespace
