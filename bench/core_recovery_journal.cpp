// The recovery journal of the largest table set, as the desktop program
// writes it while the user types: the snapshot it takes on the window's
// thread (the text), and the whole atomic write that its writer thread does.
#include <benchmark/benchmark.h>

#include <ctime>
#include <filesystem>

#include "largest_table_set.h"
#include "recovery_journal.h"
#include "table_set_file.h"

namespace {

std::filesystem::path BenchFolder() { return std::filesystem::temp_directory_path() / "kelvo-bench-recovery"; }

// What the window's thread does for one journal.
void BM_JournalSnapshotLargest(benchmark::State& state) {
    auto ts = kelvo::test::MakeLargestTableSet();
    for (auto _ : state) {
        kelvo::Journal journal{"/data/largest.tbl", std::time(nullptr), kelvo::TableSetText(*ts)};
        benchmark::DoNotOptimize(journal.tableSetText.data());
    }
}
BENCHMARK(BM_JournalSnapshotLargest)->Unit(benchmark::kMicrosecond);

// What the writer thread does: the atomic write, synced to the disk.
void BM_JournalWriteLargest(benchmark::State& state) {
    auto ts = kelvo::test::MakeLargestTableSet();
    const kelvo::Journal journal{"/data/largest.tbl", std::time(nullptr), kelvo::TableSetText(*ts)};
    const auto file = kelvo::JournalPath(BenchFolder(), journal.tableSetPath);
    for (auto _ : state) kelvo::WriteJournal(file, journal);
    std::filesystem::remove_all(BenchFolder());
}
BENCHMARK(BM_JournalWriteLargest)->Unit(benchmark::kMicrosecond);

}  // namespace
