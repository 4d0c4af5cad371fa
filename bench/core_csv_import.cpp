// Importing record-level data: 1,000,000 records of 16 columns.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <filesystem>
#include <fstream>
#include <memory>

#include "csv_import.h"

namespace {

std::filesystem::path MillionRecordFile() {
    static const std::filesystem::path path = [] {
        auto file = std::filesystem::temp_directory_path() / "kelvo-bench-million.csv";
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        for (int c = 1; c <= 16; ++c) out << (c > 1 ? "," : "") << "Variable" << c;
        out << "\r\n";
        std::uint32_t state = 1;
        std::string row;
        for (int r = 0; r < 1000000; ++r) {
            row.clear();
            for (int c = 1; c <= 16; ++c) {
                state = state * 1664525u + 1013904223u;
                if (c > 1) row.push_back(',');
                row += "Cat";
                row += std::to_string(1 + (state >> 16) % 16);
            }
            row += "\r\n";
            out << row;
        }
        return file;
    }();
    return path;
}

void BM_ImportMillionRecords(benchmark::State& state) {
    const auto path = MillionRecordFile();
    auto ts = std::make_unique<kelvo::TableSet>();
    for (auto _ : state) {
        kelvo::ImportCsv(path, {}, *ts);
        benchmark::DoNotOptimize(ts->PairTables[120][1][1]);
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["peak_rss_MB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
    state.counters["file_MB"] = static_cast<double>(std::filesystem::file_size(path)) / 1e6;
}
BENCHMARK(BM_ImportMillionRecords)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
