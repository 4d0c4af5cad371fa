// What `kelvo-cli estimate --json` does after reading the file, for the
// largest model (a consistent table set of 16 variables of 16 categories, the
// first dependent on the 15 others: 241 parameters): the whole estimation
// with its log, the model summary, then the JSON.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <sstream>
#include <stdexcept>

#include "estimate_json.h"
#include "estimation.h"
#include "largest_table_set.h"
#include "model_fit.h"
#include "model_results.h"

namespace {

void BM_EstimateJson241Parameters(benchmark::State& state) {
    auto ts = kelvo::test::MakeCountedLargestTableSet();
    ts->DependentVariable = 1;
    ts->PredictorCount = kelvo::MaxVariables - 1;
    for (int t = 1; t < kelvo::MaxVariables; ++t) ts->PredictorList[t] = t + 1;
    const auto log = std::filesystem::temp_directory_path() / "kelvo-bench-estimate-json-log";
    std::size_t bytes = 0;
    for (auto _ : state) {
        // A new log file every round, as in the estimation benchmarks.
        state.PauseTiming();
        std::filesystem::remove(log);
        std::ostringstream out;
        state.ResumeTiming();
        kelvo::CollectingWarningSink warnings;
        if (!kelvo::ComputeEstimates(*ts, warnings, log)) throw std::runtime_error("singular benchmark model");
        kelvo::ComputeModelSummary(*ts);
        kelvo::cli::PrintJson(out, kelvo::ResultsOf(*ts), true, warnings.warnings);
        bytes = out.view().size();
        benchmark::DoNotOptimize(bytes);
    }
    state.counters["json_bytes"] = static_cast<double>(bytes);
    std::filesystem::remove(log);
}
BENCHMARK(BM_EstimateJson241Parameters)->Unit(benchmark::kMillisecond);

}  // namespace
