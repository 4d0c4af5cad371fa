// The recovery journal of the largest table set, as the desktop program
// writes it while the user types: the copy it takes on the window's thread,
// and what its writer thread does (the text, the atomic write).
#include <benchmark/benchmark.h>

#include <ctime>
#include <filesystem>
#include <memory>

#include "journal_writer.h"
#include "largest_table_set.h"
#include "recovery_folder.h"
#include "recovery_journal.h"
#include "table_set_file.h"

namespace {

std::filesystem::path BenchFolder() { return std::filesystem::temp_directory_path() / "kelvo-bench-recovery"; }

// What the window's thread does for one journal.
void BM_JournalSnapshotLargest(benchmark::State& state) {
    auto ts = kelvo::test::MakeLargestTableSet();
    for (auto _ : state) {
        auto snapshot = std::make_unique<const kelvo::InputSide>(*ts);
        benchmark::DoNotOptimize(snapshot.get());
    }
}
BENCHMARK(BM_JournalSnapshotLargest)->Unit(benchmark::kMicrosecond);

// What the writer thread does: the text, then the atomic write.
void BM_JournalFormatAndWriteLargest(benchmark::State& state) {
    auto ts = kelvo::test::MakeLargestTableSet();
    const auto file = kelvo::JournalPath(BenchFolder(), "/data/largest.tbl");
    std::string text;
    for (auto _ : state) {
        text.clear();
        kelvo::AppendTableSetText(*ts, text);
        kelvo::WriteJournal(file, "/data/largest.tbl", std::time(nullptr), text);
    }
    std::filesystem::remove_all(BenchFolder());
}
BENCHMARK(BM_JournalFormatAndWriteLargest)->Unit(benchmark::kMicrosecond);

// The atomic write alone, synced to the disk.
void BM_JournalWriteLargest(benchmark::State& state) {
    auto ts = kelvo::test::MakeLargestTableSet();
    const kelvo::Journal journal{"/data/largest.tbl", std::time(nullptr), kelvo::TableSetText(*ts)};
    const auto file = kelvo::JournalPath(BenchFolder(), journal.tableSetPath);
    for (auto _ : state) kelvo::WriteJournal(file, journal);
    std::filesystem::remove_all(BenchFolder());
}
BENCHMARK(BM_JournalWriteLargest)->Unit(benchmark::kMicrosecond);

}  // namespace
