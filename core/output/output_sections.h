// The section builders: the pair tables of the input side and the results of
// the model (model_results.h) turned into the neutral tables of the output
// model (output_model.h), one builder per section. Cells carry their values
// and formats; every driver writes them with AppendCellText.
#pragma once

#include "model_results.h"
#include "output_model.h"
#include "table_set.h"

namespace kelvo {

// Model: a table without heading row and two rows, "Indepedent variable"
// with the dependent variable's name and "Predictor variables" with the
// predictors' names separated by ", ".
void BuildModelSection(const ModelResults& results, OutputDriver& driver);

// Every pair table in pair order (2,1), (3,1), (3,2), ...: titled "Table: I
// by J", the categories of J as column headings and a "Total" column, a row
// per category of I with its row total, and a footer row "Total" with the
// column totals and the grand total. No table with fewer than two variables.
void BuildPairTablesSection(const InputSide& ts, OutputDriver& driver);

// What the per-predictor tables show.
enum class PredictorValues { Coefficients, StandardErrors, EnhancedCoefficients };

// The table of the t-th predictor (1..PredictorCount): corner the dependent
// variable's name, headings "Average" and the predictor's categories, a row
// per dependent category. Coefficients are 100 x the proportions, standard
// errors as stored (percentage points); the enhanced table marks every
// significant value, the average's included, as SignificantPercent.
void BuildPredictorTable(const ModelResults& results, int t, PredictorValues values, OutputTable& table);

// One predictor table per predictor, in PredictorList order.
void BuildCoefficientsSection(const ModelResults& results, OutputDriver& driver);
void BuildStandardErrorsSection(const ModelResults& results, OutputDriver& driver);
void BuildEnhancedCoefficientsSection(const ModelResults& results, OutputDriver& driver);

// "Predictions for the dependent variable": corner "Category", headings
// "Minimum" and "Maximum", a row per dependent category; a minimum below 0 or
// a maximum above 100 (unrounded, strictly) is OutOfRange.
void BuildPredictionRangeSection(const ModelResults& results, OutputDriver& driver);
void BuildPredictionRangeTable(const ModelResults& results, OutputTable& table);

// ---- The model summary: each builder throws std::invalid_argument when the
// results have no summary ----

// "Model fit for DEPENDENT (N = ..., residual df ...)": a row per dependent
// category with its cases, R squared, adjusted R squared and the residual
// standard error (percentage points).
void BuildModelFitTable(const ModelResults& results, OutputTable& table);

// "Tests of the predictors for CATEGORY of DEPENDENT": a row per predictor
// with eta, beta, the F test of dropping it, its degrees of freedom and p.
void BuildPredictorTestsTable(const ModelResults& results, int d, OutputTable& table);

// "CATEGORY of DEPENDENT by PREDICTOR": the average, then a row per category
// of the t-th predictor, with its cases, the unadjusted deviation (its own
// proportion less the average), the adjusted one (the coefficient), and the
// coefficient's classical standard error, t and p. Percentages in percent.
void BuildDeviationsTable(const ModelResults& results, int t, int d, OutputTable& table);

// The fit table, then per dependent category the tests table and per
// predictor the deviations table.
void BuildModelSummarySection(const ModelResults& results, OutputDriver& driver);

// A coefficient chart (chart.h) per predictor and dependent category, with
// the conservative standard errors of the results; the unadjusted deviations
// too when the model summary is present.
void BuildChartsSection(const ModelResults& results, OutputDriver& driver);

// Runs the builder of `kind`: the pair tables of `tables`, the other
// sections from `results`.
void BuildSection(SectionKind kind, const InputSide& tables, const ModelResults& results, OutputDriver& driver);

}  // namespace kelvo
