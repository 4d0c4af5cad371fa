// Writing a report with every section for the largest table set: 16
// variables of 16 categories, all 120 pair tables, the last variable
// dependent on the 15 others (241 parameters).
#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>

#include "largest_table_set.h"
#include "report.h"

namespace {

std::unique_ptr<kelvo::TableSet> LargestModel() {
    auto ts = kelvo::test::MakeLargestTableSet();
    ts->DependentVariable = kelvo::MaxVariables;
    ts->PredictorCount = kelvo::MaxVariables - 1;
    for (int p = 1; p <= ts->PredictorCount; ++p) ts->PredictorList[p] = p;
    for (int p = 1; p <= kelvo::MaxParameters; ++p)
        for (int d = 1; d <= kelvo::MaxCategories; ++d) {
            ts->Coefficients[p][d] = ((p * 31 + d * 17) % 200 - 100) / 1000.0;
            ts->StandardErrors[p][d] = ((p * 13 + d * 7) % 50) / 10.0;
        }
    ts->OutputSections = {false, true, true, true, true};
    return ts;
}

void WriteLargestReport(benchmark::State& state, std::uint8_t type, const char* name, bool overwrite = false) {
    auto ts = LargestModel();
    ts->ReportType = type;
    ts->ReportFileName = (std::filesystem::temp_directory_path() / name).string();
    for (auto _ : state) {
        kelvo::WriteReport(*ts);
        if (overwrite) continue;
        // Each round writes a new file, as a user's report usually is:
        // repeatedly emptying and rewriting one file in milliseconds makes
        // the file system wait for the previous round's writeback instead.
        state.PauseTiming();
        std::filesystem::remove(ts->ReportFileName);
        state.ResumeTiming();
    }
    kelvo::WriteReport(*ts);
    state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(ts->ReportFileName));
    std::filesystem::remove(ts->ReportFileName);
}

void BM_HtmlReportEverySection(benchmark::State& state) {
    WriteLargestReport(state, kelvo::HtmlReport, "kelvo-bench-report.html");
}
BENCHMARK(BM_HtmlReportEverySection)->Unit(benchmark::kMillisecond);

void BM_TextReportEverySection(benchmark::State& state) {
    WriteLargestReport(state, kelvo::TextReport, "kelvo-bench-report.txt");
}
BENCHMARK(BM_TextReportEverySection)->Unit(benchmark::kMillisecond);

// The same report written over the previous round's file every time: shows
// what the file system's handling of an emptied and rewritten file adds.
void BM_HtmlReportEverySectionOverwrite(benchmark::State& state) {
    WriteLargestReport(state, kelvo::HtmlReport, "kelvo-bench-report-overwrite.html", true);
}
BENCHMARK(BM_HtmlReportEverySectionOverwrite)->Unit(benchmark::kMillisecond);

}  // namespace
