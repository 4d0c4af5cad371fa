// The builders of the odds-ratio model's output (odds_ratio_fit.h), read
// from the results' odds-ratio model: the window, the reports and the text
// of kelvo-cli estimate show these tables and charts. Each throws
// std::invalid_argument when the results have no odds-ratio model.
#pragma once

#include "model_results.h"
#include "output_model.h"

namespace kelvo {

// "Tests of the associations with DEPENDENT (N = ...)": a row per predictor
// with G squared, its nominal degrees of freedom and the p value; notes for
// a fit that did not converge.
void BuildOddsRatioTestsTable(const ModelResults& results, OutputTable& table);

// "Odds of D against D1 of DEPENDENT, PREDICTOR against P1": a row per
// category of the t-th predictor but its first, with the log odds ratio,
// its standard error, the odds ratio and its 95 % interval; the log odds
// ratio and the odds ratio SignificantPercent when the interval leaves out
// 1, a dash where not estimable, with the reason among the notes.
void BuildOddsRatioTable(const ModelResults& results, int t, int d, OutputTable& table);

// "Smallest (largest) predicted probabilities of DEPENDENT": a row per
// dependent category with the odds-ratio model's smallest (largest)
// prediction in percent, the linear model's beside it (OutOfRange below 0 or
// above 100; a dash when the linear model was not estimated), and the
// predictor categories where the odds-ratio model reaches it.
void BuildOddsRatioPredictionTable(const ModelResults& results, bool largest, OutputTable& table);

// The tests, then for every predictor and dependent category but the first
// its table and its chart (BuildOddsRatioChart), then the smallest and the
// largest predictions.
void BuildOddsRatioSection(const ModelResults& results, OutputDriver& driver);

}  // namespace kelvo
