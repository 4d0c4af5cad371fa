// The whole estimation (check, normal equations, inversion, coefficients,
// standard errors, prediction range, log written to a temporary file) for a
// model of 50 parameters and for the largest model a table set allows.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <random>
#include <stdexcept>
#include <vector>

#include "estimation.h"

namespace {

// A table set of `variables` variables with `categories` categories each,
// whose pair tables are counted from `records` random records (so they are
// consistent and every category occurs).
std::unique_ptr<kelvo::TableSet> CountedTableSet(int variables, int categories, int records) {
    auto ts = std::make_unique<kelvo::TableSet>();
    ts->VariableCount = variables;
    for (int v = 1; v <= variables; ++v) {
        ts->VariableNames[v] = "Variable" + std::to_string(v);
        ts->CategoryCounts[v] = static_cast<std::uint8_t>(categories);
    }
    std::mt19937 random(20240611);
    std::uniform_int_distribution<int> category(1, categories);
    std::vector<int> record(static_cast<std::size_t>(variables) + 1);
    for (int n = 0; n < records; ++n) {
        for (int v = 1; v <= variables; ++v) {
            // Some dependence on the first variable, so that the tables are not flat.
            record[v] = v > 1 && category(random) <= 2 ? record[1] : category(random);
        }
        for (int i = 2; i <= variables; ++i)
            for (int j = 1; j < i; ++j) ++ts->PairTables[kelvo::PairIndex(i, j)][record[i]][record[j]];
    }
    return ts;
}

void RunEstimation(benchmark::State& state, kelvo::TableSet& ts) {
    const auto log = std::filesystem::temp_directory_path() / "kelvo-bench-estimation-log";
    std::filesystem::remove(log);
    kelvo::CollectingWarningSink warnings;
    // Every run writes its log over the previous run's, as the program does.
    for (auto _ : state) {
        if (!kelvo::ComputeEstimates(ts, warnings, log)) throw std::runtime_error("singular benchmark model");
        benchmark::DoNotOptimize(ts.StandardErrors[ts.ParameterCount][1]);
    }
    state.counters["parameters"] = ts.ParameterCount;
    std::filesystem::remove(log);
}

// 8 variables of 7 categories: dependent 1, predictors 2..8, 50 parameters.
void BM_Estimate50Parameters(benchmark::State& state) {
    auto ts = CountedTableSet(8, 7, 20000);
    ts->DependentVariable = 1;
    ts->PredictorCount = 7;
    for (int t = 1; t <= 7; ++t) ts->PredictorList[t] = t + 1;
    RunEstimation(state, *ts);
}
BENCHMARK(BM_Estimate50Parameters)->Unit(benchmark::kMicrosecond);

// The same estimation without its log, as the model summary's refits run.
void BM_Estimate50ParametersWithoutLog(benchmark::State& state) {
    auto ts = CountedTableSet(8, 7, 20000);
    ts->DependentVariable = 1;
    ts->PredictorCount = 7;
    for (int t = 1; t <= 7; ++t) ts->PredictorList[t] = t + 1;
    kelvo::CollectingWarningSink warnings;
    for (auto _ : state) {
        if (!kelvo::ComputeEstimatesWithoutLog(*ts, warnings)) throw std::runtime_error("singular benchmark model");
        benchmark::DoNotOptimize(ts->StandardErrors[ts->ParameterCount][1]);
    }
}
BENCHMARK(BM_Estimate50ParametersWithoutLog)->Unit(benchmark::kMicrosecond);

// 16 variables of 16 categories: dependent 1, predictors 2..16, 241 parameters.
void BM_Estimate241Parameters(benchmark::State& state) {
    auto ts = CountedTableSet(kelvo::MaxVariables, kelvo::MaxCategories, 100000);
    ts->DependentVariable = 1;
    ts->PredictorCount = kelvo::MaxVariables - 1;
    for (int t = 1; t < kelvo::MaxVariables; ++t) ts->PredictorList[t] = t + 1;
    RunEstimation(state, *ts);
}
BENCHMARK(BM_Estimate241Parameters)->Unit(benchmark::kMillisecond);

}  // namespace
