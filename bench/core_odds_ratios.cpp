// The odds-ratio model as Model > Odds ratios, the report and kelvo-cli
// estimate --odds-ratios compute it: the fit of the joint table, the
// standard errors, the predictions and one refit without each predictor's
// association for its test. Three sizes: the Titanic (32 cells), 6
// variables of 5 categories (15,625 cells) and 10 variables of 4 categories
// (1,048,576 cells), the pair tables counted from records drawn with a
// hidden class behind every variable.
#include <benchmark/benchmark.h>

#include <random>
#include <stdexcept>
#include <sys/resource.h>

#include "odds_ratio_fit.h"
#include "table_set_file.h"

namespace {

// Pair tables of `records` records of `variables` variables of `categories`
// categories each; the first variable is the dependent one.
kelvo::TableSet CountedTables(int variables, int categories, int records, unsigned seed) {
    kelvo::TableSet ts;
    ts.VariableCount = variables;
    for (int v = 1; v <= variables; ++v) {
        ts.VariableNames[v] = "V" + std::to_string(v);
        ts.CategoryCounts[v] = static_cast<std::uint8_t>(categories);
    }
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> hidden(0, 3), any(1, categories);
    std::uniform_real_distribution<double> coin(0, 1);
    std::vector<int> row(static_cast<std::size_t>(variables) + 1);
    for (int n = 0; n < records; ++n) {
        const int h = hidden(random);
        for (int v = 1; v <= variables; ++v) row[v] = coin(random) < 0.35 ? (h * 3 + v) % categories + 1 : any(random);
        for (int i = 2; i <= variables; ++i)
            for (int j = 1; j < i; ++j) ++ts.PairTables[kelvo::PairIndex(i, j)][row[i]][row[j]];
    }
    ts.DependentVariable = 1;
    for (int v = 2; v <= variables; ++v) ts.PredictorList[++ts.PredictorCount] = v;
    return ts;
}

void Fit(benchmark::State& state, const kelvo::TableSet& ts) {
    kelvo::OddsRatioModel model;
    for (auto _ : state) {
        model = kelvo::FitOddsRatioModel(ts, ts);
        benchmark::DoNotOptimize(model.tests.back().g2);
    }
    if (!model.converged) state.SkipWithError("the fit did not converge");
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["cells"] = static_cast<double>(model.cells);
    state.counters["iterations"] = model.iterations;
    state.counters["peak_MB"] = static_cast<double>(usage.ru_maxrss) / 1024;
}

void BM_OddsRatiosTitanic(benchmark::State& state) {
    kelvo::TableSet ts;
    kelvo::CollectingWarningSink warnings;
    kelvo::OpenTableSet(ts, KELVO_SOURCE_DIR "/examples/titanic.tbl", warnings);
    // Survived on Class, Sex and Age.
    ts.DependentVariable = 4;
    ts.PredictorCount = 3;
    for (int t = 1; t <= 3; ++t) ts.PredictorList[t] = t;
    Fit(state, ts);
}
BENCHMARK(BM_OddsRatiosTitanic)->Unit(benchmark::kMicrosecond);

void BM_OddsRatiosSixByFive(benchmark::State& state) { Fit(state, CountedTables(6, 5, 20000, 3)); }
BENCHMARK(BM_OddsRatiosSixByFive)->Unit(benchmark::kMillisecond);

void BM_OddsRatiosTenByFour(benchmark::State& state) { Fit(state, CountedTables(10, 4, 50000, 4)); }
BENCHMARK(BM_OddsRatiosTenByFour)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
