// Reading and writing the largest table set: 16 variables of 16 categories,
// all 120 pair tables.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>

#include "largest_table_set.h"
#include "table_set_file.h"
#include "text_file.h"

namespace {

std::unique_ptr<kelvo::TableSet> LargestTableSet() { return kelvo::test::MakeLargestTableSet(); }

std::filesystem::path BenchFile() { return std::filesystem::temp_directory_path() / "kelvo-bench-largest.tbl"; }

void BM_ReadLargestTableSet(benchmark::State& state) {
    auto ts = LargestTableSet();
    ts->FileName = BenchFile().string();
    kelvo::WriteTableSet(*ts);
    auto target = std::make_unique<kelvo::TableSet>();
    target->FileName = ts->FileName;
    kelvo::CollectingWarningSink warnings;
    for (auto _ : state) {
        kelvo::ReadTableSet(*target, warnings);
        benchmark::DoNotOptimize(target->PairTables[120][16][16]);
    }
    std::filesystem::remove(BenchFile());
}
BENCHMARK(BM_ReadLargestTableSet)->Unit(benchmark::kMicrosecond);

void BM_WriteLargestTableSet(benchmark::State& state) {
    auto ts = LargestTableSet();
    ts->FileName = BenchFile().string();
    for (auto _ : state) kelvo::WriteTableSet(*ts);
    std::filesystem::remove(BenchFile());
}
BENCHMARK(BM_WriteLargestTableSet)->Unit(benchmark::kMicrosecond);

// The same without the file system: the text alone.
void BM_FormatLargestTableSet(benchmark::State& state) {
    auto ts = LargestTableSet();
    for (auto _ : state) benchmark::DoNotOptimize(kelvo::TableSetText(*ts));
}
BENCHMARK(BM_FormatLargestTableSet)->Unit(benchmark::kMicrosecond);

}  // namespace
