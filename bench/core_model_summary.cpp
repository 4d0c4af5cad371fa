// The model summary of the largest model (241 parameters): fit and classical
// tests, and one refit without each of the 15 predictors; and its charts, one
// per predictor and dependent category.
#include <benchmark/benchmark.h>

#include <memory>
#include <stdexcept>

#include "chart_svg.h"
#include "estimation.h"
#include "largest_table_set.h"
#include "model_fit.h"

namespace {

// The largest model, estimated.
std::unique_ptr<kelvo::TableSet> EstimatedLargestModel() {
    auto ts = kelvo::test::LargestCountedModel();
    kelvo::CollectingWarningSink warnings;
    if (!kelvo::ComputeEstimatesWithoutLog(*ts, warnings)) throw std::runtime_error("singular benchmark model");
    return ts;
}

void BM_ModelSummary241Parameters(benchmark::State& state) {
    auto ts = EstimatedLargestModel();
    for (auto _ : state) {
        kelvo::ComputeModelSummary(*ts);
        benchmark::DoNotOptimize(ts->Summary.predictors.back().fValue[1]);
    }
    state.counters["parameters"] = ts->ParameterCount;
}
BENCHMARK(BM_ModelSummary241Parameters)->Unit(benchmark::kMillisecond);

// 15 predictors x 16 dependent categories = 240 charts, with the unadjusted
// deviations of the summary.
void BM_Charts241Parameters(benchmark::State& state) {
    auto ts = EstimatedLargestModel();
    kelvo::ComputeModelSummary(*ts);
    std::size_t bytes = 0;
    for (auto _ : state) {
        bytes = 0;
        // As the report's chart section takes them: the results once, then
        // every chart.
        const kelvo::ModelResults results = kelvo::ResultsOf(*ts);
        for (int t = 1; t <= results.PredictorCount(); ++t)
            for (int d = 1; d <= results.DependentCategories(); ++d)
                bytes += kelvo::CoefficientChartSvg(results, d, t).size();
        benchmark::DoNotOptimize(bytes);
    }
    state.counters["bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_Charts241Parameters)->Unit(benchmark::kMillisecond);

}  // namespace
