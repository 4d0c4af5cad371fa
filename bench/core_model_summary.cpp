// The model summary of the largest model (241 parameters): fit and classical
// tests, and one refit without each of the 15 predictors.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <stdexcept>

#include "estimation.h"
#include "largest_table_set.h"
#include "model_fit.h"

namespace {

void BM_ModelSummary241Parameters(benchmark::State& state) {
    auto ts = kelvo::test::LargestCountedModel();
    kelvo::CollectingWarningSink warnings;
    const auto log = std::filesystem::temp_directory_path() / "kelvo-bench-summary-log";
    if (!kelvo::ComputeEstimates(*ts, warnings, log)) throw std::runtime_error("singular benchmark model");
    std::filesystem::remove(log);
    for (auto _ : state) {
        kelvo::ComputeModelSummary(*ts);
        benchmark::DoNotOptimize(ts->Summary.predictors.back().fValue[1]);
    }
    state.counters["parameters"] = ts->ParameterCount;
}
BENCHMARK(BM_ModelSummary241Parameters)->Unit(benchmark::kMillisecond);

}  // namespace
