// Exporting the full report of the largest model (16 variables of 16
// categories, the first dependent on the 15 others: 241 parameters) in every
// format, as kelvo-cli report and the desktop program's Export report do once
// the model is estimated: the results taken from the table set, the sections
// of the format, every builder through the format's driver, and the file
// written and replaced atomically (synced and renamed). For PDF also the
// offscreen QGuiApplication that kelvo-cli's PDF module makes for its fonts;
// loading the module itself is timed with the whole command (README). Every section is
// chosen: the 120 pair tables, coefficients, standard errors, enhanced
// coefficients, the model summary and, where the format holds pictures, the
// 240 charts.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <stdexcept>

#include "estimation.h"
#include "largest_table_set.h"
#include "model_fit.h"
#include "report_document.h"

namespace {

const kelvo::TableSet& EstimatedLargestModel() {
    static const std::unique_ptr<kelvo::TableSet> ts = [] {
        auto model = kelvo::test::LargestCountedModel();
        kelvo::CollectingWarningSink warnings;
        if (!kelvo::ComputeEstimatesWithoutLog(*model, warnings)) throw std::runtime_error("singular benchmark model");
        kelvo::ComputeModelSummary(*model);
        return model;
    }();
    return *ts;
}

void BM_ExportFullReport(benchmark::State& state, kelvo::ReportFormat format) {
    const kelvo::TableSet& ts = EstimatedLargestModel();
    kelvo::SectionChoice every{};
    every.fill(true);
    const auto path = std::filesystem::temp_directory_path() /
                      (std::string("kelvo-bench-export.") + kelvo::InfoOf(format).extension);
    for (auto _ : state) {
        std::optional<kelvo::reports::GuiForDocuments> gui;
        if (kelvo::NeedsPainter(format)) gui.emplace();
        kelvo::reports::ExportReport(format, kelvo::ReportSections(format, every), ts, kelvo::ResultsOf(ts), path,
                                     QPageSize::A4);
        gui.reset();
        // A new file each round, as a user's export usually is.
        state.PauseTiming();
        std::filesystem::remove(path);
        state.ResumeTiming();
    }
    {
        const kelvo::reports::GuiForDocuments gui;
        kelvo::reports::ExportReport(format, kelvo::ReportSections(format, every), ts, kelvo::ResultsOf(ts), path);
    }
    state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(path));
    std::filesystem::remove(path);
}

BENCHMARK_CAPTURE(BM_ExportFullReport, pdf, kelvo::ReportFormat::Pdf)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ExportFullReport, odt, kelvo::ReportFormat::Odt)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ExportFullReport, markdown, kelvo::ReportFormat::Markdown)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ExportFullReport, latex, kelvo::ReportFormat::Latex)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ExportFullReport, csv, kelvo::ReportFormat::Csv)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ExportFullReport, html, kelvo::ReportFormat::Html)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
